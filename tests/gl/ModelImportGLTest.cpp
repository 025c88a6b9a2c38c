#include "objects/ModelImport.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "app/Globals.h"
#include "app/Light.h"
#include "objects/TextureLibrary.h"
#include "physics/BulletPhysics.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"
#include "tests/ObjFiles.h"
#include "tests/gl/AssetTree.h"
#include "tests/gl/GLContext.h"

namespace {

const glm::vec3 brick(60, 120, 220);

using objfile::Attributes;
using objfile::facingZ;

// One mesh per group of squares, each in the xy plane facing +z.
std::string quadObj(const std::vector<std::vector<objfile::Quad>>& meshes, Attributes attributes = Attributes::All)
{
    objfile::Writer obj(attributes);
    for (size_t m = 0; m < meshes.size(); ++m) {
        obj.mesh("mesh" + std::to_string(m));
        for (const objfile::Quad& q : meshes[m])
            obj.quad(q);
    }
    return obj.str();
}

// 25 squares of side 1, 3 apart on a 5 x 5 grid: 100 corners, no two alike, 50 triangles.
std::vector<objfile::Quad> gridOfQuads()
{
    std::vector<objfile::Quad> quads;
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 5; ++col)
            quads.push_back(facingZ(glm::vec3(3.0f * col, 3.0f * row, 0.0f), 1.0f));
    return quads;
}

std::string meshZeroReport(const std::string& path, int meshes, int vertices, int faces)
{
    std::ostringstream text;
    text << "numMeshes of " << path << ": " << meshes << "\n"
         << "gorbeck numver: " << vertices << " | " << 16 * vertices << "\n"
         << "gorbeck numnor: " << vertices << " | " << 12 * vertices << "\n"
         << "gorbeck numcol: " << vertices << " | " << 16 * vertices << "\n"
         << "gorbeck numind: " << faces << " | " << 12 * faces << "\n";
    return text.str();
}

// A scene as start-up builds it, before any model: 26 images (the brick colour map 60, 120, 220,
// every normal map flat, the rest grey 90), the programs, and a square as the level.
class ModelImport : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        tree = std::make_unique<gltest::AssetTree>(gltest::greyImages(90, {{12, {60, 120, 220}}}));
        std::ofstream(tree->dir + "/models/level.obj") << quadObj({{facingZ(glm::vec3(0.0f), 40.0f)}});
    }

    void SetUp() override
    {
        tree->enter();
        scene = gltest::startScene();
        gltest::useStartUpState();
    }

    void TearDown() override
    {
        gltest::leaveStartUpState();
        tree->leave();
        gltest::stopScene(scene);
        gltest::glErrors();
    }

    void writeModel(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

    // Loads with standard output and standard error captured into `out` and `err`.
    bool load(const std::string& path, const TexturePairs& pairs, bool isPlayer = false, float scale = 1.0f)
    {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        bool loaded = loadModel(*scene, path, pairs, isPlayer, scale, glm::vec3(0.0f, 50.0f, 0.0f));
        err = testing::internal::GetCapturedStderr();
        out = testing::internal::GetCapturedStdout();
        return loaded;
    }

    // Draws `object` seen from 20 in front along +z, lit by a white ambient light alone, so
    // each pixel shows the colour map's texel unchanged.
    std::vector<unsigned char> drawFacing(Object& object)
    {
        ::light->ambient = glm::vec4(1.0f);
        ::light->diffuse = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
        ::light->specular = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
        scene->setViewMatrix(glm::lookAt(glm::vec3(0, 0, 20), glm::vec3(0), glm::vec3(0, 1, 0)));
        object.updateModelMatrix();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->uploadLightingUniforms();
        object.draw(true);
        return gltest::readPixels(0, 0, 800, 600);
    }

    // The window pixel of x on the plane z = 0 seen from 20 away: the window shows
    // 20 tan 17.5 x 4/3 = 8.409 either side of the middle.
    static int columnOf(float x) { return static_cast<int>(400.0f + x / 8.409f * 400.0f); }

    static testing::AssertionResult pixelNear(const std::vector<unsigned char>& frame, int x, int y, glm::vec3 expected,
                                              float tolerance)
    {
        const unsigned char* p = &frame[3 * (y * 800 + x)];
        for (int c = 0; c < 3; ++c)
            if (std::fabs(p[c] - expected[c]) > tolerance)
                return testing::AssertionFailure()
                    << "pixel (" << x << ", " << y << ") is " << int(p[0]) << " " << int(p[1]) << " " << int(p[2])
                    << ", expected " << expected.r << " " << expected.g << " " << expected.b;
        return testing::AssertionSuccess();
    }

    static inline std::unique_ptr<gltest::AssetTree> tree;
    Scene* scene = nullptr;
    std::string out;
    std::string err;
};

} // namespace

