#pragma once

#include <memory>

#include <GL/glew.h>

// Reads a whole text file. Returns null for a null path or a file that cannot be opened.
// Text mode: CR LF arrives as LF, so the string may be shorter than the file.
std::unique_ptr<char[]> readTextFile(const char* path);

// Compiles and links a vertex and fragment pair, reporting each step on standard output.
// `program` is written only once both stages have compiled; it stays 0 otherwise.
// `defines` (lines of #define) go into both stages right after their #version line.
// Returns true when both stages compiled and the program linked.
bool buildShaderProgram(const char* vertexPath, const char* fragmentPath, GLuint& program, const char* defines = "");

// True when `program` names a program object that linked. Uniform look-ups and uploads
// on anything else only raise GL errors, so callers skip them.
bool programLinked(GLuint program);
