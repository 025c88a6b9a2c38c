#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <GL/glew.h>

#include "objects/Texture.h"

// Loads the game's images once into mipmapped GL textures. A texture is addressed by its
// index in load order; a file that fails to load is skipped, so later indices shift down.
class TextureLibrary {
public:
    TextureLibrary();
    virtual ~TextureLibrary();

    // The anisotropy the textures loaded from now on are filtered with; 1 (none) at first.
    void setAnisotropy(float samples) { anisotropy = samples; }
    void loadTextures();
    bool loadTexture(const std::string& path);
    int takeTextureUnit();
    std::vector<GLuint> getTextureIds() const { return textureIds; }

    // The texture that the index-th load (counted from 0, whether or not the earlier files
    // loaded) produced, or null when that file did not load. With the fixed list this is
    // the texture of table index `index`: a failed load shifts `textures` down, but no
    // other image ever answers for the missing one.
    const Texture* loaded(int index) const;

    // Sets the minification and magnification filters of every listed texture.
    void applyFilter(const std::vector<GLuint>& ids, GLint minification, GLint magnification);

    // Plain stand-ins for a mesh whose texture did not load: mid grey, and a flat normal
    // map. Made on first use, with units of their own; they are not in `textures`.
    const Texture& fallbackColorMap();
    const Texture& fallbackNormalMap();

    // The 26 files in load order: the player's maps, the level's maps, then the win and lose images.
    static const std::vector<std::string>& fileNames();

    bool ilInitialized = false;
    std::deque<int> freeUnits;
    std::vector<GLuint> textureIds;
    std::vector<std::unique_ptr<Texture>> textures;

private:
    // Creates the GL texture for a record's pixels: mipmapped, linear, repeating.
    void upload(Texture& texture);
    std::unique_ptr<Texture> plainTexture(unsigned char r, unsigned char g, unsigned char b);

    float anisotropy = 1.0f;
    std::vector<int> attempts; // per load attempt, its index in `textures`, or -1
    std::unique_ptr<Texture> fallbackColor;
    std::unique_ptr<Texture> fallbackNormal;
};
