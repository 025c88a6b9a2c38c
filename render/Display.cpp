#include "render/Display.h"

#include <GLFW/glfw3.h>

namespace display {

namespace {

GLFWwindow* target = nullptr;

} // namespace

void attach(GLFWwindow* window)
{
    target = window;
}

void present()
{
    if (target == nullptr)
        return;
    glfwSwapBuffers(target);
    glfwPollEvents();
}

} // namespace display
