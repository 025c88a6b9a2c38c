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

} // namespace
