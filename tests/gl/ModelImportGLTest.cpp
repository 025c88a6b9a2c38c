#include "objects/ModelImport.h"

#include <cmath>
#include <set>
#include <tuple>

#include "physics/BulletPhysics.h"
#include "tests/gl/AssetTree.h"

namespace {

using objfile::Attributes;
using objfile::facingZ;

// Image 12, the brick colour map, is two colours: brick on its left half, clay on its right.
const gltest::Colour brickColour{60, 120, 220}, clayColour{220, 120, 60};
const glm::vec3 brick(60, 120, 220), clay(220, 120, 60);

// One mesh of squares.
std::string quadObj(const std::vector<objfile::Quad>& quads, Attributes attributes = Attributes::All)
{
    objfile::Writer obj(attributes);
    for (const objfile::Quad& q : quads)
        obj.quad(q);
    return obj.str();
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

// Whether a square of side 2 centred on x, seen by drawUnderWhiteAmbient, shows `left` and
// `right` a quarter of its side in from either edge, within the 4 JPEG may be off by.
testing::AssertionResult showsMap(float x, glm::vec3 left, glm::vec3 right)
{
    auto leftHalf = gltest::pixelsNear(gltest::columnOf(x - 0.5f), 300, left, 4);
    return leftHalf ? gltest::pixelsNear(gltest::columnOf(x + 0.5f), 300, right, 4) : leftHalf;
}

// A scene as start-up builds it, before any model: 26 images (the brick one, every normal
// map flat, the rest grey 90), the programs, and a square as the level.
class ModelImport : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        tree = std::make_unique<gltest::AssetTree>(gltest::greyImages(90));
        gltest::writeBlocks(tree->dir + "/" + TextureLibrary::fileNames()[12], 2, {brickColour, clayColour});
        std::ofstream(tree->dir + "/models/level.obj") << quadObj({facingZ(glm::vec3(0.0f), 40.0f)});
    }

    void SetUp() override
    {
        tree->enter();
        scene = gltest::startScene();
        gltest::useStartUpState();
    }

    void TearDown() override
    {
        tree->leave();
        gltest::stopScene(scene);
        gltest::glErrors();
    }

    // Writes `text` to `path`, then loads it with standard output and standard error captured into `out` and `err`.
    bool load(const std::string& path, const std::string& text, const TexturePairs& pairs, bool isPlayer = false)
    {
        std::ofstream(path) << text;
        testing::internal::CaptureStderr();
        bool loaded = false;
        out = gltest::printedBy(
            [&] { loaded = loadModel(*scene, path, pairs, isPlayer, 1.0f, glm::vec3(0.0f, 50.0f, 0.0f)); });
        err = testing::internal::GetCapturedStderr();
        return loaded;
    }

    BumpMappedObject& object(size_t i) { return static_cast<BumpMappedObject&>(*scene->objects.at(i)); }

    static inline std::unique_ptr<gltest::AssetTree> tree;
    Scene* scene = nullptr;
    std::string out;
    std::string err;
};

} // namespace

TEST_F(ModelImport, PlayerKeepsEveryCornerTurnsToFaceBackAndRegistersBeforeTheLevelObject)
{
    // 25 squares of side 1, 3 apart on a 5 x 5 grid: 100 corners, no two alike, 50 triangles.
    std::vector<objfile::Quad> grid;
    std::multiset<std::tuple<float, float, float>> corners, found;
    for (int i = 0; i < 100; ++i) {
        glm::vec3 centre(3 * (i / 4 % 5), 3 * (i / 20), 0);
        if (i % 4 == 0)
            grid.push_back(facingZ(centre, 1.0f));
        corners.insert({centre.x + (i & 1) - 0.5f, centre.y + (i >> 1 & 1) - 0.5f, 0.0f});
    }
    ASSERT_TRUE(load("models/mouse.obj", quadObj(grid), {{0, 1}}, true)) << err;
    // The character prints the word and the load height given (50), one line each.
    EXPECT_EQ(out, meshZeroReport("models/mouse.obj", 1, 100, 50) + "blabla\n50\n");
    ASSERT_TRUE(scene->player != nullptr && scene->objects.empty());
    EXPECT_EQ(scene->player->rotation, glm::vec3(0.0f, -180.0f, 0.0f));
    EXPECT_EQ(scene->player->indices[0].size(), 150u);
    // Every corner, and nothing else, once each, as a point (w = 1).
    for (const glm::vec4& v : scene->player->vertices[0]) {
        EXPECT_EQ(v.w, 1.0f);
        found.insert({v.x, v.y, v.z});
    }
    EXPECT_EQ(found, corners);
    // Every object registers an inert body: index 0 is the level's collision body, 1 the player's,
    // 2 the character (which has no rigid body), 3 the level object's.
    ASSERT_TRUE(load("models/world.obj", quadObj({facingZ(glm::vec3(0.0f), 10.0f)}), {{18, 19}})) << err;
    EXPECT_EQ(scene->playerBodyIndex, 2);
    EXPECT_EQ(scene->physics->rigidBodies.size(), 3u);
    EXPECT_TRUE(gltest::glErrors().empty());
}

TEST_F(ModelImport, MeshWithoutNormalsOrTextureCoordinatesGetsThemMadeUpAndDraws)
{
    ASSERT_TRUE(load("models/bare.obj", quadObj({facingZ(glm::vec3(0.0f))}, Attributes::NoNormals), {{12, 13}})) << err;
    // Reading the file reports the gap, before the counts of what was read.
    EXPECT_EQ(out,
              "mesh 0 of models/bare.obj has no normals; computing them from its faces\n"
                  + meshZeroReport("models/bare.obj", 1, 4, 2));
    ASSERT_TRUE(load("models/untextured.obj", quadObj({facingZ(glm::vec3(0.0f))}, Attributes::NoTexCoords), {{12, 13}}))
        << err;
    EXPECT_EQ(out,
              "mesh 0 of models/untextured.obj has no texture coordinates; its textures show one colour\n"
                  + meshZeroReport("models/untextured.obj", 1, 4, 2));

    // Counter-clockwise seen from +z: every corner's normal is +z, and the texture's s runs along +x.
    for (const glm::vec3& n : object(0).normals[0])
        EXPECT_EQ(n, glm::vec3(0.0f, 0.0f, 1.0f));
    for (const glm::vec4& t : object(0).tangents[0])
        EXPECT_LT(glm::length(glm::vec3(t) - glm::vec3(1, 0, 0)), 1e-6f);
    gltest::drawUnderWhiteAmbient(*scene, object(0));
    EXPECT_TRUE(showsMap(0.0f, brick, clay));

    // No texture direction exists; any finite unit tangent across the normal +z will do. The
    // whole square samples (0, 0), where the repeating map wraps round: half brick, half clay.
    for (const glm::vec4& t : object(1).tangents[0])
        EXPECT_TRUE(std::fabs(glm::length(glm::vec3(t)) - 1.0f) < 1e-6f && std::fabs(t.z) < 1e-6f
                    && std::fabs(t.w) == 1.0f)
            << t.x << " " << t.y << " " << t.z << " " << t.w; // NaN fails every comparison
    gltest::drawUnderWhiteAmbient(*scene, object(1));
    EXPECT_TRUE(showsMap(0.0f, (brick + clay) / 2.0f, (brick + clay) / 2.0f));
    EXPECT_TRUE(gltest::glErrors().empty());
}
