#include <cmath>
#include <string>
#include <vector>

#include <IL/il.h>
#include <gtest/gtest.h>

#include "objects/TextureFiles.h"
#include "tests/tools/AssetFiles.h"
#include "tools/gen/Textures.h"

namespace {

struct Picture {
    int width = 0, height = 0, bytesPerPixel = 0;
    std::vector<unsigned char> rgb;
    float at(int x, int y, int c) const { return rgb[(static_cast<size_t>(y) * width + x) * 3 + c]; }
};

// Loads the way the game's texture library does: DevIL, then a top-row-first RGB copy.
Picture load(const std::string& relative)
{
    static bool started = false;
    if (!started) {
        ilInit();
        started = true;
    }
    Picture p;
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    if (ilLoadImage(runtimePath(relative).c_str())) {
        p.width = ilGetInteger(IL_IMAGE_WIDTH);
        p.height = ilGetInteger(IL_IMAGE_HEIGHT);
        p.bytesPerPixel = ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
        p.rgb.resize(static_cast<size_t>(p.width) * p.height * 3);
        ilCopyPixels(0, 0, 0, p.width, p.height, 1, IL_RGB, IL_UNSIGNED_BYTE, p.rgb.data());
    }
    ilBindImage(0);
    ilDeleteImage(image);
    return p;
}

// Colour and normal maps: every name but the two end screens.
std::vector<std::string> tilingMaps()
{
    const auto& names = textureFiles();
    return {names.begin(), names.begin() + 24};
}

TEST(TextureFiles, AllLoadAsThreeBytePerPixelPowerOfTwoImages)
{
    for (const std::string& name : textureFiles()) {
        SCOPED_TRACE(name);
        Picture p = load(name);
        ASSERT_GT(p.width, 0) << "could not load";
        EXPECT_EQ(p.bytesPerPixel, 3);
        EXPECT_TRUE(p.width == 512 || p.width == 1024);
        EXPECT_EQ(p.width, p.height);
    }
}

TEST(TextureFiles, MapsTileWithoutSeams)
{
    // Across the wrap, neighbouring columns (and rows) should differ no more than
    // neighbours in the middle do.
    for (const std::string& name : tilingMaps()) {
        SCOPED_TRACE(name);
        Picture p = load(name);
        ASSERT_GT(p.width, 0);
        double innerX = 0.0, innerY = 0.0, seamX = 0.0, seamY = 0.0;
        int n = p.width;
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 3; ++c) {
                seamX += std::abs(p.at(0, i, c) - p.at(n - 1, i, c));
                seamY += std::abs(p.at(i, 0, c) - p.at(i, n - 1, c));
                innerX += std::abs(p.at(n / 2, i, c) - p.at(n / 2 - 1, i, c));
                innerY += std::abs(p.at(i, n / 2, c) - p.at(i, n / 2 - 1, c));
            }
        EXPECT_LE(seamX, 1.5 * innerX + 2.0 * n);
        EXPECT_LE(seamY, 1.5 * innerY + 2.0 * n);
    }
}

