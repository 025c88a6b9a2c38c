#pragma once

#include <vector>

#include <GL/glew.h>

// One loaded image: its size, a copy of its RGB bytes (top row first, as the image
// library delivers them), its GL name and the texture unit it keeps for the whole run.
struct Texture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
    GLuint id = 0;
    int unit = 0;
};
