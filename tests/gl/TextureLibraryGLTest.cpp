#include "objects/TextureLibrary.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <IL/il.h>
#include <gtest/gtest.h>

#include "tests/gl/AssetTree.h"
#include "tests/gl/GLContext.h"

namespace {

using gltest::writeJpeg;
using gltest::writeSolidJpeg;

// Runs the library in a folder of fixtures laid out like the game's run-time tree; image
// number n is red 9 n.
class TextureLibraryTest : public testing::Test {
protected:
    void SetUp() override { tree.enter(); }
    void TearDown() override { tree.leave(); }

    std::string load(TextureLibrary& library)
    {
        testing::internal::CaptureStdout();
        library.loadTextures();
        return testing::internal::GetCapturedStdout();
    }

    gltest::AssetTree tree{[](std::size_t n) { return gltest::Colour{static_cast<unsigned char>(n * 9), 128, 64}; }};
};

} // namespace

TEST_F(TextureLibraryTest, AllTwentySixLoadInOrderWithUnitsEqualToTheirIndex)
{
    TextureLibrary library;
    std::string output = load(library);

    std::string expected;
    for (const std::string& name : TextureLibrary::fileNames())
        expected += "loading " + name + "\n";
    EXPECT_EQ(output, expected);

    ASSERT_EQ(library.textures.size(), 26u);
    std::vector<GLuint> ids = library.getTextureIds();
    ASSERT_EQ(ids.size(), 26u);
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(library.textures[i]->unit, i);
        EXPECT_EQ(library.textures[i]->id, ids[i]);
        EXPECT_TRUE(glIsTexture(ids[i]));
        EXPECT_EQ(library.textures[i]->width, 16);
    }
    // The shadow map comes next and takes unit 26.
    EXPECT_EQ(library.takeTextureUnit(), 26);
    EXPECT_EQ(library.takeTextureUnit(), 27);
    EXPECT_TRUE(gltest::glErrors().empty());
}

TEST_F(TextureLibraryTest, FailedLoadsPrintTheirMessageAndShiftLaterIndicesDown)
{
    // water_c (index 14) becomes grayscale, stone_c (index 16) goes missing.
    std::vector<unsigned char> gray(16 * 16, 90);
    writeJpeg("textures/water_c.jpg", 16, 16, 1, gray);
    std::filesystem::remove("textures/stone_c.jpg");

    TextureLibrary library;
    std::string output = load(library);
    EXPECT_NE(output.find("loading textures/water_c.jpg\n"
                          "Loading image failed. Must be 24 bits/pixels.\n"
                          "loading textures/water_n.jpg\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("loading textures/stone_c.jpg\n"
                          "could not load textures/stone_c.jpg\n"
                          "loading textures/stone_n.jpg\n"),
              std::string::npos)
        << output;

    ASSERT_EQ(library.textures.size(), 24u);
    EXPECT_EQ(library.getTextureIds().size(), 24u);
    // water_n (table index 15) is now index 14 with unit 14; stone_n (17) is now 15.
    EXPECT_EQ(library.textures[14]->unit, 14);
    EXPECT_EQ(library.textures[15]->unit, 15);
    EXPECT_EQ(library.textures[23]->unit, 23);
    // Table index 15 was written with red 15 x 9 = 135, table 17 with 153 (JPEG: +-4).
    EXPECT_NEAR(library.textures[14]->pixels[0], 135, 4);
    EXPECT_NEAR(library.textures[15]->pixels[0], 153, 4);
    EXPECT_EQ(library.takeTextureUnit(), 24);
    EXPECT_TRUE(gltest::glErrors().empty());
}

TEST_F(TextureLibraryTest, OddWidthImageUploadsWithoutShearing)
{
    // Five columns of alternating greys: each row is 15 bytes, not a multiple of 4. Grey
    // keeps the picture in JPEG's full-resolution brightness channel; colour is subsampled.
    const unsigned char columns[5][3] = {{20, 20, 20}, {235, 235, 235}, {20, 20, 20}, {235, 235, 235}, {128, 128, 128}};
    const int width = 5, height = 8;
    std::vector<unsigned char> bytes;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bytes.insert(bytes.end(), columns[x], columns[x] + 3);
    writeJpeg("textures/odd.jpg", width, height, 3, bytes);

    TextureLibrary library;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(library.loadTexture("textures/odd.jpg"));
    testing::internal::GetCapturedStdout();
    const Texture& texture = *library.textures[0];
    ASSERT_EQ(texture.width, width);
    ASSERT_EQ(texture.height, height);

    std::vector<unsigned char> readBack(width * height * 3);
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, readBack.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(readBack, texture.pixels);

    // The decoded pixels keep their columns: JPEG rings at the sharp edges, but 60 is far
    // below the 215 between neighbouring columns, so a shifted column cannot pass.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(texture.pixels[(y * width + x) * 3 + c], columns[x][c], 60)
                    << "x " << x << " y " << y << " channel " << c;
    EXPECT_TRUE(gltest::glErrors().empty());
}

TEST_F(TextureLibraryTest, TexturesAreMipmappedRepeatingLinearAndNotAnisotropic)
{
    writeSolidJpeg("textures/a.jpg", 200, 100, 50);
    writeSolidJpeg("textures/brick19.jpg", 200, 100, 50);
    TextureLibrary library;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(library.loadTexture("textures/a.jpg"));
    ASSERT_TRUE(library.loadTexture("textures/brick19.jpg"));
    testing::internal::GetCapturedStdout();
    GLint minFilter = 0, magFilter = 0, wrapS = 0, wrapT = 0, level4Width = 0;
    glBindTexture(GL_TEXTURE_2D, library.textures[0]->id);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 4, GL_TEXTURE_WIDTH, &level4Width);
    GLfloat plain = 0.0f, brick = 0.0f;
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &plain);
    glBindTexture(GL_TEXTURE_2D, library.textures[1]->id);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &brick);
    glBindTexture(GL_TEXTURE_2D, 0);
    // One sample: the brick image too, once filtered anisotropically, cost seconds a frame in software.
    EXPECT_EQ(brick, 1.0f);
    EXPECT_EQ(plain, 1.0f);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(wrapT, GL_REPEAT);
    EXPECT_EQ(level4Width, 1) << "16 pixels halve to 1 at mipmap level 4";
    EXPECT_TRUE(library.ilInitialized);
    EXPECT_TRUE(gltest::glErrors().empty());
}
