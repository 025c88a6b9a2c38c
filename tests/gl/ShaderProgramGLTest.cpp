#include "render/ShaderProgram.h"

#include <fstream>

#include "tests/gl/GLContext.h"

namespace {

const char* validVertex = "#version 330 core\n"
                          "in vec4 vertex;\n"
                          "void main() { gl_Position = vertex; }\n";
const char* validFragment = "#version 330 core\n"
                            "out vec4 fragColor;\n"
                            "void main() { fragColor = vec4(1.0); }\n";
// Compiles, but calls a function that no stage defines: only the link can fail it.
const char* unmatchedFragment = "#version 330 core\n"
                                "vec4 shade();\n"
                                "out vec4 fragColor;\n"
                                "void main() { fragColor = shade(); }\n";
const std::string crlfVertex = "#version 330 core\r\nin vec4 vertex;\r\nvoid main() { gl_Position = vertex; }\r\n";

std::string write(const std::string& name, const std::string& text)
{
    static const std::string dir = gltest::tempDir();
    std::ofstream(dir + "/" + name, std::ios::binary) << text;
    return dir + "/" + name;
}

} // namespace

// One line per stage compiled, then the link's; the first failure ends the build with its
// line and GL's log, whose wording is the driver's: there only the start is compared.
TEST(ShaderBuilder, PrintsALinePerStepAndStopsAtTheFirstFailure)
{
    std::string vert = write("ok.vert", validVertex), frag = write("ok.frag", validFragment);
    std::string bad = write("bad.glsl", "#version 330 core\nvoid main() { this is not glsl }\n");
    std::string unmatched = write("unmatched.frag", unmatchedFragment), crlf = write("crlf.vert", crlfVertex);
    std::string missing = frag.substr(0, frag.size() - 7) + "missing.frag";
    auto compiled = [](const std::string& path) { return "Shader " + path + " successful compiled\n"; };
    auto failed
        = [](const std::string& path) { return "The shader " + path + " failed to compile with following error:\n"; };
    std::string notOpened = "could not open the source file " + missing + "\n";
    enum Outcome { Linked, NotLinked, NoProgram };
    struct Case {
        std::string vertex, fragment, printed;
        Outcome outcome;
    };
    const Case cases[] = {
        {vert, frag, compiled(vert) + compiled(frag) + "Program successful linked\n", Linked},
        {crlf, frag, compiled(crlf) + compiled(frag) + "Program successful linked\n", Linked},
        {bad, frag, failed(bad), NoProgram},
        {vert, bad, compiled(vert) + failed(bad), NoProgram},
        {vert, unmatched, compiled(vert) + compiled(unmatched) + "The program failed to link with following error:\n",
         NotLinked},
        {missing, frag, failed(missing) + notOpened, NoProgram},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vertex + " with " + c.fragment);
        GLuint program = 0;
        bool built = false;
        std::string printed
            = gltest::printedBy([&] { built = buildShaderProgram(c.vertex.c_str(), c.fragment.c_str(), program); });
        EXPECT_EQ(built, c.outcome == Linked);
        EXPECT_EQ(program != 0 && programLinked(program), c.outcome == Linked);
        EXPECT_EQ(program == 0, c.outcome == NoProgram) << "a program is made only once both stages compiled";
        if (c.printed.ends_with("error:\n")) {
            EXPECT_EQ(printed.substr(0, c.printed.size()), c.printed);
            EXPECT_GT(printed.size(), c.printed.size() + 1) << "GL's log";
            EXPECT_EQ(printed.find("successful", c.printed.size()), std::string::npos) << "nothing after a failure";
            EXPECT_EQ(printed.back(), '\n');
        } else {
            EXPECT_EQ(printed, c.printed);
        }
        EXPECT_TRUE(gltest::glErrors().empty());
    }
}
