#include "render/Display.h"

#include <iostream>

#include <GLFW/glfw3.h>

#include "render/Screenshot.h"

namespace display {

namespace {

GLFWwindow* target = nullptr;
std::string capturePath;

} // namespace

void attach(GLFWwindow* window)
{
    target = window;
}

void captureNextFrame(const std::string& path)
{
    capturePath = path;
}

void present()
{
    if (target == nullptr)
        return;
    if (!capturePath.empty()) {
        int width = 0, height = 0;
        glfwGetFramebufferSize(target, &width, &height);
        std::string error;
        if (!saveScreenshot(capturePath, width, height, error))
            std::cerr << "gorbeck: " << error << std::endl;
        capturePath.clear();
    }
    glfwSwapBuffers(target);
    glfwPollEvents();
}

} // namespace display
