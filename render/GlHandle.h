#pragma once

#include <utility>

#include <GL/glew.h>

// The GL calls that delete one name of each kind; GLEW's entry points are pointers filled
// at run time, so the handles name these functions instead.
namespace gldelete {
inline void buffer(GLuint name)
{
    glDeleteBuffers(1, &name);
}
inline void vertexArray(GLuint name)
{
    glDeleteVertexArrays(1, &name);
}
inline void program(GLuint name)
{
    glDeleteProgram(name);
}
inline void shader(GLuint name)
{
    glDeleteShader(name);
}
inline void query(GLuint name)
{
    glDeleteQueries(1, &name);
}
inline void framebuffer(GLuint name)
{
    glDeleteFramebuffers(1, &name);
}
inline void sampler(GLuint name)
{
    glDeleteSamplers(1, &name);
}
} // namespace gldelete

// Owns one GL object name and deletes it when it goes out of scope or is reset; it moves
// and never copies, so each name has exactly one owner. release() gives the name up
// undeleted, for what is meant to live until the process ends. Name 0 owns nothing.
template <void (*destroy)(GLuint)> class GlHandle {
public:
    GlHandle() = default;
    explicit GlHandle(GLuint name) : name(name) { }
    ~GlHandle() { reset(); }
    GlHandle(GlHandle&& other) noexcept : name(other.release()) { }
    GlHandle& operator=(GlHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    GlHandle(const GlHandle&) = delete;
    GlHandle& operator=(const GlHandle&) = delete;

    GLuint get() const { return name; }
    explicit operator bool() const { return name != 0; }
    GLuint release() { return std::exchange(name, 0); }
    void reset(GLuint replacement = 0)
    {
        if (name != 0)
            destroy(name);
        name = replacement;
    }

private:
    GLuint name = 0;
};

using BufferHandle = GlHandle<gldelete::buffer>;
using VertexArrayHandle = GlHandle<gldelete::vertexArray>;
using ProgramHandle = GlHandle<gldelete::program>;
using ShaderHandle = GlHandle<gldelete::shader>;
using QueryHandle = GlHandle<gldelete::query>;
using FramebufferHandle = GlHandle<gldelete::framebuffer>;
using SamplerHandle = GlHandle<gldelete::sampler>;

// A new buffer or vertex array name, owned.
inline BufferHandle makeBuffer()
{
    GLuint name = 0;
    glGenBuffers(1, &name);
    return BufferHandle(name);
}

inline VertexArrayHandle makeVertexArray()
{
    GLuint name = 0;
    glGenVertexArrays(1, &name);
    return VertexArrayHandle(name);
}
