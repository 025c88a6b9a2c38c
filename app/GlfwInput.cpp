#include "app/GlfwInput.h"

#include <GLFW/glfw3.h>

#include "app/Globals.h"

namespace {

// The game's keys by name, in the order of Key.
constexpr int glfwKeys[keyCount] = {
    GLFW_KEY_P, GLFW_KEY_U, GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F5, GLFW_KEY_F6, GLFW_KEY_F10,
    GLFW_KEY_W, GLFW_KEY_S, GLFW_KEY_A, GLFW_KEY_D, GLFW_KEY_SPACE, GLFW_KEY_ENTER,
    GLFW_KEY_I, GLFW_KEY_J, GLFW_KEY_K, GLFW_KEY_L, GLFW_KEY_ESCAPE,
};

} // namespace

FrameInput readFrameInput(GLFWwindow* window)
{
    FrameInput input;
    for (std::size_t k = 0; k < keyCount; ++k)
        input.keys[k] = glfwGetKey(window, glfwKeys[k]) == GLFW_PRESS;
    glfwGetCursorPos(window, &input.mouseX, &input.mouseY);
    input.time = glfwGetTime();
    return input;
}

void applyFrameRequests(GLFWwindow* window, const FrameRequests& requests)
{
    if (requests.swapInterval >= 0)
        glfwSwapInterval(requests.swapInterval);
    if (requests.recenterMouse)
        glfwSetCursorPos(window, mouseCenterX, mouseCenterY);
}