TEST_F(ModelImport, ReportsMeshZeroCountsAndByteSizesOfAHundredDistinctVertices)
{
    writeModel("models/grid.obj", quadObj({gridOfQuads()}));
    ASSERT_TRUE(load("models/grid.obj", {{12, 13}})) << err;
    EXPECT_EQ(out, meshZeroReport("models/grid.obj", 1, 100, 50));
    EXPECT_EQ(err, "");

    ASSERT_EQ(scene->objects.size(), 1u);
    Object& object = *scene->objects[0];
    ASSERT_EQ(object.numMeshes, 1);
    EXPECT_EQ(object.numVertices[0], 100u);
    EXPECT_EQ(object.numFaces[0], 50u);
    EXPECT_EQ(object.indices[0].size(), 150u);

    // Every corner of the grid, and nothing else, once each, as a point (w = 1).
    std::multiset<std::tuple<float, float, float>> expected, found;
    for (const objfile::Quad& q : gridOfQuads())
        for (float dx : {-0.5f, 0.5f})
            for (float dy : {-0.5f, 0.5f})
                expected.insert({q.centre.x + dx, q.centre.y + dy, 0.0f});
    ASSERT_EQ(object.vertices[0].size(), 100u);
    for (const glm::vec4& v : object.vertices[0]) {
        EXPECT_EQ(v.w, 1.0f);
        found.insert({v.x, v.y, v.z});
    }
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(gltest::glErrors().empty());
}

TEST_F(ModelImport, PlayerFacesBackAtAHundredthScaleAndRegistersAfterItsBody)
{
    writeModel("models/mouse.obj", quadObj({gridOfQuads()}));
    writeModel("models/world.obj", quadObj({{facingZ(glm::vec3(0.0f), 10.0f)}}));

    ASSERT_TRUE(load("models/mouse.obj", {{0, 1}}, true, 0.01f)) << err;
    // The character prints the word and the load height given (50), one line each.
    EXPECT_EQ(out, meshZeroReport("models/mouse.obj", 1, 100, 50) + "blabla\n50\n");
    ASSERT_NE(scene->player, nullptr);
    EXPECT_TRUE(scene->objects.empty());
    EXPECT_EQ(scene->player->rotation, glm::vec3(0.0f, -180.0f, 0.0f));
    EXPECT_EQ(scene->player->scale, 0.01f);
    for (const glm::vec4& v : scene->player->vertices[0])
        EXPECT_EQ(v.w, 1.0f);

    ASSERT_TRUE(load("models/world.obj", {{18, 19}})) << err;
    EXPECT_EQ(out, meshZeroReport("models/world.obj", 1, 4, 2));
    // Index 0 is the level's collision body, 1 the player's inert body, 2 the character
    // (which has no rigid body), 3 the level object's inert body.
    EXPECT_EQ(scene->playerBodyIndex, 2);
    EXPECT_EQ(scene->physics->rigidBodies.size(), 3u);
    EXPECT_EQ(scene->objects.size(), 1u);
    EXPECT_EQ(scene->objects[0]->rotation, glm::vec3(0.0f));
    EXPECT_EQ(scene->objects[0]->scale, 1.0f);
    EXPECT_TRUE(gltest::glErrors().empty());
}

TEST_F(ModelImport, UnreadableOrEmptyModelFileFailsWithOneLineNamingIt)
{
    writeModel("models/empty.obj", "# no geometry at all\n");
    for (std::string path : {"models/absent.obj", "models/empty.obj"}) {
        EXPECT_FALSE(load(path, {{12, 13}})) << path;
        EXPECT_EQ(out, "") << path;
        ASSERT_FALSE(err.empty()) << path;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << "exactly one line: " << err;
        EXPECT_NE(err.find(path), std::string::npos) << err;
    }
    EXPECT_EQ(scene->player, nullptr);
    EXPECT_TRUE(scene->objects.empty());
    // Only the level's collision body: a failed load registers nothing.
    EXPECT_EQ(scene->physics->rigidBodies.size(), 1u);
    EXPECT_TRUE(gltest::glErrors().empty());
}

