#include "tests/gl/GLContext.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include <IL/il.h>
#include <gtest/gtest.h>

#include "render/Display.h"

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

void useStartUpState()
{
    glErrors();
    display::attach(nullptr);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glViewport(0, 0, 800, 600);
}

void leaveStartUpState()
{
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
}

std::string tempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "gorbeck-gltest-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (made == nullptr)
        return {};
    tempDirs.emplace_back(made);
    return made;
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

bool writeSolidJpeg(const std::string& path, unsigned char r, unsigned char g, unsigned char b)
{
    std::vector<unsigned char> bytes;
    for (int i = 0; i < 16 * 16; ++i)
        bytes.insert(bytes.end(), {r, g, b});
    return writeJpeg(path, 16, 16, 3, bytes);
}

} // namespace gltest

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (ctest does it at build time) needs no display.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    if (!glfwInit()) {
        std::cerr << "gl_tests: the window library could not start (is DISPLAY set?)" << std::endl;
        return 1;
    }
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    glfwWindowHint(GLFW_STENCIL_BITS, 8);
    glfwWindowHint(GLFW_VISIBLE, GLFW_TRUE); // an unmapped window has no pixels to read back
    gltest::theWindow = glfwCreateWindow(800, 600, "gl_tests", nullptr, nullptr);
    if (gltest::theWindow == nullptr) {
        std::cerr << "gl_tests: could not create an 800x600 OpenGL 3.3 core window" << std::endl;
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(gltest::theWindow);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::cerr << "gl_tests: GLEW could not start" << std::endl;
        return 1;
    }
    gltest::glErrors();
    testing::AddGlobalTestEnvironment(new gltest::ContextEnvironment);
    return RUN_ALL_TESTS();
}
