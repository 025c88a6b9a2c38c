#include <cmath>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "tests/tools/AssetFiles.h"
#include "tools/gen/Level.h"
#include "tools/gen/Mouse.h"

namespace {

glm::vec3 vec(const aiVector3D& v)
{
    return {v.x, v.y, v.z};
}

struct Triangle {
    glm::vec3 a, b, c;
};

std::vector<Triangle> triangles(const aiMesh* mesh)
{
    std::vector<Triangle> out;
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        out.push_back({vec(mesh->mVertices[face.mIndices[0]]), vec(mesh->mVertices[face.mIndices[1]]),
                       vec(mesh->mVertices[face.mIndices[2]])});
    }
    return out;
}

// Closed and consistently wound: after welding equal positions, every directed edge a->b is
// matched by exactly as many b->a.
bool isClosed(const std::vector<Triangle>& tris)
{
    std::map<std::tuple<long, long, long>, int> ids;
    auto id = [&](glm::vec3 p) {
        auto key = std::make_tuple(std::lround(p.x * 100.0f), std::lround(p.y * 100.0f), std::lround(p.z * 100.0f));
        return ids.emplace(key, static_cast<int>(ids.size())).first->second;
    };
    std::map<std::pair<int, int>, int> edges;
    for (const Triangle& t : tris) {
        int a = id(t.a), b = id(t.b), c = id(t.c);
        ++edges[{a, b}];
        ++edges[{b, c}];
        ++edges[{c, a}];
    }
    for (const auto& [edge, count] : edges) {
        auto back = edges.find({edge.second, edge.first});
        if (back == edges.end() || back->second != count)
            return false;
    }
    return true;
}

// Positive when the triangles wind counter-clockwise seen from outside.
float signedVolume(const std::vector<Triangle>& tris)
{
    double v = 0.0;
    for (const Triangle& t : tris)
        v += glm::dot(t.a, glm::cross(t.b, t.c)) / 6.0;
    return static_cast<float>(v);
}

// Ray parity against a closed mesh.
bool inside(glm::vec3 p, const std::vector<Triangle>& tris)
{
    const glm::vec3 dir = glm::normalize(glm::vec3(0.5273f, 0.6192f, 0.5817f));
    int crossings = 0;
    for (const Triangle& t : tris) {
        glm::vec3 e1 = t.b - t.a, e2 = t.c - t.a;
        glm::vec3 h = glm::cross(dir, e2);
        float det = glm::dot(e1, h);
        if (std::abs(det) < 1e-9f)
            continue;
        glm::vec3 s = p - t.a;
        float u = glm::dot(s, h) / det;
        glm::vec3 q = glm::cross(s, e1);
        float v = glm::dot(dir, q) / det;
        float dist = glm::dot(e2, q) / det;
        if (u >= 0.0f && v >= 0.0f && u + v <= 1.0f && dist > 0.0f)
            ++crossings;
    }
    return crossings % 2 == 1;
}

glm::vec3 turn(glm::vec3 p, glm::vec3 pivot, float degrees, glm::vec3 axis)
{
    glm::mat4 m = glm::translate(glm::mat4(1.0f), pivot) * glm::rotate(glm::mat4(1.0f), glm::radians(degrees), axis)
        * glm::translate(glm::mat4(1.0f), -pivot);
    return glm::vec3(m * glm::vec4(p, 1.0f));
}

class ModelFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        level = importModel(levelImporter, "models/level.obj");
        mouse = importModel(mouseImporter, "models/gorbeck.obj");
    }

    static Assimp::Importer levelImporter, mouseImporter;
    static const aiScene* level;
    static const aiScene* mouse;
};

Assimp::Importer ModelFiles::levelImporter;
Assimp::Importer ModelFiles::mouseImporter;
const aiScene* ModelFiles::level = nullptr;
const aiScene* ModelFiles::mouse = nullptr;

