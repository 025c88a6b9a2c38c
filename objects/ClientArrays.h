#pragma once

#include <cstddef>

#include <GL/glew.h>

#include "render/GlHandle.h"

// The draw path from arrays in memory. A core profile cannot read vertex attributes or
// indices from client memory, so each draw copies the mesh's arrays into stream buffers
// of one vertex array object kept for this path and draws from those.
class ClientArrays {
public:
    static ClientArrays& instance();
    ~ClientArrays();

    void begin();
    // A location of -1 (a name the program lacks) is skipped, as GL would ignore it.
    void attribute(GLint location, int components, const void* data, std::size_t bytes);
    void drawTriangles(const GLuint* indices, GLsizei count);
    void end();

private:
    static constexpr int maxAttributes = 4;

    VertexArrayHandle vertexArray;
    BufferHandle buffers[maxAttributes];
    BufferHandle indexBuffer;
    GLint enabled[maxAttributes] = {};
    int used = 0;
};
