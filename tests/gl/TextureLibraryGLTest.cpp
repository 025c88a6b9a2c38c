#include "objects/TextureLibrary.h"

#include "tests/gl/AssetTree.h"

namespace {

// A texture's level 0 as GL holds it, RGB bytes.
std::vector<unsigned char> texels(const Texture& texture)
{
    std::vector<unsigned char> bytes(static_cast<size_t>(texture.width) * texture.height * 3);
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return bytes;
}

// Runs the library in a folder of fixtures laid out like the game's run-time tree; image number n is red 9 n.
class TextureLibraryTest : public testing::Test {
protected:
    void SetUp() override { tree.enter(); }
    void TearDown() override { tree.leave(); }

    gltest::AssetTree tree{[](std::size_t n) { return gltest::Colour{static_cast<unsigned char>(n * 9), 128, 64}; }};
    TextureLibrary library;
};

} // namespace

// Each image gets the next free unit as it loads, so a failed load shifts the later ones down.
TEST_F(TextureLibraryTest, LoadsInOrderWithALineEachAndGivesLoadedImagesTheirIndexAsUnit)
{
    // water_c (index 14) becomes grayscale, stone_c (index 16) goes missing.
    gltest::writeJpeg("textures/water_c.jpg", 16, 16, 1, std::vector<unsigned char>(16 * 16, 90));
    std::filesystem::remove("textures/stone_c.jpg");
    std::string expected;
    for (const std::string& name : TextureLibrary::fileNames()) {
        expected += "loading " + name + "\n";
        if (name == "textures/water_c.jpg")
            expected += "Loading image failed. Must be 24 bits/pixels.\n";
        if (name == "textures/stone_c.jpg")
            expected += "could not load textures/stone_c.jpg\n";
    }
    EXPECT_EQ(gltest::printedBy([&] { library.loadTextures(); }), expected);

    ASSERT_EQ(library.textures.size(), 24u);
    ASSERT_EQ(library.getTextureIds().size(), 24u);
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(library.textures[i]->unit, i);
        EXPECT_EQ(library.textures[i]->id, library.getTextureIds()[i]);
        // Image n was written with red 9 n (JPEG: +-4); past water_c it is one place on, past stone_c two.
        int file = i < 14 ? i : i < 15 ? i + 1 : i + 2;
        EXPECT_NEAR(library.textures[i]->pixels[0], 9 * file, 4) << "texture " << i;
    }
    // The shadow map comes next.
    EXPECT_EQ(library.takeTextureUnit(), 24);
    EXPECT_EQ(library.takeTextureUnit(), 25);
    EXPECT_TRUE(gltest::glErrors().empty());
}

TEST_F(TextureLibraryTest, ImagesUploadUnshearedMipmappedRepeatingLinearAndAsAnisotropicAsAsked)
{
    // Five columns of alternating greys: each row is 15 bytes, not a multiple of 4. Grey
    // keeps the picture in JPEG's full-resolution brightness channel; colour is subsampled.
    const unsigned char columns[5] = {20, 235, 20, 235, 128};
    const int width = 5, height = 8;
    std::vector<unsigned char> bytes;
    for (int i = 0; i < width * height * 3; ++i)
        bytes.push_back(columns[i / 3 % width]);
    gltest::writeJpeg("textures/odd.jpg", width, height, 3, bytes);
    bool loaded = false;
    gltest::printedBy([&] { loaded = library.loadTexture("textures/odd.jpg"); });
    ASSERT_TRUE(loaded);
    const Texture& odd = *library.textures[0];
    ASSERT_TRUE(odd.width == width && odd.height == height);
    // What GL holds is what was decoded, and that keeps its columns: JPEG rings at the sharp
    // edges, but 60 is far below the 215 between neighbouring columns.
    std::vector<unsigned char> held = texels(odd);
    for (int i = 0; i < width * height * 3; ++i)
        EXPECT_NEAR(held[i], columns[i / 3 % width], 60) << "x " << i / 3 % width << " y " << i / 3 / width;

    auto parameter = [](const Texture& texture, GLenum name) {
        GLfloat value = 0.0f;
        glBindTexture(GL_TEXTURE_2D, texture.id);
        glGetTexParameterfv(GL_TEXTURE_2D, name, &value);
        glBindTexture(GL_TEXTURE_2D, 0);
        return value;
    };
    EXPECT_EQ(parameter(odd, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter(odd, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(odd, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameter(odd, GL_TEXTURE_WRAP_T), GL_REPEAT);
    GLint level3Width = 0;
    glBindTexture(GL_TEXTURE_2D, odd.id);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &level3Width);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(level3Width, 1) << "5 x 8 pixels halve to 1 x 1 at mipmap level 3";
    // By default one sample: the software path's, where anisotropy cost seconds a frame.
    EXPECT_EQ(parameter(odd, GL_TEXTURE_MAX_ANISOTROPY_EXT), 1.0f);
    // The hardware path's, asked for before loading.
    library.setAnisotropy(8.0f);
    gltest::printedBy([&] { loaded = library.loadTexture("textures/odd.jpg"); });
    ASSERT_TRUE(loaded);
    EXPECT_EQ(parameter(*library.textures[1], GL_TEXTURE_MAX_ANISOTROPY_EXT), 8.0f);
    EXPECT_EQ(parameter(*library.textures[1], GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_TRUE(gltest::glErrors().empty());
}

// The stand-ins for images that did not load: a mid-grey colour and a normal map whose one
// texel decodes (x 2 - 1) to the unperturbed normal (0, 0, 1), so the surface shades as if flat.
TEST(FallbackMaps, GreyColourAndFlatNormalInOneTexelEach)
{
    TextureLibrary library;
    EXPECT_EQ(texels(library.fallbackColorMap()), std::vector<unsigned char>({160, 160, 160}));
    EXPECT_EQ(texels(library.fallbackNormalMap()), std::vector<unsigned char>({128, 128, 255}));
    EXPECT_TRUE(gltest::glErrors().empty());
}
