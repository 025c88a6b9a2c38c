#include "objects/ClientArrays.h"

ClientArrays& ClientArrays::instance()
{
    static ClientArrays arrays;
    return arrays;
}

ClientArrays::~ClientArrays()
{
    // The one instance is destroyed at exit, after the window and its context, which took
    // these names with them.
    vertexArray.release();
    for (BufferHandle& buffer : buffers)
        buffer.release();
    indexBuffer.release();
}

void ClientArrays::begin()
{
    if (!vertexArray) {
        vertexArray = makeVertexArray();
        for (BufferHandle& buffer : buffers)
            buffer = makeBuffer();
        indexBuffer = makeBuffer();
    }
    glBindVertexArray(vertexArray.get());
    used = 0;
}

void ClientArrays::attribute(GLint location, int components, const void* data, std::size_t bytes)
{
    if (location < 0 || used == maxAttributes)
        return;
    glBindBuffer(GL_ARRAY_BUFFER, buffers[used].get());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, GL_STREAM_DRAW);
    glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(location);
    enabled[used++] = location;
}

void ClientArrays::drawTriangles(const GLuint* indices, GLsizei count)
{
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer.get());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * sizeof(GLuint), indices, GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, nullptr);
}

void ClientArrays::end()
{
    for (int i = 0; i < used; ++i)
        glDisableVertexAttribArray(enabled[i]);
    used = 0;
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
