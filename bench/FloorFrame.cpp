#include "bench/FloorFrame.h"

#include <glm/gtc/type_ptr.hpp>

#include "app/Globals.h"
#include "objects/Object.h"
#include "physics/Gorbeck.h"
#include "render/Display.h"
#include "render/Scene.h"
#include "render/Screen.h"
#include "render/ShaderProgram.h"

namespace {

const char* vertexSource = "#version 330 core\n"
                           "in vec4 vertex;\n"
                           "uniform mat4 model;\n"
                           "uniform mat4 view;\n"
                           "uniform mat4 projection;\n"
                           "void main() { gl_Position = projection * view * model * vertex; }\n";
// The cheapest fragment shader that still leaves a defined picture.
const char* fragmentSource = "#version 330 core\n"
                             "out vec4 fragColor;\n"
                             "void main() { fragColor = vec4(0.5, 0.5, 0.5, 1.0); }\n";

ShaderHandle compile(GLenum stage, const char* source)
{
    ShaderHandle shader(glCreateShader(stage));
    glShaderSource(shader.get(), 1, &source, nullptr);
    glCompileShader(shader.get());
    return shader;
}

} // namespace

FloorFrame::FloorFrame(Scene& scene) : scene(scene)
{
    if (!programLinked(scene.shadowProgram))
        return;
    GLint vertexLocation = glGetAttribLocation(scene.shadowProgram, "vertex");
    if (vertexLocation < 0)
        return;
    // Attached shaders deleted by their handles live on inside the program.
    ShaderHandle vertex = compile(GL_VERTEX_SHADER, vertexSource);
    ShaderHandle fragment = compile(GL_FRAGMENT_SHADER, fragmentSource);
    ProgramHandle linked(glCreateProgram());
    glAttachShader(linked.get(), vertex.get());
    glAttachShader(linked.get(), fragment.get());
    // The objects' position-only vertex arrays feed the depth program's "vertex" location.
    glBindAttribLocation(linked.get(), static_cast<GLuint>(vertexLocation), "vertex");
    glLinkProgram(linked.get());
    if (!programLinked(linked.get()))
        return;
    program = std::move(linked);
    modelLocation = glGetUniformLocation(program.get(), "model");
    viewLocation = glGetUniformLocation(program.get(), "view");
    projectionLocation = glGetUniformLocation(program.get(), "projection");
}

void FloorFrame::drawShadowMap()
{
    // The shadow pass's own work: nothing cheaper gives the same map.
    scene.renderShadowPass();
}

void FloorFrame::drawCameraView()
{
    glViewport(0, 0, screen::width, screen::height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCullFace(GL_BACK);
    glUseProgram(program.get());
    glUniformMatrix4fv(viewLocation, 1, GL_FALSE, glm::value_ptr(scene.view));
    glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, glm::value_ptr(scene.projection));
    if (scene.player)
        scene.player->drawPositions(modelLocation, useVertexArrays);
    for (Object* object : scene.objects)
        object->drawPositions(modelLocation, useVertexArrays);
    glUseProgram(0);
}

void FloorFrame::present()
{
    display::present();
}
