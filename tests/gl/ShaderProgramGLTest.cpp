#include "render/ShaderProgram.h"

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/gl/GLContext.h"

namespace {

const char* validVertex = "#version 330 core\n"
                          "in vec4 vertex;\n"
                          "void main() { gl_Position = vertex; }\n";
const char* validFragment = "#version 330 core\n"
                            "out vec4 fragColor;\n"
                            "void main() { fragColor = vec4(1.0); }\n";
const char* brokenSource = "#version 330 core\nvoid main() { this is not glsl }\n";
// Compiles, but calls a function that no stage defines: only the link can fail it.
const char* unmatchedFragment = "#version 330 core\n"
                                "vec4 shade();\n"
                                "out vec4 fragColor;\n"
                                "void main() { fragColor = shade(); }\n";

class ShaderBuilder : public testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text)
    {
        std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Builds and returns what was printed.
    std::string build(const std::string& vertexPath, const std::string& fragmentPath, bool expected)
    {
        testing::internal::CaptureStdout();
        bool built = buildShaderProgram(vertexPath.c_str(), fragmentPath.c_str(), program);
        std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(built, expected);
        EXPECT_TRUE(gltest::glErrors().empty());
        return output;
    }

    std::string dir = gltest::tempDir();
    GLuint program = 0;
};

} // namespace

TEST_F(ShaderBuilder, ValidPairPrintsExactlyThreeLinesAndLinks)
{
    std::string vert = write("ok.vert", validVertex);
    std::string frag = write("ok.frag", validFragment);
    std::string output = build(vert, frag, true);
    EXPECT_EQ(output,
              "Shader " + vert
                  + " successful compiled\n"
                    "Shader "
                  + frag
                  + " successful compiled\n"
                    "Program successful linked\n");
    ASSERT_NE(program, 0u);
    EXPECT_TRUE(programLinked(program));
    // fragColor was bound to colour number 0 before the link.
    EXPECT_EQ(glGetFragDataLocation(program, "fragColor"), 0);
}

TEST_F(ShaderBuilder, BrokenVertexStageReportsOnceAndSkipsTheFragmentStage)
{
    std::string vert = write("bad.vert", brokenSource);
    std::string frag = write("bad.frag", brokenSource);
    std::string output = build(vert, frag, false);
    std::string head = "The shader " + vert + " failed to compile with following error:\n";
    ASSERT_EQ(output.substr(0, head.size()), head);
    EXPECT_EQ(output.find(frag), std::string::npos) << output;
    EXPECT_EQ(output.find("successful"), std::string::npos);
    // GL's log follows, then the plain line end.
    EXPECT_GT(output.size(), head.size() + 1);
    EXPECT_EQ(output.back(), '\n');
    EXPECT_EQ(program, 0u) << "no program is created after a failed compile";
}

TEST_F(ShaderBuilder, BrokenFragmentStageFollowsTheVertexSuccessLine)
{
    std::string vert = write("ok.vert", validVertex);
    std::string frag = write("bad.frag", brokenSource);
    std::string output = build(vert, frag, false);
    std::string expectedStart = "Shader " + vert
        + " successful compiled\n"
          "The shader "
        + frag + " failed to compile with following error:\n";
    EXPECT_EQ(output.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(output.find("linked"), std::string::npos);
    EXPECT_EQ(program, 0u);
}

TEST_F(ShaderBuilder, StagesThatCompileButDoNotLinkReportTheLinkFailure)
{
    std::string vert = write("ok.vert", validVertex);
    std::string frag = write("unmatched.frag", unmatchedFragment);
    std::string output = build(vert, frag, false);
    std::string expectedStart = "Shader " + vert
        + " successful compiled\n"
          "Shader "
        + frag
        + " successful compiled\n"
          "The program failed to link with following error:\n";
    EXPECT_EQ(output.substr(0, expectedStart.size()), expectedStart);
    // The program object stays in the owner's field.
    EXPECT_NE(program, 0u);
    EXPECT_FALSE(programLinked(program));
}

TEST_F(ShaderBuilder, MissingSourceFileCountsAsAFailedCompileOfThatStage)
{
    std::string vert = write("ok.vert", validVertex);
    std::string missing = dir + "/missing.frag";
    std::string output = build(vert, missing, false);
    EXPECT_EQ(output,
              "Shader " + vert
                  + " successful compiled\n"
                    "The shader "
                  + missing
                  + " failed to compile with following error:\n"
                    "could not open the source file "
                  + missing + "\n");

    output = build(missing, vert, false);
    EXPECT_EQ(output,
              "The shader " + missing
                  + " failed to compile with following error:\n"
                    "could not open the source file "
                  + missing + "\n");
    EXPECT_EQ(program, 0u);
}

TEST_F(ShaderBuilder, CrLfSourceIsReadCompletelyAndStillBuilds)
{
    std::string crlf = "#version 330 core\r\nin vec4 vertex;\r\nvoid main() { gl_Position = vertex; }\r\n";
    std::string path = write("crlf.vert", crlf);
    std::unique_ptr<char[]> text = readTextFile(path.c_str());
    ASSERT_TRUE(text);
    // Text mode on this platform keeps every byte; the string ends right after the last one.
    EXPECT_EQ(std::string(text.get()), crlf);

    std::string frag = write("ok.frag", validFragment);
    build(path, frag, true);
}

TEST(ReadTextFile, NullOrMissingPathGivesNoText)
{
    EXPECT_EQ(readTextFile(nullptr), nullptr);
    EXPECT_EQ(readTextFile("/nonexistent/dir/file.vert"), nullptr);
}

TEST(ReadTextFile, EmptyFileGivesAnEmptyString)
{
    std::string path = gltest::tempDir() + "/empty.vert";
    std::ofstream{path};
    std::unique_ptr<char[]> text = readTextFile(path.c_str());
    ASSERT_TRUE(text);
    EXPECT_EQ(text[0], '\0');
}