TEST_F(ModelFiles, ImportIntoTheMeshCountsOfTheTextureTables)
{
    ASSERT_NE(level, nullptr) << levelImporter.GetErrorString();
    ASSERT_NE(mouse, nullptr) << mouseImporter.GetErrorString();
    EXPECT_EQ(level->mNumMeshes, 19u);
    EXPECT_EQ(mouse->mNumMeshes, 38u);
}

TEST_F(ModelFiles, EveryMeshHasNormalsUvsFiniteTrianglesAndUsableTangentArea)
{
    ASSERT_TRUE(level && mouse);
    for (const aiScene* scene : {level, mouse}) {
        for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
            const aiMesh* mesh = scene->mMeshes[i];
            SCOPED_TRACE(mesh->mName.C_Str());
            ASSERT_TRUE(mesh->HasNormals());
            ASSERT_TRUE(mesh->HasTextureCoords(0));
            EXPECT_EQ(mesh->mPrimitiveTypes, static_cast<unsigned>(aiPrimitiveType_TRIANGLE));
            ASSERT_GT(mesh->mNumFaces, 0u);
            for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
                for (int k = 0; k < 3; ++k) {
                    ASSERT_TRUE(std::isfinite(mesh->mVertices[v][k]));
                    ASSERT_TRUE(std::isfinite(mesh->mNormals[v][k]));
                    ASSERT_TRUE(std::isfinite(mesh->mTextureCoords[0][v][k]));
                }
                ASSERT_NEAR(glm::length(vec(mesh->mNormals[v])), 1.0f, 1e-3f);
            }
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace& face = mesh->mFaces[f];
                ASSERT_EQ(face.mNumIndices, 3u);
                const aiVector3D* uv = mesh->mTextureCoords[0];
                aiVector3D w1 = uv[face.mIndices[0]], w2 = uv[face.mIndices[1]], w3 = uv[face.mIndices[2]];
                float s1 = w2.x - w1.x, s2 = w3.x - w1.x, t1 = w2.y - w1.y, t2 = w3.y - w1.y;
                ASSERT_GT(std::abs(s1 * t2 - s2 * t1), 1e-7f) << "collinear texture coordinates in face " << f;
            }
        }
    }
}

TEST_F(ModelFiles, SolidsAreClosedAndFaceOutwards)
{
    ASSERT_TRUE(level && mouse);
    // Pieces of the course put their tops and their sides in different meshes (earth on stone
    // or brick), so the level is checked as one: every solid but the open water closed.
    std::vector<Triangle> course;
    for (unsigned i = 0; i < level->mNumMeshes; ++i) {
        if (i == 14)
            continue;
        auto tris = triangles(level->mMeshes[i]);
        course.insert(course.end(), tris.begin(), tris.end());
    }
    EXPECT_TRUE(isClosed(course));
    EXPECT_GT(signedVolume(course), 0.0f);
    // The cheese: a block of 16 by 18 from 0.1 below the yard (19.8) to 27.9, its top 3 units
    // cut back at 45 degrees. Below the cut 16 x 18 x 5.1; the cut is a frustum of height 3
    // from 16 x 18 to 10 x 12: h/3 (A1 + A2 + sqrt(A1 A2)) = (288 + 120 + 185.9) = 593.9.
    // With it in the cheese meshes the step's yellow band: 16.2 x 1.2 x 0.32.
    auto cheese = triangles(level->mMeshes[17]);
    auto cheeseTop = triangles(level->mMeshes[18]);
    cheese.insert(cheese.end(), cheeseTop.begin(), cheeseTop.end());
    EXPECT_TRUE(isClosed(cheese));
    EXPECT_NEAR(signedVolume(cheese), 16.0f * 18.0f * 5.1f + 593.9f + 16.2f * 1.2f * 0.32f, 1.0f);
    for (unsigned i = 0; i < mouse->mNumMeshes; ++i) {
        SCOPED_TRACE("mouse mesh " + std::to_string(i));
        auto tris = triangles(mouse->mMeshes[i]);
        EXPECT_TRUE(isClosed(tris));
        EXPECT_GT(signedVolume(tris), 0.0f);
    }
}