TEST_F(ModelImport, MeshesPastTheTextureTableDrawWithThePlainMaps)
{
    writeModel("models/three.obj",
               quadObj({{facingZ(glm::vec3(-4, 0, 0))}, {facingZ(glm::vec3(0, 0, 0))}, {facingZ(glm::vec3(4, 0, 0))}}));
    ASSERT_TRUE(load("models/three.obj", {{12, 13}})) << err;
    EXPECT_EQ(out,
              meshZeroReport("models/three.obj", 3, 4, 2)
                  + "models/three.obj has 3 meshes but its texture table only 1; the meshes past the table are "
                    "drawn with plain textures\n");

    ASSERT_EQ(scene->objects.size(), 1u);
    auto& object = static_cast<BumpMappedObject&>(*scene->objects[0]);
    EXPECT_EQ(object.colorTextures[0], scene->textureLibrary->textures[12].get());
    for (int i : {1, 2}) {
        EXPECT_EQ(object.colorTextures[i], &scene->textureLibrary->fallbackColorMap()) << "mesh " << i;
        EXPECT_EQ(object.normalTextures[i], &scene->textureLibrary->fallbackNormalMap()) << "mesh " << i;
    }

    std::vector<unsigned char> frame = drawFacing(object);
    EXPECT_TRUE(gltest::glErrors().empty());
    // Mesh 0's brick image decodes within 4 of its colour; the plain grey 160 is exact but for
    // the shader's rounding, 1. Ambient white times the map is the map.
    EXPECT_TRUE(pixelNear(frame, columnOf(-4.0f), 300, brick, 4.0f));
    EXPECT_TRUE(pixelNear(frame, columnOf(0.0f), 300, glm::vec3(160), 1.0f));
    EXPECT_TRUE(pixelNear(frame, columnOf(4.0f), 300, glm::vec3(160), 1.0f));
    // Between the quads (1 unit gaps) nothing is drawn.
    EXPECT_TRUE(pixelNear(frame, columnOf(2.0f), 300, glm::vec3(0), 0.0f));
}

TEST_F(ModelImport, TextureIndicesPastTheLibraryGetThePlainMapsWithALineEach)
{
    writeModel("models/two.obj", quadObj({{facingZ(glm::vec3(-2, 0, 0))}, {facingZ(glm::vec3(2, 0, 0))}}));
    ASSERT_TRUE(load("models/two.obj", {{12, 13}, {40, 41}})) << err;
    EXPECT_EQ(out,
              meshZeroReport("models/two.obj", 2, 4, 2)
                  + "mesh 1 of models/two.obj: texture 40 is not loaded; drawing it with a plain grey colour map\n"
                    "mesh 1 of models/two.obj: texture 41 is not loaded; drawing it with a plain flat normal map\n");

    auto& object = static_cast<BumpMappedObject&>(*scene->objects[0]);
    EXPECT_EQ(object.colorTextures[1], &scene->textureLibrary->fallbackColorMap());
    EXPECT_EQ(object.normalTextures[1], &scene->textureLibrary->fallbackNormalMap());
    std::vector<unsigned char> frame = drawFacing(object);
    EXPECT_TRUE(gltest::glErrors().empty());
    EXPECT_TRUE(pixelNear(frame, columnOf(-2.0f), 300, brick, 4.0f));
    EXPECT_TRUE(pixelNear(frame, columnOf(2.0f), 300, glm::vec3(160), 1.0f));
}

