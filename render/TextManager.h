#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "render/GlHandle.h"

class TextureLibrary;

// Draws the end screens: one full-window textured quad showing the win or lose image.
class TextManager {
public:
    // The end screens' images, by their index in the texture library's load order.
    static constexpr unsigned winImage = 24;
    static constexpr unsigned loseImage = 25;

    // Says on standard output which end screen will be black because its image did not load.
    explicit TextManager(TextureLibrary* textureLibrary);
    virtual ~TextManager() = default;

    // Clears, draws the image that the library's textureIndex-th load gave and presents the
    // frame. When that image did not load the window stays cleared (black): an end screen
    // never shows the other outcome's image.
    void drawEndScreen(unsigned textureIndex);

    GLuint program = 0;
    GLint vertexLocation = -1;
    GLint texCoordLocation = -1;
    GLint textureMapLocation = -1;
    glm::mat4 view{1.0f};
    GLint viewLocation = -1;
    glm::mat4 projection{1.0f};
    GLint projectionLocation = -1;
    TextureLibrary* textureLibrary = nullptr;

private:
    void createQuad();

    bool programReady = false;
    VertexArrayHandle quadArray;
    BufferHandle quadBuffers[3]; // positions, texture coordinates, indices
};
