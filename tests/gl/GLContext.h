#pragma once

#include <array>
#include <string>
#include <vector>

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

// The GL tests share one hidden 800x600 window with a 3.3 core context, created before
// the first test (see GLContext.cpp's main) and made current for every test.
namespace gltest {

using Colour = std::array<unsigned char, 3>;

GLFWwindow* window();

// Drains and returns every pending GL error, so a test can assert that none was raised.
std::vector<GLenum> glErrors();

// Reads the colour buffer back as RGB bytes, bottom row first (GL's order).
std::vector<unsigned char> readPixels(int x, int y, int width, int height);
// Whether every pixel of the colour buffer within `half` of (x, y) is within `tolerance` of
// `expected` (0 to 255) in each channel.
testing::AssertionResult pixelsNear(int x, int y, glm::vec3 expected, int tolerance, int half = 0);
// How many pixels of the rectangle are not black.
std::size_t notBlack(int x, int y, int width, int height);

// Runs `f` and returns what it printed to standard output.
template <class F> std::string printedBy(F&& f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

// The GL state start-up leaves (back faces culled, depth test on, black clear colour, the 800x600 viewport), no error
// pending, and no window to present in: finished frames stay in the back buffer, where the tests read them.
void useStartUpState();

// A fresh temporary folder for one test's files; removed when the process ends.
std::string tempDir();

// Writes a JPEG fixture with DevIL: 3 channels give a colour image, 1 a grayscale one.
// `bytes` holds the rows in DevIL's order (bottom up), channels interleaved.
bool writeJpeg(const std::string& path, int width, int height, int channels, const std::vector<unsigned char>& bytes);
// A JPEG of 16 x 16 blocks of one colour each, `columns` blocks wide, listed by rows from the
// top. The blocks match JPEG's own, so each decodes within a few levels of its colour.
bool writeBlocks(const std::string& path, int columns, const std::vector<Colour>& blocks);

} // namespace gltest