TEST_F(ModelImport, MeshWhoseImageDidNotLoadGetsThePlainMapNotTheImageAfterIt)
{
    // Without water_c (index 14) the library's list shifts: water_n is now its 15th entry.
    std::filesystem::rename("textures/water_c.jpg", "water_c.jpg");
    scene->textureLibrary = std::make_unique<TextureLibrary>();
    testing::internal::CaptureStdout();
    scene->textureLibrary->loadTextures();
    testing::internal::GetCapturedStdout();
    std::filesystem::rename("water_c.jpg", "textures/water_c.jpg");
    TextureLibrary& library = *scene->textureLibrary;
    ASSERT_EQ(library.textures.size(), 25u);

    writeModel("models/two.obj", quadObj({{facingZ(glm::vec3(-2, 0, 0))}, {facingZ(glm::vec3(2, 0, 0))}}));
    ASSERT_TRUE(load("models/two.obj", {{14, 15}, {12, 13}})) << err;
    EXPECT_EQ(out,
              meshZeroReport("models/two.obj", 2, 4, 2)
                  + "mesh 0 of models/two.obj: texture 14 is not loaded; drawing it with a plain grey colour map\n");
    auto& object = static_cast<BumpMappedObject&>(*scene->objects[0]);
    EXPECT_EQ(object.colorTextures[0], &library.fallbackColorMap());
    EXPECT_EQ(object.normalTextures[0], library.textures[14].get()) << "water_n, which did load";
    EXPECT_EQ(object.colorTextures[1], library.textures[12].get());
    std::vector<unsigned char> frame = drawFacing(object);
    EXPECT_TRUE(gltest::glErrors().empty());
    // Grey, not the flat normal map's blue (128, 128, 255) that now sits at index 14.
    EXPECT_TRUE(pixelNear(frame, columnOf(-2.0f), 300, glm::vec3(160), 1.0f));
    EXPECT_TRUE(pixelNear(frame, columnOf(2.0f), 300, brick, 4.0f));
}

TEST_F(ModelImport, MeshWithoutNormalsGetsThemFromItsFacesAndDraws)
{
    writeModel("models/bare.obj", quadObj({{facingZ(glm::vec3(0.0f))}}, Attributes::NoNormals));
    ASSERT_TRUE(load("models/bare.obj", {{12, 13}})) << err;
    // Reading the file reports the gap, before the counts of what was read.
    EXPECT_EQ(out,
              "mesh 0 of models/bare.obj has no normals; computing them from its faces\n"
                  + meshZeroReport("models/bare.obj", 1, 4, 2));

    auto& object = static_cast<BumpMappedObject&>(*scene->objects[0]);
    // Counter-clockwise seen from +z: every corner's normal is +z.
    for (const glm::vec3& n : object.normals[0])
        EXPECT_EQ(n, glm::vec3(0.0f, 0.0f, 1.0f));
    // The texture's s runs along +x on this quad.
    for (const glm::vec4& t : object.tangents[0]) {
        EXPECT_NEAR(t.x, 1.0f, 1e-6f);
        EXPECT_NEAR(t.y, 0.0f, 1e-6f);
        EXPECT_NEAR(t.z, 0.0f, 1e-6f);
    }
    std::vector<unsigned char> frame = drawFacing(object);
    EXPECT_TRUE(gltest::glErrors().empty());
    EXPECT_TRUE(pixelNear(frame, 400, 300, brick, 4.0f));
}

TEST_F(ModelImport, MeshWithoutTextureCoordinatesGetsFiniteTangentsAndDrawsInOneColour)
{
    writeModel("models/untextured.obj", quadObj({{facingZ(glm::vec3(0.0f))}}, Attributes::NoTexCoords));
    ASSERT_TRUE(load("models/untextured.obj", {{12, 13}})) << err;
    EXPECT_EQ(out,
              "mesh 0 of models/untextured.obj has no texture coordinates; its textures show one colour\n"
                  + meshZeroReport("models/untextured.obj", 1, 4, 2));

    auto& object = static_cast<BumpMappedObject&>(*scene->objects[0]);
    ASSERT_EQ(object.tangents[0].size(), 4u);
    // No texture direction exists; any finite unit tangent across the normal +z will do.
    for (const glm::vec4& t : object.tangents[0]) {
        ASSERT_TRUE(std::isfinite(t.x) && std::isfinite(t.y) && std::isfinite(t.z) && std::isfinite(t.w));
        EXPECT_NEAR(glm::length(glm::vec3(t)), 1.0f, 1e-6f);
        EXPECT_NEAR(t.z, 0.0f, 1e-6f);
        EXPECT_EQ(std::fabs(t.w), 1.0f);
    }
    for (const glm::vec2& uv : object.texCoords[0])
        EXPECT_EQ(uv, glm::vec2(0.0f));
    std::vector<unsigned char> frame = drawFacing(object);
    EXPECT_TRUE(gltest::glErrors().empty());
    EXPECT_TRUE(pixelNear(frame, 400, 300, brick, 4.0f));
    EXPECT_TRUE(pixelNear(frame, columnOf(0.9f), 300, brick, 4.0f));
}
