#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/TextureTables.h"
#include "objects/TextureFiles.h"
#include "tests/tools/AssetFiles.h"
#include "tools/gen/Level.h"

namespace {

// The colour image the texture table gives mesh i.
std::string colourImage(const TexturePairs& table, unsigned i)
{
    return i < table.size() ? textureFiles()[table[i].first] : "(none)";
}

// Meshes of `scene` for which `holds` is true, by index.
std::vector<unsigned> meshesWhere(const aiScene* scene, const std::function<bool(const aiMesh&)>& holds)
{
    std::vector<unsigned> found;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m)
        if (holds(*scene->mMeshes[m]))
            found.push_back(m);
    return found;
}

bool allVertices(const aiMesh& mesh, const std::function<bool(const aiVector3D&, const aiVector3D&)>& test)
{
    for (unsigned v = 0; v < mesh.mNumVertices; ++v)
        if (!test(mesh.mVertices[v], mesh.mNormals[v]))
            return false;
    return mesh.mNumVertices > 0;
}

bool anyVertex(const aiMesh& mesh, const std::function<bool(const aiVector3D&)>& test)
{
    for (unsigned v = 0; v < mesh.mNumVertices; ++v)
        if (test(mesh.mVertices[v]))
            return true;
    return false;
}

} // namespace

// Each part of the model found by its shape, not its index, wears the image made for it:
// the generator's mesh order and the game's texture tables must agree.
TEST(TextureAssignment, LevelPartsFoundByShapeWearTheirImages)
{
    Assimp::Importer importer;
    const aiScene* level = importModel(importer, "models/level.obj");
    ASSERT_NE(level, nullptr);
    const TexturePairs table = levelTextures();
    auto near = [](float a, float b) { return std::fabs(a - b) < 1e-3f; };

    // The water is the one mesh lying wholly at the water's height.
    auto water = meshesWhere(level, [&](const aiMesh& m) {
        return allVertices(m, [&](const aiVector3D& p, const aiVector3D&) { return near(p.y, gen::waterHeight); });
    });
    ASSERT_EQ(water.size(), 1u);
    EXPECT_EQ(colourImage(table, water[0]), "textures/water_c.jpg");

    // Two meshes reach the cheese's top: the top itself, facing straight up there, and the
    // sloping sides.
    auto cheese = meshesWhere(level, [&](const aiMesh& m) {
        return anyVertex(m, [&](const aiVector3D& p) { return near(p.y, gen::cheeseTopHeight); });
    });
    ASSERT_EQ(cheese.size(), 2u);
    for (unsigned m : cheese) {
        const aiMesh& mesh = *level->mMeshes[m];
        bool flatTop = true;
        for (unsigned v = 0; v < mesh.mNumVertices; ++v)
            if (near(mesh.mVertices[v].y, gen::cheeseTopHeight) && mesh.mNormals[v].y < 0.999f)
                flatTop = false;
        EXPECT_EQ(colourImage(table, m), flatTop ? "textures/cheeseTop.jpg" : "textures/cheeseSide.jpg")
            << "mesh " << m;
    }
}

TEST(TextureAssignment, MousePartsFoundByShapeWearTheirImages)
{
    Assimp::Importer importer;
    const aiScene* mouse = importModel(importer, "models/gorbeck.obj");
    ASSERT_NE(mouse, nullptr);
    const TexturePairs table = playerTextures();

    // The mouse faces +z: the nose reaches furthest forward, the tail furthest back, and only
    // the six whiskers stick out more than 60 units sideways.
    float front = -1e9f, back = 1e9f;
    for (unsigned m = 0; m < mouse->mNumMeshes; ++m)
        for (unsigned v = 0; v < mouse->mMeshes[m]->mNumVertices; ++v) {
            front = std::fmax(front, mouse->mMeshes[m]->mVertices[v].z);
            back = std::fmin(back, mouse->mMeshes[m]->mVertices[v].z);
        }
    auto reaching = [&](float z) {
        return meshesWhere(mouse, [&](const aiMesh& m) {
            return anyVertex(m, [&](const aiVector3D& p) { return std::fabs(p.z - z) < 1e-3f; });
        });
    };
    auto nose = reaching(front);
    ASSERT_EQ(nose.size(), 1u);
    EXPECT_EQ(colourImage(table, nose[0]), "textures/mouse_nose_c.jpg");
    auto tail = reaching(back);
    ASSERT_EQ(tail.size(), 1u);
    EXPECT_EQ(colourImage(table, tail[0]), "textures/mouse_tail_c.jpg");

    auto whiskers = meshesWhere(mouse, [](const aiMesh& m) {
        return anyVertex(m, [](const aiVector3D& p) { return std::fabs(p.x) > 60.0f; });
    });
    EXPECT_EQ(whiskers.size(), 6u);
    for (unsigned m : whiskers)
        EXPECT_EQ(colourImage(table, m), "textures/mouse_nosehair_c.jpg") << "mesh " << m;
}
