#pragma once

#include <string>
#include <vector>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

// The GL tests share one hidden 800x600 window with a 3.3 core context, created before
// the first test (see GLContext.cpp's main) and made current for every test.
namespace gltest {

GLFWwindow* window();

// Drains and returns every pending GL error, so a test can assert that none was raised.
std::vector<GLenum> glErrors();

// Reads the colour buffer back as RGB bytes, bottom row first (GL's order).
std::vector<unsigned char> readPixels(int x, int y, int width, int height);

// A fresh temporary folder for one test's files; removed when the process ends.
std::string tempDir();

} // namespace gltest
