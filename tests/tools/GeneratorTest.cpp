#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <glm/common.hpp>
#include <gtest/gtest.h>

#include "objects/TextureFiles.h"
#include "tests/tools/AssetFiles.h"
#include "tools/gen/Image.h"
#include "tools/gen/Mesh.h"
#include "tools/gen/Noise.h"
#include "tools/gen/Textures.h"

namespace {

TEST(Noise, RepeatsOverItsPeriodAndStaysInRange)
{
    for (float x : {0.0f, 0.3f, 2.71f, 6.5f}) {
        for (float y : {0.0f, 1.7f, 4.25f}) {
            EXPECT_NEAR(gen::tileNoise(x, y, 8, 4, 5u), gen::tileNoise(x + 8.0f, y + 4.0f, 8, 4, 5u), 1e-5f);
            EXPECT_NEAR(gen::tileFbm(x, y, 4, 4, 3, 9u), gen::tileFbm(x + 4.0f, y - 4.0f, 4, 4, 3, 9u), 1e-5f);
            gen::CellSample a = gen::tileCells(x, y, 6, 2u), b = gen::tileCells(x + 6.0f, y + 12.0f, 6, 2u);
            EXPECT_NEAR(a.f1, b.f1, 1e-5f);
            EXPECT_EQ(a.id, b.id);
            EXPECT_LE(a.f1, a.f2);
            float v = gen::tileFbm(x, y, 4, 4, 5, 1u);
            EXPECT_GE(v, 0.0f);
            EXPECT_LE(v, 1.0f);
        }
    }
    // At lattice points value noise is the lattice value itself: same seed, same value.
    EXPECT_FLOAT_EQ(gen::tileNoise(3.0f, 2.0f, 8, 8, 77u), gen::hashUnit(3, 2, 77u));
}

TEST(Noise, SeededGeneratorRepeatsItsSequence)
{
    gen::Rng a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        uint32_t x = a.next();
        EXPECT_EQ(x, b.next());
        differs = differs || x != c.next();
    }
    EXPECT_TRUE(differs);
}