TEST(TextureFiles, NormalMapsHoldUnitNormalsOutOfTheSurfaceThatLineUpWithTheColours)
{
    const auto& names = textureFiles();
    for (size_t i = 0; i < 24; i += 2) {
        SCOPED_TRACE(names[i + 1]);
        Picture colour = load(names[i]);
        Picture normals = load(names[i + 1]);
        ASSERT_EQ(colour.width, normals.width);
        int n = normals.width;
        double meanX = 0.0, meanY = 0.0;
        int outward = 0;
        // Correlation of the normal's x with the colour's brightness slope along x: bumps
        // painted lighter (or darker) on top tilt the normal where the colour changes.
        double sxy = 0.0, sxx = 0.0, syy = 0.0;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                float nx = normals.at(x, y, 0) / 127.5f - 1.0f, ny = normals.at(x, y, 1) / 127.5f - 1.0f,
                      nz = normals.at(x, y, 2) / 127.5f - 1.0f;
                float length = std::sqrt(nx * nx + ny * ny + nz * nz);
                ASSERT_NEAR(length, 1.0f, 0.2f) << "at " << x << ", " << y;
                outward += nz > 0.0f;
                meanX += nx;
                meanY += ny;
                auto lum = [&](int xx) {
                    xx = (xx + n) % n;
                    return colour.at(xx, y, 0) + colour.at(xx, y, 1) + colour.at(xx, y, 2);
                };
                double slope = lum(x + 1) - lum(x - 1);
                sxy += slope * nx;
                sxx += slope * slope;
                syy += static_cast<double>(nx) * nx;
            }
        }
        EXPECT_EQ(outward, n * n);
        // A tiling height field climbs as much as it falls, so its normals average to +z.
        EXPECT_NEAR(meanX / (n * n), 0.0, 0.02);
        EXPECT_NEAR(meanY / (n * n), 0.0, 0.02);
        double correlation = sxy / std::sqrt(sxx * syy);
        if (names[i] == "textures/mouse_eye_c.jpg") {
            // The eye is glossy: its bright spots are reflections, not bumps, so its normals
            // stay close to straight out.
            EXPECT_GT(syy / (n * n), 0.0);
            EXPECT_LT(syy / (n * n), 0.01);
        } else {
            EXPECT_GT(std::abs(correlation), 0.2) << correlation;
        }
    }
}

struct Ink {
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
    std::vector<bool> mask;
};

Ink findInk(const Picture& p, bool (*isInk)(float, float, float))
{
    Ink ink;
    ink.mask.assign(static_cast<size_t>(p.width) * p.height, false);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (isInk(p.at(x, y, 0), p.at(x, y, 1), p.at(x, y, 2))) {
                ink.mask[static_cast<size_t>(y) * p.width + x] = true;
                ink.minX = std::min(ink.minX, x);
                ink.maxX = std::max(ink.maxX, x);
                ink.minY = std::min(ink.minY, y);
                ink.maxY = std::max(ink.maxY, y);
            }
    return ink;
}

// Columns touched by ink in a band of rows, within the leftmost 10 percent of the text (the Y).
int spread(const Picture& p, const Ink& ink, int rowFrom, int rowTo)
{
    int limit = ink.minX + (ink.maxX - ink.minX) / 10, count = 0;
    for (int x = ink.minX; x <= limit; ++x)
        for (int y = rowFrom; y < rowTo; ++y)
            if (ink.mask[static_cast<size_t>(y) * p.width + x]) {
                ++count;
                break;
            }
    return count;
}

TEST(TextureFiles, EndScreensCarryLargeCentredUprightLettering)
{
    struct Case {
        const char* name;
        bool (*isInk)(float, float, float);
    };
    const Case cases[] = {
        // White letters on cheese yellow: the background never gets this blue.
        {"textures/youwin.jpg", [](float, float, float b) { return b > 220.0f; }},
        // Red letters on dark water.
        {"textures/youlose.jpg", [](float r, float, float) { return r > 170.0f; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture p = load(c.name);
        ASSERT_GT(p.width, 0);
        Ink ink = findInk(p, c.isInk);
        ASSERT_GE(ink.maxX, 0) << "no lettering found";
        float w = static_cast<float>(p.width), h = static_cast<float>(p.height);
        EXPECT_GT((ink.maxX - ink.minX) / w, 0.6f);
        EXPECT_LT((ink.maxX - ink.minX) / w, 0.9f);
        EXPECT_GT((ink.maxY - ink.minY) / h, 0.1f);
        EXPECT_NEAR((ink.minX + ink.maxX) / 2.0f / w, 0.5f, 0.05f);
        EXPECT_NEAR((ink.minY + ink.maxY) / 2.0f / h, 0.5f, 0.05f);
        // Both texts open with a Y, whose arms spread wider at the top than its stem at the
        // bottom: the first row is the top of the picture.
        int quarter = (ink.maxY - ink.minY) / 4;
        EXPECT_GT(spread(p, ink, ink.minY, ink.minY + quarter), spread(p, ink, ink.maxY - quarter, ink.maxY) + 10);
    }
}

} // namespace
