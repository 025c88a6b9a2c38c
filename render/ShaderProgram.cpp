#include "render/ShaderProgram.h"

#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

constexpr int infoLogSize = 1024;

// A file that cannot be opened is reported like a compile failure, with a line naming
// the file in place of GL's log, so no null source ever reaches GL.
bool reportCompileStatus(GLuint shader, const char* path, bool sourceRead)
{
    GLint status = 0;
    char log[infoLogSize] = {};
    if (sourceRead) {
        glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
        if (status == 0)
            glGetShaderInfoLog(shader, infoLogSize, nullptr, log);
    } else {
        std::snprintf(log, sizeof log, "could not open the source file %s", path ? path : "(null)");
    }
    // NOTE: "successful compiled", and the failure report ending in a plain line end, word for
    // word (held by tests/gl/ShaderProgramGLTest.cpp).
    if (status == 0) {
        std::cout << "The shader " << (path ? path : "(null)") << " failed to compile with following error:\n"
                  << log << "\n";
        return false;
    }
    std::cout << "Shader " << path << " successful compiled" << std::endl;
    return true;
}

// Hands `source` to `shader` with `defines` after its first line, the #version line, which
// must come first; "#line 2" keeps GL's line numbers those of the file.
void setSource(GLuint shader, const char* source, const char* defines)
{
    const char* firstLineEnd = std::strchr(source, '\n');
    if (firstLineEnd == nullptr || defines == nullptr || *defines == '\0') {
        glShaderSource(shader, 1, &source, nullptr);
        return;
    }
    const char* parts[] = {source, defines, "#line 2\n", firstLineEnd + 1};
    const GLint lengths[] = {static_cast<GLint>(firstLineEnd + 1 - source), -1, -1, -1};
    glShaderSource(shader, 4, parts, lengths);
}

} // namespace

std::unique_ptr<char[]> readTextFile(const char* path)
{
    if (path == nullptr)
        return nullptr;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr)
        return nullptr;
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    if (size < 0) {
        std::fclose(file);
        return nullptr;
    }
    auto text = std::make_unique<char[]>(static_cast<size_t>(size) + 1);
    size_t count = std::fread(text.get(), 1, static_cast<size_t>(size), file);
    text[count] = '\0';
    std::fclose(file);
    return text;
}

bool buildShaderProgram(const char* vertexPath, const char* fragmentPath, GLuint& program, const char* defines)
{
    std::unique_ptr<char[]> vertexSource = readTextFile(vertexPath);
    std::unique_ptr<char[]> fragmentSource = readTextFile(fragmentPath);

    GLuint vertexShader = glCreateShader(GL_VERTEX_SHADER);
    GLuint fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    const char* vertexText = vertexSource.get();
    const char* fragmentText = fragmentSource.get();
    if (vertexText)
        setSource(vertexShader, vertexText, defines);
    if (fragmentText)
        setSource(fragmentShader, fragmentText, defines);
    if (vertexText)
        glCompileShader(vertexShader);
    if (fragmentText)
        glCompileShader(fragmentShader);

    if (!reportCompileStatus(vertexShader, vertexPath, vertexText != nullptr)
        || !reportCompileStatus(fragmentShader, fragmentPath, fragmentText != nullptr)) {
        glDeleteShader(vertexShader);
        glDeleteShader(fragmentShader);
        return false;
    }

    program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glBindFragDataLocation(program, 0, "fragColor");
    glLinkProgram(program);

    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == 0) {
        char log[infoLogSize] = {};
        glGetProgramInfoLog(program, infoLogSize, nullptr, log);
        // NOTE: this report and "successful linked" word for word (held by tests/gl/ShaderProgramGLTest.cpp).
        std::cout << "The program failed to link with following error:\n" << log << "\n";
        return false;
    }
    std::cout << "Program successful linked" << std::endl;
    return true;
}

bool programLinked(GLuint program)
{
    if (program == 0 || !glIsProgram(program))
        return false;
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked != 0;
}
