#pragma once

#include <string>

struct GLFWwindow;

// The window that finished frames are presented in. Every drawing path ends with
// present(): the buffer swap, then one poll of the window's events, because GLFW 3's
// swap does not poll and without it no key or mouse change would ever be seen.
namespace display {

void attach(GLFWwindow* window);
void present();
// Saves the next presented frame as a PNG, read back just before its swap.
void captureNextFrame(const std::string& path);

} // namespace display
