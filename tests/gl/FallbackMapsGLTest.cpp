#include <vector>

#include <gtest/gtest.h>

#include "objects/TextureLibrary.h"
#include "tests/gl/GLContext.h"

// The stand-ins for images that did not load: a mid-grey colour and a normal map whose one
// texel decodes (x 2 - 1) to the unperturbed normal (0, 0, 1), so the surface shades as if flat.
TEST(FallbackMaps, GreyColourAndFlatNormalInOneTexelEach)
{
    TextureLibrary library;
    struct Expected {
        const Texture* texture;
        unsigned char rgb[3];
    };
    const Expected maps[] = {
        {&library.fallbackColorMap(), {160, 160, 160}},
        {&library.fallbackNormalMap(), {128, 128, 255}},
    };
    for (const Expected& map : maps) {
        glBindTexture(GL_TEXTURE_2D, map.texture->id);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(width, 1);
        EXPECT_EQ(height, 1);
        std::vector<unsigned char> texel(4, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texel.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(texel[c], map.rgb[c]) << "channel " << c;
    }
    EXPECT_TRUE(gltest::glErrors().empty());
}
