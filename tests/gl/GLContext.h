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

// The GL state start-up leaves (culling and depth test on, black clear colour, the
// 800x600 viewport), no error pending, and no window to present in: finished frames stay
// in the back buffer, where the tests read them.
void useStartUpState();
// Culling and depth test off again, for the tests that expect GL's defaults.
void leaveStartUpState();

// A fresh temporary folder for one test's files; removed when the process ends.
std::string tempDir();

// Writes a JPEG fixture with DevIL: 3 channels give a colour image, 1 a grayscale one.
// `bytes` holds the rows in DevIL's order, channels interleaved.
bool writeJpeg(const std::string& path, int width, int height, int channels, const std::vector<unsigned char>& bytes);
// A 16 x 16 JPEG of one colour.
bool writeSolidJpeg(const std::string& path, unsigned char r, unsigned char g, unsigned char b);

} // namespace gltest
