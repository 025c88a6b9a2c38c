#include "render/BareFrame.h"

#include "render/Display.h"
#include "render/Scene.h"

namespace {

// One triangle that covers the whole viewport, made from the vertex index alone.
const char* vertexSource = "#version 330 core\n"
                           "void main() {\n"
                           "    vec2 corner = vec2((gl_VertexID & 1) * 4 - 1, (gl_VertexID & 2) * 2 - 1);\n"
                           "    gl_Position = vec4(corner, 0.5, 1.0);\n"
                           "}\n";
const char* fragmentSource = "#version 330 core\nvoid main() {}\n";

GLuint compile(GLenum stage, const char* source)
{
    GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

} // namespace

BareFrame::BareFrame(GLuint shadowFramebuffer) : framebuffer(shadowFramebuffer)
{
    GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource);
    GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource);
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        glDeleteProgram(program);
        program = 0;
    }
    // A core profile draws only with a vertex array object bound, even one with no arrays.
    glGenVertexArrays(1, &vertexArray);
}

BareFrame::~BareFrame()
{
    if (program)
        glDeleteProgram(program);
    glDeleteVertexArrays(1, &vertexArray);
}

void BareFrame::drawDepthLayer()
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, Scene::shadowMapSize, Scene::shadowMapSize);
    glClear(GL_DEPTH_BUFFER_BIT);
    glUseProgram(program);
    glBindVertexArray(vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindVertexArray(0);
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void BareFrame::finishFrame()
{
    glViewport(0, 0, 800, 600);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    display::present();
}
