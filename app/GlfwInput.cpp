#include "app/GlfwInput.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/Globals.h"
#include "app/KeyPresses.h"
#include "objects/TextureLibrary.h"
#include "render/Scene.h"

namespace {

// The game's keys by name, in the order of Key.
constexpr int glfwKeys[keyCount] = {
    GLFW_KEY_P,     GLFW_KEY_U,   GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F5,     GLFW_KEY_F6,
    GLFW_KEY_F10,   GLFW_KEY_F11, GLFW_KEY_W,  GLFW_KEY_S,  GLFW_KEY_A,  GLFW_KEY_D,      GLFW_KEY_SPACE,
    GLFW_KEY_ENTER, GLFW_KEY_I,   GLFW_KEY_J,  GLFW_KEY_K,  GLFW_KEY_L,  GLFW_KEY_ESCAPE,
};

KeyPresses presses;

void onKey(GLFWwindow*, int key, int, int action, int)
{
    if (action != GLFW_PRESS)
        return;
    for (std::size_t k = 0; k < keyCount; ++k)
        if (glfwKeys[k] == key)
            presses.pressed(static_cast<Key>(k));
}

} // namespace

void watchKeys(GLFWwindow* window)
{
    glfwSetKeyCallback(window, onKey);
}

FrameInput readFrameInput(GLFWwindow* window)
{
    FrameInput input;
    std::array<bool, keyCount> held{};
    for (std::size_t k = 0; k < keyCount; ++k)
        held[k] = glfwGetKey(window, glfwKeys[k]) == GLFW_PRESS;
    input.keys = presses.frameKeys(held);
    glfwGetCursorPos(window, &input.mouseX, &input.mouseY);
    input.time = glfwGetTime();
    return input;
}

void applyDisplayRequests(const FrameRequests& requests)
{
    if (requests.wireframe >= 0)
        scene->setWireframe(requests.wireframe == 1);
    if (requests.setFilter) {
        TextureLibrary& library = *scene->textureLibrary;
        library.applyFilter(library.getTextureIds(), requests.minification, requests.magnification);
    }
}

void applyFrameRequests(GLFWwindow* window, const FrameRequests& requests)
{
    applyDisplayRequests(requests);
    if (requests.swapInterval >= 0)
        glfwSwapInterval(requests.swapInterval);
    if (requests.recenterMouse)
        glfwSetCursorPos(window, mouseCenterX, mouseCenterY);
}

bool escapePressed(GLFWwindow* window)
{
    return glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS || presses.waiting(Key::Escape);
}