TEST_F(ModelFiles, LevelNormalsAgreeWithWinding)
{
    ASSERT_TRUE(level);
    for (unsigned i = 0; i < level->mNumMeshes; ++i) {
        const aiMesh* mesh = level->mMeshes[i];
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            glm::vec3 a = vec(mesh->mVertices[face.mIndices[0]]), b = vec(mesh->mVertices[face.mIndices[1]]),
                      c = vec(mesh->mVertices[face.mIndices[2]]);
            glm::vec3 n = glm::normalize(glm::cross(b - a, c - a));
            for (int k = 0; k < 3; ++k)
                ASSERT_GT(glm::dot(n, vec(mesh->mNormals[face.mIndices[k]])), 0.999f) << "mesh " << i << " face " << f;
        }
    }
}

TEST_F(ModelFiles, LevelFitsTheWorldAndLeavesNothingBetweenCourseAndWater)
{
    ASSERT_TRUE(level);
    const aiMesh* water = level->mMeshes[14];
    glm::vec3 waterLo(1e9f), waterHi(-1e9f), courseLo(1e9f), courseHi(-1e9f);
    for (unsigned v = 0; v < water->mNumVertices; ++v) {
        waterLo = glm::min(waterLo, vec(water->mVertices[v]));
        waterHi = glm::max(waterHi, vec(water->mVertices[v]));
    }
    EXPECT_LE(waterHi.y, -12.0f);
    for (unsigned i = 0; i < level->mNumMeshes; ++i) {
        if (i == 14)
            continue;
        const aiMesh* mesh = level->mMeshes[i];
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            courseLo = glm::min(courseLo, vec(mesh->mVertices[v]));
            courseHi = glm::max(courseHi, vec(mesh->mVertices[v]));
        }
        // Every surface a falling character could land on is the course itself (y >= 0, less
        // the bevels of its edges) or the water: no ledge in between.
        for (const Triangle& t : triangles(mesh)) {
            if (glm::normalize(glm::cross(t.b - t.a, t.c - t.a)).y > 0.1f) {
                ASSERT_GE(std::min({t.a.y, t.b.y, t.c.y}), -0.5f) << "mesh " << i;
            }
        }
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_LT(std::max(std::abs(waterLo[k]), std::abs(waterHi[k])), 1000.0f);
        EXPECT_LT(std::max(std::abs(courseLo[k]), std::abs(courseHi[k])), 1000.0f);
    }
    // Water reaches 100 units past the course on every side, so falls end in it.
    EXPECT_LE(waterLo.x, courseLo.x - 100.0f);
    EXPECT_GE(waterHi.x, courseHi.x + 100.0f);
    EXPECT_LE(waterLo.z, courseLo.z - 100.0f);
    EXPECT_GE(waterHi.z, courseHi.z + 100.0f);
}

TEST_F(ModelFiles, BricksAreHalfAUnitByAQuarter)
{
    // The brick texture holds 4 bricks across and 8 courses down, so a brick of 0.5 by 0.25
    // needs one texture repeat per 2 units: texture area / world area = 1/4 on every face.
    ASSERT_TRUE(level);
    for (unsigned i : {0u, 10u, 11u, 12u, 13u, 16u}) {
        const aiMesh* mesh = level->mMeshes[i];
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            glm::vec3 a = vec(mesh->mVertices[face.mIndices[0]]), b = vec(mesh->mVertices[face.mIndices[1]]),
                      c = vec(mesh->mVertices[face.mIndices[2]]);
            const aiVector3D* uv = mesh->mTextureCoords[0];
            aiVector3D w1 = uv[face.mIndices[0]], w2 = uv[face.mIndices[1]], w3 = uv[face.mIndices[2]];
            float uvArea = 0.5f * std::abs((w2.x - w1.x) * (w3.y - w1.y) - (w3.x - w1.x) * (w2.y - w1.y));
            float area = 0.5f * glm::length(glm::cross(b - a, c - a));
            ASSERT_NEAR(uvArea / area, 0.25f, 0.0025f) << "mesh " << i << " face " << f;
        }
    }
}

