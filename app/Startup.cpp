#include "app/Startup.h"

#include <iostream>
#include <string>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/Camera.h"
#include "app/GlfwInput.h"
#include "app/Globals.h"
#include "app/Light.h"
#include "app/Music.h"
#include "app/TextureTables.h"
#include "objects/ModelImport.h"
#include "physics/BulletPhysics.h"
#include "render/Display.h"
#include "render/Scene.h"
#include "render/Screen.h"

namespace {

Music music;
StartupStepDone stepDone = nullptr;

void step(const char* name)
{
    if (stepDone)
        stepDone(name);
}

RenderPath renderPath;

std::string glfwReason()
{
    const char* description = nullptr;
    glfwGetError(&description);
    return description ? description : "no reason given";
}

} // namespace

void onStartupStep(StartupStepDone done)
{
    stepDone = done;
}

bool startPlatform(bool windowed, RendererChoice renderer)
{
    if (!glfwInit()) {
        std::cerr << "gorbeck: the window library could not start: " << glfwReason() << std::endl;
        return false;
    }
    // NOTE: the three start-up lines word for word (held by tests/e2e/test_startup_output.sh).
    std::cout << "initialized glfw" << std::endl;

    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    glfwWindowHint(GLFW_STENCIL_BITS, 8);
    // Without a window manager, losing focus would iconify a full-screen window.
    glfwWindowHint(GLFW_AUTO_ICONIFY, GLFW_FALSE);
    window = glfwCreateWindow(screen::width, screen::height, "The Tale of Gorbeck",
                              windowed ? nullptr : glfwGetPrimaryMonitor(), nullptr);
    if (window == nullptr) {
        std::cerr << "gorbeck: could not create an " << screen::width << "x" << screen::height
                  << " window with an OpenGL 3.3 core context: " << glfwReason() << std::endl;
        glfwTerminate();
        return false;
    }
    glfwMakeContextCurrent(window);
    glfwSetWindowTitle(window, "The Tale of Gorbeck");
    // A full-screen window is not focused where no window manager runs, and an unfocused
    // window never locks the cursor.
    glfwFocusWindow(window);
    display::attach(window);

    glewExperimental = GL_TRUE;
    GLenum glew = glewInit();
    if (glew != GLEW_OK) {
        // Without the extension loader every GL entry point past 1.1 is null.
        std::cerr << "gorbeck: the GL extension loader could not start: "
                  << reinterpret_cast<const char*>(glewGetErrorString(glew)) << std::endl;
        glfwTerminate();
        return false;
    }
    std::cout << "initialized glew" << std::endl;
    while (glGetError() != GL_NO_ERROR) { }
    // A driver may answer with no string; streaming a null pointer would silence the console.
    const GLubyte* version = glGetString(GL_VERSION);
    std::cout << "OpenGL Version: " << (version ? reinterpret_cast<const char*>(version) : "(none given)") << std::endl;

    renderPath = chooseRenderPath(renderer);

    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    // At single-digit frame rates a key tapped between two polls would otherwise be missed.
    // (Sticky keys would catch it too, but would also hold every released key one frame longer.)
    watchInput(window);
    glViewport(0, 0, screen::width, screen::height);
    step("window and GL context");

    music.start("sounds/gorbeck.mp3");
    step("music");
    return true;
}

bool startWorld()
{
    light = new Light();
    camera = new Camera();
    scene = new Scene(renderPath);
    if (!scene->physics->levelLoaded()) {
        std::cerr << "gorbeck: " << scene->physics->levelLoadError() << std::endl;
        return false;
    }
    step("scene");
    scene->loadShaders();
    scene->lookUpUniforms();
    scene->initMatrices();
    step("shader programs");
    scene->createShadowMap();
    step("shadow map");

    if (!loadModel(*scene, "models/gorbeck.obj", playerTextures(), true, 0.01f, glm::vec3(0.0f, 50.0f, 0.0f)))
        return false;
    step("player model");
    if (!loadModel(*scene, "models/level.obj", levelTextures(), false, 1.0f, glm::vec3(0.0f)))
        return false;
    step("level model");

    mouseCenterX = screen::centreX;
    mouseCenterY = screen::centreY;
    lastFrameTime = static_cast<float>(glfwGetTime());
    glfwSwapInterval(0);
    return true;
}

void teardown()
{
    music.stop();
    glfwTerminate();
}
