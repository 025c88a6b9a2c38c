#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "tests/tools/AssetFiles.h"

namespace {

TEST(ModelFiles, MouseStandsOnItsFeetInsideTheCharacterBox)
{
    Assimp::Importer importer;
    const aiScene* mouse = importModel(importer, "models/gorbeck.obj");
    ASSERT_NE(mouse, nullptr) << importer.GetErrorString();
    float lowest = 1e9f;
    for (unsigned i = 0; i < mouse->mNumMeshes; ++i) {
        const aiMesh* mesh = mouse->mMeshes[i];
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            const aiVector3D& p = mesh->mVertices[v];
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

// Every part of the mouse is drawn with the full lighting shader. Spent evenly, 26,580
// triangles made a toe a few pixels wide cost as much as the body; sized to each part, the
// body keeps all of its roundness, no outline is coarser than its, and the whole mouse needs
// a fraction of that.
TEST(ModelFiles, MouseSpendsTrianglesWhereTheyShow)
{
    Assimp::Importer importer;
    const aiScene* mouse = importModel(importer, "models/gorbeck.obj");
    ASSERT_NE(mouse, nullptr) << importer.GetErrorString();
    // The body: 32 segments around, 20 rings from pole to pole. Two triangles per cell, one
    // per segment in the two rows at the poles: 32 x 18 x 2 + 2 x 32.
    EXPECT_EQ(mouse->mMeshes[0]->mNumFaces, 32u * 18u * 2u + 2u * 32u);
    // The body's segments stand 92 (1 - cos(pi / 32)) = 0.44 units inside its outline at most.
    // An ear, 18 units in radius, stays as close with 15 segments, as pi / acos(1 - 0.44 / 18)
    // is 14.1, and with 10 rings: 15 x 8 x 2 + 2 x 15 triangles.
    EXPECT_EQ(mouse->mMeshes[36]->mNumFaces, 15u * 8u * 2u + 2u * 15u);
    unsigned triangles = 0;
    for (unsigned i = 0; i < mouse->mNumMeshes; ++i)
        triangles += mouse->mMeshes[i]->mNumFaces;
    EXPECT_LT(triangles, 7000u);
}

} // namespace
