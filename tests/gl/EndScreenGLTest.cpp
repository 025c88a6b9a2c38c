#include "render/TextManager.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <IL/il.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include "objects/TextureLibrary.h"
#include "tests/gl/AssetTree.h"
#include "tests/gl/GLContext.h"

namespace {

const glm::vec3 green(30, 200, 30);
const glm::vec3 red(200, 30, 30);
const glm::vec3 blue(30, 30, 200);

// 64 x 32: the upper 16 rows green, below them red on the left half and blue on the right.
// The borders lie on JPEG's 16-pixel blocks, so each region decodes close to its colour.
void writeWinImage(const std::string& path)
{
    std::vector<unsigned char> bytes;
    for (int y = 31; y >= 0; --y) // DevIL's rows run bottom up
        for (int x = 0; x < 64; ++x) {
            glm::vec3 c = y < 16 ? green : (x < 32 ? red : blue);
            for (int k = 0; k < 3; ++k)
                bytes.push_back(static_cast<unsigned char>(c[k]));
        }
    gltest::writeJpeg(path, 64, 32, 3, bytes);
}

// The top-left pixel of a saved image, decoded with the top row first whatever DevIL's default.
glm::vec3 topLeftOf(const std::string& path)
{
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_UPPER_LEFT);
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    unsigned char pixel[3] = {};
    if (ilLoadImage(path.c_str()))
        ilCopyPixels(0, 0, 0, 1, 1, 1, IL_RGB, IL_UNSIGNED_BYTE, pixel);
    ilBindImage(0);
    ilDeleteImage(image);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    ilDisable(IL_ORIGIN_SET);
    return glm::vec3(pixel[0], pixel[1], pixel[2]);
}

bool isBlack(const unsigned char* p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

// JPEG at quality 99 keeps a flat region within a few levels of its colour; 40 still keeps
// the three colours, 170 apart in their strong channel, from passing for one another.
testing::AssertionResult looksLike(const std::vector<unsigned char>& frame, int x, int y, glm::vec3 expected)
{
    const unsigned char* p = &frame[3 * (y * 800 + x)];
    for (int c = 0; c < 3; ++c)
        if (std::abs(p[c] - expected[c]) > 40.0f)
            return testing::AssertionFailure()
                << "pixel (" << x << ", " << y << ") is " << int(p[0]) << " " << int(p[1]) << " " << int(p[2])
                << ", expected about " << expected.r << " " << expected.g << " " << expected.b;
    return testing::AssertionSuccess();
}

class EndScreen : public testing::Test {
protected:
    void SetUp() override
    {
        tree.enter();
        writeWinImage("textures/youwin.jpg");
        gltest::useStartUpState();
    }

    void TearDown() override
    {
        gltest::leaveStartUpState();
        tree.leave();
        gltest::glErrors();
    }

    // Loads whatever images are in place and builds the end-screen drawer over them.
    void load()
    {
        testing::internal::CaptureStdout();
        library.loadTextures();
        manager = std::make_unique<TextManager>(&library);
        output = testing::internal::GetCapturedStdout();
    }

    std::vector<unsigned char> draw(unsigned index)
    {
        // Red left in the buffer must give way to the cleared black.
        glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        manager->drawEndScreen(index);
        return gltest::readPixels(0, 0, 800, 600);
    }

    gltest::AssetTree tree{gltest::greyImages(90)};
    TextureLibrary library;
    std::unique_ptr<TextManager> manager;
    std::string output;
};

} // namespace

TEST_F(EndScreen, QuadFillsTheHeightAndTheMiddleSeventyNinePercentOfTheWidth)
{
    load();
    ASSERT_EQ(library.textures.size(), 26u) << output;
    std::vector<unsigned char> frame = draw(24);
    EXPECT_TRUE(gltest::glErrors().empty());

    // 3 units away through 35 degrees the window shows 3 tan 17.5 = 0.9459 either side of the
    // middle vertically and 4/3 of that, 1.2612, horizontally. The quad reaches 1 both ways: past
    // the top and bottom, and 1/1.2612 = 79.29 % of the width, columns 82.84 to 717.16.
    // A pixel is drawn when its centre (x + 0.5) is inside: columns 83 to 716.
    for (int row : {1, 150, 300, 450, 598}) {
        int first = -1, last = -1;
        for (int x = 0; x < 800; ++x)
            if (!isBlack(&frame[3 * (row * 800 + x)])) {
                if (first < 0)
                    first = x;
                last = x;
            }
        // One column of slack either side for the rasteriser's rounding of the edge position.
        EXPECT_NEAR(first, 83, 1) << "row " << row;
        EXPECT_NEAR(last, 716, 1) << "row " << row;
        for (int x = first; x <= last; ++x)
            ASSERT_FALSE(isBlack(&frame[3 * (row * 800 + x)])) << "gap at column " << x << " of row " << row;
    }
    for (int x : {100, 240, 560, 700}) {
        EXPECT_FALSE(isBlack(&frame[3 * x])) << "bottom row, column " << x;
        EXPECT_FALSE(isBlack(&frame[3 * (599 * 800 + x)])) << "top row, column " << x;
    }
}

TEST_F(EndScreen, ImageShowsUprightAndUnmirrored)
{
    // The fixture itself must have its green band on top, read back independently of the library.
    glm::vec3 corner = topLeftOf("textures/youwin.jpg");
    ASSERT_LE(glm::length(corner - green), 8.0f) << corner.r << " " << corner.g << " " << corner.b;
    load();
    std::vector<unsigned char> frame = draw(24);
    EXPECT_TRUE(gltest::glErrors().empty());

    // The window's top row (y = 599) shows the image's first rows: green across the width.
    for (int x : {100, 240, 560, 700}) {
        EXPECT_TRUE(looksLike(frame, x, 599, green));
        EXPECT_TRUE(looksLike(frame, x, 450, green));
    }
    // The lower half: the image's left half on the left.
    for (int y : {0, 150}) {
        EXPECT_TRUE(looksLike(frame, 100, y, red));
        EXPECT_TRUE(looksLike(frame, 240, y, red));
        EXPECT_TRUE(looksLike(frame, 560, y, blue));
        EXPECT_TRUE(looksLike(frame, 700, y, blue));
    }
}

TEST_F(EndScreen, MissingImageLeavesItsScreenBlackAndNeverShowsTheOther)
{
    // Without the win image the lose image moves down to index 24 of the library's list; the
    // win screen must still not show it.
    std::filesystem::remove("textures/youwin.jpg");
    load();
    ASSERT_EQ(library.textures.size(), 25u) << output;
    EXPECT_NE(output.find("textures/youwin.jpg did not load: the win screen will be black\n"), std::string::npos)
        << output;
    EXPECT_EQ(output.find("lose screen"), std::string::npos) << output;

    auto notBlack = [](const std::vector<unsigned char>& frame) {
        size_t count = 0;
        for (size_t i = 0; i < frame.size(); i += 3)
            count += !isBlack(&frame[i]);
        return count;
    };
    for (unsigned index : {24u, 26u, 1000u}) {
        EXPECT_EQ(notBlack(draw(index)), 0u) << "pixels that are not the black clear colour, index " << index;
        EXPECT_TRUE(gltest::glErrors().empty()) << "index " << index;
    }
    // The lose screen shows its own grey image, which still loaded.
    std::vector<unsigned char> lose = draw(25);
    EXPECT_TRUE(looksLike(lose, 400, 300, glm::vec3(90)));
    EXPECT_TRUE(gltest::glErrors().empty());
}