// A 4 x 2 picture with a different value in every pixel and channel: each output pixel is
// the mean of its own 2 x 2 block, and a factor of 1 keeps the picture as it is.
TEST(Shrink, EachPixelIsTheMeanOfItsBlock)
{
    gen::Image in(4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            in.at(x, y) = glm::vec3(0.1f * x, 0.4f * y, 0.05f * (x + 4 * y));
    gen::Image out = gen::shrink(in, 2);
    ASSERT_EQ(out.width, 2);
    ASSERT_EQ(out.height, 1);
    // Left block: x 0 and 1, y 0 and 1.  r = (0 + 0.1 + 0 + 0.1) / 4, g = (0 + 0 + 0.4 + 0.4) / 4,
    // b = 0.05 (0 + 1 + 4 + 5) / 4. Right block: x 2 and 3.
    const glm::vec3 expected[] = {{0.05f, 0.2f, 0.125f}, {0.25f, 0.2f, 0.225f}};
    for (int x = 0; x < 2; ++x)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(out.at(x, 0)[k], expected[x][k], 1e-6f) << "pixel " << x << " channel " << k;

    gen::Image same = gen::shrink(in, 1);
    ASSERT_EQ(same.width, 4);
    ASSERT_EQ(same.height, 2);
    EXPECT_EQ(same.at(3, 1), in.at(3, 1));
}

// Each stored map is its painted picture, shrunk no further than the camera allows: the
// sizes are where the finest level the camera samples is level 0 (see storedShrink), and
// the ground, seen closest, keeps its painted 1024 pixels.
TEST(StoredTextures, EachMapIsItsPaintedPictureAtTheSizeTheCameraNeeds)
{
    struct Stored {
        gen::SurfaceKind kind;
        int size;
    };
    const Stored stored[] = {
        {gen::SurfaceKind::Fur, 128},     {gen::SurfaceKind::Eye, 128},        {gen::SurfaceKind::Teeth, 128},
        {gen::SurfaceKind::Tail, 128},    {gen::SurfaceKind::Whisker, 128},    {gen::SurfaceKind::Nose, 128},
        {gen::SurfaceKind::Brick, 512},   {gen::SurfaceKind::Water, 512},      {gen::SurfaceKind::Stone, 512},
        {gen::SurfaceKind::Ground, 1024}, {gen::SurfaceKind::CheeseSide, 512}, {gen::SurfaceKind::CheeseTop, 512},
    };
    const auto& names = textureFiles();
    for (std::size_t i = 0; i < std::size(stored); ++i) {
        const std::string& colourName = names[2 * i];
        int width = 0, height = 0;
        std::vector<uint8_t> rgb;
        // The normal map first: its size must match too, and `rgb` ends up holding the colours.
        for (const std::string& name : {names[2 * i + 1], colourName}) {
            ASSERT_TRUE(gen::readJpeg(runtimePath(name), width, height, rgb)) << name;
            EXPECT_EQ(width, stored[i].size) << name;
            EXPECT_EQ(height, stored[i].size) << name;
        }

        // The stored colours are the painted ones, box-filtered down, within JPEG's error.
        gen::Image painted = gen::makeSurface(stored[i].kind).colour;
        ASSERT_EQ(painted.width % width, 0) << colourName;
        std::vector<uint8_t> expected = gen::shrink(painted, painted.width / width).toBytes();
        ASSERT_EQ(expected.size(), rgb.size()) << colourName;
        double difference = 0.0;
        for (std::size_t k = 0; k < rgb.size(); ++k)
            difference += std::abs(int(rgb[k]) - int(expected[k]));
        EXPECT_LT(difference / rgb.size(), 2.0) << colourName;
    }
}

TEST(NormalMap, FlatIsStraightUpAndASlopeTiltsAgainstIt)
{
    gen::HeightField flat(4, 4, 0.5f);
    gen::Image up = gen::normalMap(flat, 10.0f);
    EXPECT_FLOAT_EQ(up.at(2, 1).r, 0.5f);
    EXPECT_FLOAT_EQ(up.at(2, 1).g, 0.5f);
    EXPECT_FLOAT_EQ(up.at(2, 1).b, 1.0f);

    // Height rising by 0.1 per column with depth 5: slope 0.5, so n = (-0.5, 0, 1) / sqrt(1.25).
    gen::HeightField ramp(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ramp.at(x, y) = 0.1f * static_cast<float>(x);
    gen::Image tilted = gen::normalMap(ramp, 5.0f);
    float k = 1.0f / std::sqrt(1.25f);
    EXPECT_NEAR(tilted.at(3, 3).r, 0.5f - 0.5f * 0.5f * k, 1e-5f);
    EXPECT_NEAR(tilted.at(3, 3).g, 0.5f, 1e-5f);
    EXPECT_NEAR(tilted.at(3, 3).b, 0.5f + 0.5f * k, 1e-5f);

    // Rising down the rows tilts the normal towards the earlier rows (negative y).
    gen::HeightField down(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            down.at(x, y) = 0.1f * static_cast<float>(y);
    EXPECT_LT(gen::normalMap(down, 5.0f).at(4, 4).g, 0.5f);
}

// A hole is a round dent, sqrt(1 - (d/r)^2) at distance d from its middle: along any line
// its depth changes smoothly, steepest at the rim. Sampled every 1/4096 of the tile (a
// thousandth of a hole-cell of the win image), the rim of the smallest hole (r = 0.18 cell)
// steps by at most sqrt(1 - (1 - 0.001/0.18)^2) = 0.105. A hole cut off by a straight cell
// border instead drops from wherever the border crosses it straight to 0.
TEST(CheeseHoles, AreWholeRoundDentsNeverCutOffByCellBorders)
{
    for (int cells : {4, 5}) {
        float deepest = 0.0f, largestStep = 0.0f;
        for (int row = 0; row < 256; ++row) {
            float v = (static_cast<float>(row) + 0.5f) / 256.0f, shade = 0.0f;
            float previous = gen::cheeseHoles(0.0f, v, cells, 0.7f, 131u, shade);
            for (int i = 1; i < 4096; ++i) {
                float dent = gen::cheeseHoles(static_cast<float>(i) / 4096.0f, v, cells, 0.7f, 131u, shade);
                EXPECT_EQ(shade, dent);
                largestStep = std::max(largestStep, std::fabs(dent - previous));
                deepest = std::max(deepest, dent);
                previous = dent;
            }
        }
        EXPECT_GT(deepest, 0.95f) << "there are holes, " << cells << " cells";
        EXPECT_LT(largestStep, 0.15f) << cells << " cells";
    }
}

TEST(ObjWriter, ABoxImportsAsOneClosedOutwardMesh)
{
    gen::Model model;
    model.meshes.resize(2);
    model.meshes[0].name = "box";
    gen::addBox(model.meshes[0], {1, 2, 3}, {3, 5, 4}, 0.5f);
    model.meshes[1].name = "wedge";
    gen::addColumn(model.meshes[1], {{0, 0}, {4, 0}, {0, 2}}, {1, 1, 1}, 0.0f, 1.0f);
    auto dir = std::filesystem::temp_directory_path() / "gorbeck_obj_test";
    std::filesystem::create_directories(dir);
    std::string path = (dir / "box.obj").string();
    ASSERT_TRUE(gen::writeObj(path, model, "test"));

    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, modelImportFlags);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    ASSERT_EQ(scene->mNumMeshes, 2u);
    const aiMesh* box = scene->mMeshes[0];
    EXPECT_EQ(box->mNumFaces, 12u);
    // Volume by the divergence theorem: 2 x 3 x 1 = 6, positive only if every face winds
    // counter-clockwise seen from outside.
    double volume = 0.0;
    for (unsigned f = 0; f < box->mNumFaces; ++f) {
        const unsigned* i = box->mFaces[f].mIndices;
        aiVector3D a = box->mVertices[i[0]], b = box->mVertices[i[1]], c = box->mVertices[i[2]];
        volume += (a * (b ^ c)) / 6.0;
        aiVector3D n = (b - a) ^ (c - a);
        n.Normalize();
        EXPECT_GT(n * box->mNormals[i[0]], 0.999f);
    }
    EXPECT_NEAR(volume, 6.0, 1e-4);
    // A triangular prism: 2 + 3 sides = 8 triangles.
    EXPECT_EQ(scene->mMeshes[1]->mNumFaces, 8u);
    std::filesystem::remove_all(dir);
}

} // namespace

namespace {

// A run of picture rows that hold lettering, and the columns its letters span.
struct InkBand {
    int top, bottom, left, right;
};

// The bands of rows holding pixels near `fill`, the letters' colour, from the top down.
std::vector<InkBand> inkBands(const gen::Image& image, glm::vec3 fill)
{
    std::vector<InkBand> bands;
    bool inBand = false;
    for (int y = 0; y < image.height; ++y) {
        int left = image.width, right = -1;
        for (int x = 0; x < image.width; ++x) {
            glm::vec3 d = glm::abs(image.at(x, y) - fill);
            if (std::max({d.r, d.g, d.b}) < 0.15f) {
                left = std::min(left, x);
                right = x;
            }
        }
        if (right < 0) {
            inBand = false;
            continue;
        }
        if (!inBand)
            bands.push_back({y, y, left, right});
        InkBand& band = bands.back();
        band.bottom = y;
        band.left = std::min(band.left, left);
        band.right = std::max(band.right, right);
        inBand = true;
    }
    return bands;
}

} // namespace

// Under the outcome, both end screens letter two more lines, "Enter: play again" over
// "Esc: quit", in the outcome's colour. The picture fills the 600-row window's height, so a
// line must stand at least 40 of its 1024 rows (23 window rows) to read. The first line has
// 17 characters to the second's 9: in a proportional font its ink is some 1.6 to 2.3 times
// as wide, which tells the lines apart and catches them swapped or one missing.
TEST(EndScreen, LettersWhatEnterAndEscDoUnderTheOutcome)
{
    struct Screen {
        const char* text;
        bool won;
        glm::vec3 fill; // white on the cheese, red on the water
    };
    for (Screen s : {Screen{"You win!", true, glm::vec3(1.0f, 1.0f, 0.95f)},
                     Screen{"You lose", false, glm::vec3(0.92f, 0.30f, 0.25f)}}) {
        SCOPED_TRACE(s.text);
        gen::Image image = gen::makeEndScreen(s.text, s.won);
        std::vector<InkBand> bands = inkBands(image, s.fill);
        ASSERT_EQ(bands.size(), 3u);
        const InkBand &outcome = bands[0], &enter = bands[1], &esc = bands[2];
        // The outcome stays across the middle of the picture, the hints below it.
        EXPECT_LT(outcome.top, 512);
        EXPECT_GT(outcome.bottom, 512);
        for (const InkBand* hint : {&enter, &esc}) {
            EXPECT_GE(hint->bottom - hint->top, 40);
            EXPECT_LT(hint->bottom - hint->top, outcome.bottom - outcome.top);
            EXPECT_LT(hint->bottom, 1024 - 20) << "the line reaches the picture's bottom edge";
            EXPECT_NEAR((hint->left + hint->right) / 2.0, 512.0, 16.0) << "not centred";
        }
        double ratio = double(enter.right - enter.left) / (esc.right - esc.left);
        EXPECT_GT(ratio, 1.6);
        EXPECT_LT(ratio, 2.3);
    }
}