TEST_F(ModelFiles, MouseStandsOnItsFeetInsideTheCharacterBox)
{
    ASSERT_TRUE(mouse);
    float lowest = 1e9f;
    for (unsigned i = 0; i < mouse->mNumMeshes; ++i) {
        const aiMesh* mesh = mouse->mMeshes[i];
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            glm::vec3 p = vec(mesh->mVertices[v]);
            lowest = std::min(lowest, p.y);
            // The box is 400 x 200 x 200 model units around the origin; only the tail trails out behind.
            EXPECT_LE(std::abs(p.x), 200.0f);
            EXPECT_LE(p.y, 100.0f);
            if (i != 15) {
                EXPECT_LE(std::abs(p.z), 150.0f) << "mesh " << i;
            }
        }
    }
    EXPECT_NEAR(lowest, -96.0f, 0.5f);
}

TEST_F(ModelFiles, MouseJointsSitOnTheirPivotsAndStayCoveredWhenTurned)
{
    ASSERT_TRUE(mouse);
    auto body = triangles(mouse->mMeshes[0]);
    struct Joint {
        unsigned mesh;
        glm::vec3 pivot;
        glm::vec3 axis;
        float degrees;
    };
    const Joint joints[] = {
        {16, gen::frontLegPivot, {1, 0, 0}, 25.0f}, {21, gen::frontLegPivot, {1, 0, 0}, 25.0f},
        {26, gen::hindLegPivot, {1, 0, 0}, 25.0f},  {31, gen::hindLegPivot, {1, 0, 0}, 25.0f},
        {15, gen::tailRoot, {0, 1, 0}, 5.0f},
    };
    for (const Joint& j : joints) {
        SCOPED_TRACE("mesh " + std::to_string(j.mesh));
        const aiMesh* mesh = mouse->mMeshes[j.mesh];
        // Distance from the turn axis through the pivot.
        auto offAxis = [&](glm::vec3 p) {
            glm::vec3 d = p - j.pivot;
            return glm::length(d - j.axis * glm::dot(d, j.axis));
        };
        float nearest = 1e9f;
        std::vector<glm::vec3> jointVertices;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            glm::vec3 p = vec(mesh->mVertices[v]);
            nearest = std::min(nearest, offAxis(p));
            if (offAxis(p) < 20.0f)
                jointVertices.push_back(p);
        }
        EXPECT_LT(nearest, 8.0f);
        ASSERT_FALSE(jointVertices.empty());
        for (float angle : {-j.degrees, 0.0f, j.degrees}) {
            for (glm::vec3 p : jointVertices) {
                ASSERT_TRUE(inside(turn(p, j.pivot, angle, j.axis), body))
                    << "(" << p.x << ", " << p.y << ", " << p.z << ") at " << angle << " degrees";
            }
        }
    }
    // The ears stay put while the head sways 3 degrees about the model origin: their roots
    // must stay inside the head.
    auto head = triangles(mouse->mMeshes[1]);
    for (unsigned ear : {36u, 37u}) {
        const aiMesh* mesh = mouse->mMeshes[ear];
        float bottom = 1e9f;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v)
            bottom = std::min(bottom, mesh->mVertices[v].y);
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            glm::vec3 p = vec(mesh->mVertices[v]);
            if (p.y > bottom + 2.0f)
                continue;
            for (float angle : {-3.0f, 3.0f}) {
                ASSERT_TRUE(inside(turn(p, glm::vec3(0.0f), -angle, {1, 0, 0}), head)) << "ear " << ear;
            }
        }
    }
}

} // namespace
