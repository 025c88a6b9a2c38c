#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

class TextureLibrary;

// Draws the end screens: one full-window textured quad showing the win or lose image.
class TextManager {
public:
    explicit TextManager(TextureLibrary* textureLibrary);
    virtual ~TextManager() = default;

    // Clears, draws the image at textureIndex of the library and presents the frame.
    // An index the library does not hold (the image failed to load) leaves the cleared window.
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
    GLuint quadArray = 0;
    GLuint quadBuffers[3] = {0, 0, 0}; // positions, texture coordinates, indices
};
