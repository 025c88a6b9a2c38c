#include "objects/TextureLibrary.h"

#include <iostream>

#include <GLFW/glfw3.h>
#include <IL/il.h>
#include <IL/ilu.h>

#include "objects/TextureFiles.h"

namespace {

constexpr int highestUnit = 1000;

} // namespace

TextureLibrary::TextureLibrary()
{
    // Units are handed out from the back, so 0 comes first.
    for (int unit = highestUnit; unit >= 0; --unit)
        freeUnits.push_back(unit);
}

TextureLibrary::~TextureLibrary() = default;

const std::vector<std::string>& TextureLibrary::fileNames()
{
    return textureFiles();
}

void TextureLibrary::loadTextures()
{
    for (const std::string& path : fileNames())
        loadTexture(path);
}

int TextureLibrary::takeTextureUnit()
{
    int unit = freeUnits.back();
    freeUnits.pop_back();
    return unit;
}

const Texture* TextureLibrary::loaded(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= attempts.size() || attempts[index] < 0)
        return nullptr;
    return textures[attempts[index]].get();
}

bool TextureLibrary::loadTexture(const std::string& path)
{
    attempts.push_back(-1);
    auto texture = std::make_unique<Texture>();
    // NOTE: this line and the two failure lines below word for word (held by
    // tests/gl/TextureLibraryGLTest.cpp).
    std::cout << "loading " << path << std::endl;

    if (!ilInitialized) {
        ilInit();
        iluInit();
        ilInitialized = true;
    }

    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    auto releaseImage = [image]() mutable {
        ilBindImage(0);
        ilDeleteImage(image);
    };

    if (!ilLoadImage(path.c_str())) {
        std::cout << "could not load " << path << std::endl;
        releaseImage();
        return false;
    }
    texture->width = ilGetInteger(IL_IMAGE_WIDTH);
    texture->height = ilGetInteger(IL_IMAGE_HEIGHT);
    if (ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL) != 3) {
        std::cout << "Loading image failed. Must be 24 bits/pixels." << std::endl;
        releaseImage();
        return false;
    }

    texture->pixels.assign(static_cast<size_t>(texture->width) * texture->height * 3, 255);
    ilCopyPixels(0, 0, 0, texture->width, texture->height, 1, IL_RGB, IL_UNSIGNED_BYTE, texture->pixels.data());
    releaseImage();

    upload(*texture);
    textureIds.push_back(texture->id);
    texture->unit = takeTextureUnit();
    attempts.back() = static_cast<int>(textures.size());
    textures.push_back(std::move(texture));
    return true;
}

void TextureLibrary::upload(Texture& texture)
{
    glGenTextures(1, &texture.id);
    glBindTexture(GL_TEXTURE_2D, texture.id);
    // Rows of 3 x width bytes need not be a multiple of 4 long; GL's default alignment of 4 would shear them.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, texture.width, texture.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 texture.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    // Brick and stone seen at a slant blur in the middle distance with mipmapping alone. A card
    // filters anisotropically at little cost; llvmpipe took seconds for some frames, so the
    // software path leaves it off.
    if (anisotropy > 1.0f)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy);
    auto generateMipmap = reinterpret_cast<PFNGLGENERATEMIPMAPPROC>(glfwGetProcAddress("glGenerateMipmap"));
    if (generateMipmap)
        generateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
}

std::unique_ptr<Texture> TextureLibrary::plainTexture(unsigned char r, unsigned char g, unsigned char b)
{
    auto texture = std::make_unique<Texture>();
    texture->width = texture->height = 1;
    texture->pixels = {r, g, b};
    upload(*texture);
    texture->unit = takeTextureUnit();
    return texture;
}

const Texture& TextureLibrary::fallbackColorMap()
{
    if (!fallbackColor)
        fallbackColor = plainTexture(160, 160, 160);
    return *fallbackColor;
}

const Texture& TextureLibrary::fallbackNormalMap()
{
    // (128, 128, 255) decodes to the unperturbed normal (0, 0, 1).
    if (!fallbackNormal)
        fallbackNormal = plainTexture(128, 128, 255);
    return *fallbackNormal;
}

void TextureLibrary::applyFilter(const std::vector<GLuint>& ids, GLint minification, GLint magnification)
{
    for (GLuint id : ids) {
        glBindTexture(GL_TEXTURE_2D, id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minification);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnification);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}
