#include "tests/gl/GLContext.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <utility>

#include <IL/il.h>

#include "render/Display.h"
#include "render/Screen.h"

namespace gltest {

namespace {

GLFWwindow* theWindow = nullptr;
std::vector<std::filesystem::path> tempDirs;

class ContextEnvironment : public testing::Environment {
public:
    void TearDown() override
    {
        for (const auto& dir : tempDirs)
            std::filesystem::remove_all(dir);
        if (theWindow)
            glfwDestroyWindow(theWindow);
        glfwTerminate();
    }
};

} // namespace

GLFWwindow* window()
{
    return theWindow;
}

std::vector<GLenum> glErrors()
{
    std::vector<GLenum> errors;
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
        errors.push_back(e);
    return errors;
}

std::vector<unsigned char> readPixels(int x, int y, int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

testing::AssertionResult pixelsNear(int x, int y, glm::vec3 expected, int tolerance, int half)
{
    int size = 2 * half + 1, wrong = 0;
    std::vector<unsigned char> pixels = readPixels(x - half, y - half, size, size);
    std::ostringstream first;
    for (int i = 0; i < size * size; ++i) {
        const unsigned char* p = &pixels[3 * i];
        glm::vec3 off = glm::abs(glm::vec3(p[0], p[1], p[2]) - glm::round(expected));
        if (std::max({off.r, off.g, off.b}) > tolerance && wrong++ == 0)
            first << "; pixel (" << x - half + i % size << ", " << y - half + i / size << ") is " << int(p[0]) << " "
                  << int(p[1]) << " " << int(p[2]);
    }
    if (wrong == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << wrong << " of " << size * size << " pixels around (" << x << ", " << y
                                       << ") are not " << expected.r << " " << expected.g << " " << expected.b
                                       << " within " << tolerance << first.str();
}

std::size_t notBlack(int x, int y, int width, int height)
{
    std::vector<unsigned char> pixels = readPixels(x, y, width, height);
    std::size_t count = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 3)
        count += pixels[i] != 0 || pixels[i + 1] != 0 || pixels[i + 2] != 0;
    return count;
}

void useStartUpState()
{
    glErrors();
    display::attach(nullptr);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glViewport(0, 0, screen::width, screen::height);
}

std::string tempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "gorbeck-gltest-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return {};
    tempDirs.emplace_back(pattern);
    return pattern;
}

bool writeJpeg(const std::string& path, int width, int height, int channels, const std::vector<unsigned char>& bytes)
{
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilTexImage(width, height, 1, static_cast<ILubyte>(channels), channels == 3 ? IL_RGB : IL_LUMINANCE,
               IL_UNSIGNED_BYTE, const_cast<unsigned char*>(bytes.data()));
    ilEnable(IL_FILE_OVERWRITE);
    ilSetInteger(IL_JPG_QUALITY, 99);
    bool saved = ilSave(IL_JPG, path.c_str());
    ilBindImage(0);
    ilDeleteImage(image);
    return saved;
}

bool writeBlocks(const std::string& path, int columns, const std::vector<Colour>& blocks)
{
    int rows = static_cast<int>(blocks.size()) / columns;
    std::vector<unsigned char> bytes;
    for (int y = 16 * rows - 1; y >= 0; --y)
        for (int x = 0; x < 16 * columns; ++x) {
            const Colour& c = blocks[(y / 16) * columns + x / 16];
            bytes.insert(bytes.end(), c.begin(), c.end());
        }
    return writeJpeg(path, 16 * columns, 16 * rows, 3, bytes);
}

// Every suite and every test starts from the state start-up leaves, whatever ran before it:
// a shadow pass leaves the map's 8192 x 8192 viewport, for one, which the game's camera pass
// always replaces but a test's own drawing would not.
class StartUpStateFirst : public testing::EmptyTestEventListener {
    void OnTestSuiteStart(const testing::TestSuite&) override { useStartUpState(); }
    void OnTestStart(const testing::TestInfo&) override { useStartUpState(); }
};

} // namespace gltest

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (ctest does it at build time) needs no display.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    if (glfwInit()) {
        // The game's window, but visible: an unmapped window has no pixels to read back.
        for (auto [hint, value] : {std::pair{GLFW_RESIZABLE, GLFW_FALSE},
                                   {GLFW_CONTEXT_VERSION_MAJOR, 3},
                                   {GLFW_CONTEXT_VERSION_MINOR, 3},
                                   {GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE},
                                   {GLFW_DEPTH_BITS, 24},
                                   {GLFW_STENCIL_BITS, 8},
                                   {GLFW_VISIBLE, GLFW_TRUE}})
            glfwWindowHint(hint, value);
        gltest::theWindow = glfwCreateWindow(screen::width, screen::height, "gl_tests", nullptr, nullptr);
    }
    if (gltest::theWindow)
        glfwMakeContextCurrent(gltest::theWindow);
    glewExperimental = GL_TRUE;
    if (gltest::theWindow == nullptr || glewInit() != GLEW_OK) {
        std::cerr << "gl_tests: no 800x600 OpenGL 3.3 core window with GLEW (is DISPLAY set?)" << std::endl;
        return 1;
    }
    gltest::glErrors();
    testing::AddGlobalTestEnvironment(new gltest::ContextEnvironment);
    testing::UnitTest::GetInstance()->listeners().Append(new gltest::StartUpStateFirst);
    return RUN_ALL_TESTS();
}
