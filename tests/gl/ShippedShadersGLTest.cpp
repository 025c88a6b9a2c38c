#include "render/ShaderProgram.h"
#include "tests/gl/GLContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

namespace {

std::string shaderPath(const std::string& file)
{
    return std::string(GORBECK_SOURCE_DIR) + "/shader/" + file;
}

struct Declared {
    std::string name;
    GLenum type;
};

struct Interface {
    std::string stem;
    std::vector<Declared> uniforms;
    std::vector<Declared> attributes;
};

// What the scene uploads to every lighting program each frame, plus what each object sets.
std::vector<Declared> lightingUniforms()
{
    return {
        {"projection", GL_FLOAT_MAT4},
        {"view", GL_FLOAT_MAT4},
        {"shadowprojection", GL_FLOAT_MAT4},
        {"bias", GL_FLOAT_MAT4},
        {"lightview", GL_FLOAT_MAT4},
        {"shadowmap", GL_SAMPLER_2D},
        {"lightposition", GL_FLOAT_VEC3},
        {"cameraview", GL_FLOAT_VEC3},
        {"light_ambientcomponent", GL_FLOAT_VEC4},
        {"light_diffusecomponent", GL_FLOAT_VEC4},
        {"light_specularcomponent", GL_FLOAT_VEC4},
        {"specularcomponentfactor", GL_FLOAT},
        {"model", GL_FLOAT_MAT4},
        {"material_ambient", GL_FLOAT_VEC4},
        {"material_diffuse", GL_FLOAT_VEC4},
        {"material_specular", GL_FLOAT_VEC4},
    };
}

std::vector<Interface> shippedInterfaces()
{
    std::vector<Declared> colourUniforms = lightingUniforms();
    std::vector<Declared> textureUniforms = colourUniforms;
    textureUniforms.push_back({"colormap", GL_SAMPLER_2D});
    std::vector<Declared> bumpUniforms = textureUniforms;
    bumpUniforms.push_back({"normalmap", GL_SAMPLER_2D});
    bumpUniforms.push_back({"cameraposition", GL_FLOAT_VEC3});

    std::vector<Declared> colourAttributes = {{"vertex", GL_FLOAT_VEC4}, {"normal", GL_FLOAT_VEC3}};
    std::vector<Declared> textureAttributes = colourAttributes;
    textureAttributes.push_back({"tex_coords_in", GL_FLOAT_VEC2});
    std::vector<Declared> bumpAttributes = textureAttributes;
    bumpAttributes.push_back({"tangent", GL_FLOAT_VEC4});

    return {
        {"color", colourUniforms, colourAttributes},
        {"texture", textureUniforms, textureAttributes},
        {"bump", bumpUniforms, bumpAttributes},
        {"shadow",
         {{"model", GL_FLOAT_MAT4}, {"view", GL_FLOAT_MAT4}, {"projection", GL_FLOAT_MAT4}},
         {{"vertex", GL_FLOAT_VEC4}}},
        {"text",
         {{"projection", GL_FLOAT_MAT4}, {"view", GL_FLOAT_MAT4}, {"texturemap", GL_SAMPLER_2D}},
         {{"vertex", GL_FLOAT_VEC4}, {"texcoords_in", GL_FLOAT_VEC2}}},
    };
}

std::map<std::string, GLenum> activeUniforms(GLuint program)
{
    std::map<std::string, GLenum> found;
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), sizeof name, nullptr, &size, &type, name);
        found[name] = type;
    }
    return found;
}

std::map<std::string, GLenum> activeAttributes(GLuint program)
{
    std::map<std::string, GLenum> found;
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_ATTRIBUTES, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(program, static_cast<GLuint>(i), sizeof name, nullptr, &size, &type, name);
        if (std::string(name).rfind("gl_", 0) != 0)
            found[name] = type;
    }
    return found;
}

struct Geometry {
    std::vector<glm::vec4> vertices;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> texCoords;
    std::vector<glm::vec4> tangents;
    std::vector<GLuint> indices;
};

// A square around `centre` reaching `halfU` along the texture's u and `halfV` along its v.
// The tangent's handedness follows the model import: negative when cross(normal, tangent)
// points against the direction in which v grows.
Geometry square(glm::vec3 centre, glm::vec3 halfU, glm::vec3 halfV, glm::vec3 normal)
{
    Geometry g;
    const glm::vec2 corners[4] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    glm::vec3 tangent = glm::normalize(halfU);
    float handedness = glm::dot(glm::cross(normal, tangent), halfV) < 0.0f ? -1.0f : 1.0f;
    for (const glm::vec2& c : corners) {
        g.vertices.emplace_back(centre + c.x * halfU + c.y * halfV, 1.0f);
        g.normals.push_back(normal);
        g.texCoords.emplace_back((c.x + 1) / 2, (c.y + 1) / 2);
        g.tangents.emplace_back(tangent, handedness);
    }
    g.indices = {0, 1, 2, 0, 2, 3};
    return g;
}

// Maps the light's clip space [-1, 1] to shadow-map space [0, 1], as the scene does.
const glm::mat4 biasMatrix(0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1);

const glm::vec4 lightAmbient(0.2f, 0.1f, 0.05f, 1);
const glm::vec4 lightDiffuse(0.5f, 0.4f, 0.3f, 1);
const glm::vec4 lightSpecular(0.2f, 0.3f, 0.4f, 1);
const glm::vec4 materialAmbient(1, 0.5f, 1, 1);
const glm::vec4 materialDiffuse(0.5f, 1, 1, 1);
const glm::vec4 materialSpecular(1, 1, 0.5f, 1);
const glm::vec4 white(1, 1, 1, 1);

// The pictures are taken from 100 units straight above the origin with a narrow lens, so
// the view direction is almost exactly straight down everywhere: 4.37 units of height fill the
// window's 600 rows (68.7 pixels per unit), window right is world +x and window up is world -z.
const glm::vec3 eye(0, 100, 0);
const glm::mat4 cameraProjection = glm::perspective(glm::radians(5.0f), 4.0f / 3.0f, 5.0f, 250.0f);
const glm::mat4 cameraView = glm::lookAt(eye, glm::vec3(0), glm::vec3(0, 0, -1));

struct Light {
    glm::vec3 position;
    glm::mat4 view;
    glm::mat4 projection;
};

// The light looks at `target`; like the game's, its up is +x, so the shadow map's t axis runs
// along world +x and its s axis along world +z when the light looks straight down.
Light lightAt(glm::vec3 position, glm::vec3 target, float fovDegrees, float near, float far)
{
    return {position, glm::lookAt(position, target, glm::vec3(1, 0, 0)),
            glm::perspective(glm::radians(fovDegrees), 4.0f / 3.0f, near, far)};
}

// Field of view in degrees that shows `halfHeight` units either side of the axis at `distance`.
float fovFor(float halfHeight, float distance)
{
    return glm::degrees(2.0f * std::atan(halfHeight / distance));
}

testing::AssertionResult blockIs(int x, int y, int half, glm::vec3 expected, int tolerance)
{
    int size = 2 * half + 1;
    std::vector<unsigned char> pixels = gltest::readPixels(x - half, y - half, size, size);
    int wrong = 0;
    std::ostringstream first;
    for (int i = 0; i < size * size; ++i) {
        for (int c = 0; c < 3; ++c) {
            int want = static_cast<int>(std::lround(std::clamp(expected[c], 0.0f, 1.0f) * 255.0f));
            if (std::abs(pixels[3 * i + c] - want) > tolerance) {
                if (wrong == 0)
                    first << "pixel (" << x - half + i % size << ", " << y - half + i / size << ") is ("
                          << int(pixels[3 * i]) << ", " << int(pixels[3 * i + 1]) << ", " << int(pixels[3 * i + 2])
                          << "), expected about (" << expected.r * 255 << ", " << expected.g * 255 << ", "
                          << expected.b * 255 << ")";
                ++wrong;
                break;
            }
        }
    }
    if (wrong == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << wrong << " of " << size * size << " pixels around (" << x << ", " << y
                                       << ") are off; first " << first.str();
}

class ShippedShaders : public testing::Test {
protected:
    void SetUp() override
    {
        gltest::glErrors();
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glViewport(0, 0, 800, 600);
        glDisable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 0);
        glClearDepth(1.0);
    }

    void TearDown() override
    {
        glUseProgram(0);
        glBindVertexArray(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glActiveTexture(GL_TEXTURE0);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glViewport(0, 0, 800, 600);
        for (GLuint p : programs)
            glDeleteProgram(p);
        glDeleteFramebuffers(static_cast<GLsizei>(framebuffers.size()), framebuffers.data());
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        glDeleteVertexArrays(static_cast<GLsizei>(vertexArrays.size()), vertexArrays.data());
        glDeleteBuffers(static_cast<GLsizei>(buffers.size()), buffers.data());
        gltest::glErrors();
    }

    // Builds a shipped pair; the report is captured so that a failure shows GL's log.
    GLuint build(const std::string& stem)
    {
        testing::internal::CaptureStdout();
        GLuint program = 0;
        bool built
            = buildShaderProgram(shaderPath(stem + ".vert").c_str(), shaderPath(stem + ".frag").c_str(), program);
        std::string report = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(built) << report;
        if (program != 0)
            programs.push_back(program);
        return built ? program : 0;
    }

    GLuint colourTexture(int width, int height, const std::vector<unsigned char>& rgb, GLenum filter)
    {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        textures.push_back(texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindTexture(GL_TEXTURE_2D, 0);
        return texture;
    }

    GLuint plainTexture(unsigned char r, unsigned char g, unsigned char b)
    {
        return colourTexture(1, 1, {r, g, b}, GL_NEAREST);
    }

    // A depth texture set up like the game's shadow map: linear filtering, no comparison mode,
    // and (unless `wrap` says otherwise) a border of depth 1 around it.
    GLuint depthTexture(int size, const std::vector<float>& depths, GLenum wrap = GL_CLAMP_TO_BORDER)
    {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        textures.push_back(texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, size, size, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                     depths.empty() ? nullptr : depths.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        const float border[4] = {1, 1, 1, 1};
        glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
        glBindTexture(GL_TEXTURE_2D, 0);
        return texture;
    }

    // One buffer per attribute that `program` declares, as the objects set them up.
    GLuint vertexArray(GLuint program, const Geometry& g)
    {
        GLuint vao = 0;
        glGenVertexArrays(1, &vao);
        vertexArrays.push_back(vao);
        glBindVertexArray(vao);
        auto attribute = [&](const char* name, const void* data, size_t count, int components) {
            GLint location = glGetAttribLocation(program, name);
            if (location < 0 || count == 0)
                return;
            GLuint buffer = 0;
            glGenBuffers(1, &buffer);
            buffers.push_back(buffer);
            glBindBuffer(GL_ARRAY_BUFFER, buffer);
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * components * sizeof(float)), data,
                         GL_STATIC_DRAW);
            glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
            glEnableVertexAttribArray(static_cast<GLuint>(location));
        };
        attribute("vertex", g.vertices.data(), g.vertices.size(), 4);
        attribute("normal", g.normals.data(), g.normals.size(), 3);
        attribute("tex_coords_in", g.texCoords.data(), g.texCoords.size(), 2);
        attribute("texcoords_in", g.texCoords.data(), g.texCoords.size(), 2);
        attribute("tangent", g.tangents.data(), g.tangents.size(), 4);
        GLuint elements = 0;
        glGenBuffers(1, &elements);
        buffers.push_back(elements);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elements);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(g.indices.size() * sizeof(GLuint)),
                     g.indices.data(), GL_STATIC_DRAW);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        return vao;
    }

    void draw(GLuint vao, const Geometry& g)
    {
        glBindVertexArray(vao);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(g.indices.size()), GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
    }

    static void setMatrix(GLuint program, const char* name, const glm::mat4& m)
    {
        glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(m));
    }

    static void setVector(GLuint program, const char* name, const glm::vec4& v)
    {
        glUniform4fv(glGetUniformLocation(program, name), 1, glm::value_ptr(v));
    }

    static void setSampler(GLuint program, const char* name, GLuint texture, int unit)
    {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, texture);
        glUniform1i(glGetUniformLocation(program, name), unit);
    }

    // Everything the scene and an object hand a lighting program, with the camera of the pictures.
    // The maps are bound on units 1 to 3; a program that lacks a name just ignores it.
    void feedLighting(GLuint program, const Light& light, GLuint shadowMap, GLuint colourMap, GLuint normalMap,
                      const glm::mat4& model, const glm::vec4& ambient, const glm::vec4& diffuse,
                      const glm::vec4& specular)
    {
        glUseProgram(program);
        setMatrix(program, "projection", cameraProjection);
        setMatrix(program, "view", cameraView);
        glUniform3fv(glGetUniformLocation(program, "cameraview"), 1, glm::value_ptr(eye - glm::vec3(0)));
        setMatrix(program, "bias", biasMatrix);
        setMatrix(program, "lightview", light.view);
        setMatrix(program, "shadowprojection", light.projection);
        glUniform3fv(glGetUniformLocation(program, "lightposition"), 1, glm::value_ptr(light.position));
        setVector(program, "light_ambientcomponent", ambient);
        setVector(program, "light_diffusecomponent", diffuse);
        setVector(program, "light_specularcomponent", specular);
        glUniform1f(glGetUniformLocation(program, "specularcomponentfactor"), 5.0f);
        glUniform3fv(glGetUniformLocation(program, "cameraposition"), 1, glm::value_ptr(eye));
        setSampler(program, "shadowmap", shadowMap, 1);
        setMatrix(program, "model", model);
        setVector(program, "material_ambient", materialAmbient);
        setVector(program, "material_diffuse", materialDiffuse);
        setVector(program, "material_specular", materialSpecular);
        setSampler(program, "colormap", colourMap, 2);
        setSampler(program, "normalmap", normalMap, 3);
    }

    std::vector<GLuint> programs, textures, vertexArrays, buffers, framebuffers;
};

TEST_F(ShippedShaders, EachPairCompilesAndLinksWithTheThreeSuccessLines)
{
    for (const char* stem : {"color", "texture", "bump", "shadow", "text"}) {
        SCOPED_TRACE(stem);
        std::string vertexPath = shaderPath(std::string(stem) + ".vert");
        std::string fragmentPath = shaderPath(std::string(stem) + ".frag");
        GLuint program = 0;
        testing::internal::CaptureStdout();
        bool built = buildShaderProgram(vertexPath.c_str(), fragmentPath.c_str(), program);
        std::string report = testing::internal::GetCapturedStdout();
        if (program != 0)
            programs.push_back(program);
        EXPECT_TRUE(built);
        EXPECT_EQ(report,
                  "Shader " + vertexPath + " successful compiled\nShader " + fragmentPath
                      + " successful compiled\nProgram successful linked\n");
        EXPECT_NE(program, 0u);
    }
    EXPECT_TRUE(gltest::glErrors().empty());
}

// Every name the engine feeds must survive linking with its type, and nothing that the
// engine never sets may be read by the shaders.
TEST_F(ShippedShaders, EachProgramUsesExactlyTheNamesTheEngineFeedsWithTheirTypes)
{
    for (const Interface& expected : shippedInterfaces()) {
        SCOPED_TRACE(expected.stem);
        GLuint program = build(expected.stem);
        ASSERT_NE(program, 0u);

        std::map<std::string, GLenum> uniforms = activeUniforms(program);
        for (const Declared& d : expected.uniforms) {
            ASSERT_EQ(uniforms.count(d.name), 1u) << "uniform " << d.name << " is not active";
            EXPECT_EQ(uniforms[d.name], d.type) << "uniform " << d.name;
            EXPECT_NE(glGetUniformLocation(program, d.name.c_str()), -1) << "uniform " << d.name;
        }
        for (const auto& [name, type] : uniforms) {
            bool fed = std::any_of(expected.uniforms.begin(), expected.uniforms.end(),
                                   [&](const Declared& d) { return d.name == name; });
            EXPECT_TRUE(fed) << "uniform " << name << " is read but never set by the engine";
        }

        std::map<std::string, GLenum> attributes = activeAttributes(program);
        for (const Declared& d : expected.attributes) {
            ASSERT_EQ(attributes.count(d.name), 1u) << "attribute " << d.name << " is not active";
            EXPECT_EQ(attributes[d.name], d.type) << "attribute " << d.name;
            EXPECT_NE(glGetAttribLocation(program, d.name.c_str()), -1) << "attribute " << d.name;
        }
        EXPECT_EQ(attributes.size(), expected.attributes.size()) << "an attribute is read that nothing feeds";

        // The shadow program declares fragColor but writes only depth, which leaves the output inactive.
        if (expected.stem != "shadow") {
            EXPECT_EQ(glGetFragDataLocation(program, "fragColor"), 0);
        }
    }
    EXPECT_TRUE(gltest::glErrors().empty());
}

// A 4 by 4 square on the ground, lit from 200 units straight above, under a shadow map whose
// half over world z < 0 holds an occluder: that half of the square (the window's upper half)
// keeps only the ambient light, the other half gets everything. Seen from straight above under a
// light straight above, the normal, the light, the reflection and the view all point up, so
// every cosine of the lighting is 1.
TEST_F(ShippedShaders, LightingProgramsShadeTheOccludedHalfWithAmbientOnly)
{
    Geometry ground = square(glm::vec3(0), glm::vec3(2, 0, 0), glm::vec3(0, 0, 2), glm::vec3(0, 1, 0));
    // 64 texels cover 8 units along t (world x) and 10.7 along s (world z) at the ground.
    Light light = lightAt(glm::vec3(0, 200, 0), glm::vec3(0), fovFor(4, 200), 195, 220);
    const int mapSize = 64;
    std::vector<float> halfOccluded(mapSize * mapSize, 1.0f);
    for (int t = 0; t < mapSize; ++t)
        for (int s = 0; s < mapSize / 2; ++s)
            halfOccluded[t * mapSize + s] = 0.1f; // the ground itself lies at depth 0.22
    GLuint shadowMap = depthTexture(mapSize, halfOccluded);
    GLuint tinted = plainTexture(255, 255, 128);
    GLuint flatNormals = plainTexture(128, 128, 255);

    for (const char* stem : {"color", "texture", "bump"}) {
        SCOPED_TRACE(stem);
        GLuint program = build(stem);
        ASSERT_NE(program, 0u);
        glm::vec3 surface = std::string(stem) == "color" ? glm::vec3(1) : glm::vec3(1, 1, 128 / 255.0f);
        glm::vec3 ambient = glm::vec3(lightAmbient) * glm::vec3(materialAmbient) * surface;
        glm::vec3 diffuse = glm::vec3(lightDiffuse) * glm::vec3(materialDiffuse) * surface;
        glm::vec3 specular = glm::vec3(lightSpecular) * glm::vec3(materialSpecular);

        GLuint vao = vertexArray(program, ground);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        feedLighting(program, light, shadowMap, tinted, flatNormals, glm::mat4(1), lightAmbient, lightDiffuse,
                     lightSpecular);
        draw(vao, ground);
        glUseProgram(0);
        glFinish();
        EXPECT_TRUE(gltest::glErrors().empty());

        // 100 pixels above and below the middle row lie 1.46 units from z = 0, 14 texels into each half.
        EXPECT_TRUE(blockIs(400, 400, 4, ambient, 3)) << "occluded half";
        EXPECT_TRUE(blockIs(480, 400, 4, ambient, 3)) << "occluded half";
        EXPECT_TRUE(blockIs(400, 200, 4, ambient + diffuse + specular, 3)) << "open half";
        EXPECT_TRUE(blockIs(320, 200, 4, ambient + diffuse + specular, 3)) << "open half";
        EXPECT_TRUE(blockIs(40, 300, 4, glm::vec3(0), 0)) << "beside the square";
    }
}

// A shadow map that is occluded everywhere says nothing about ground that lies beyond the
// light's far plane or beside the map; such ground is lit. Beside the map the edge texels
// are repeated here (clamp to edge), so only the program's own range test keeps it lit.
TEST_F(ShippedShaders, LightingProgramsLightWhatTheShadowMapDoesNotCover)
{
    Geometry ground = square(glm::vec3(0), glm::vec3(2, 0, 0), glm::vec3(0, 0, 2), glm::vec3(0, 1, 0));
    const int mapSize = 16;
    std::vector<float> occluded(mapSize * mapSize, 0.0f);
    GLuint bordered = depthTexture(mapSize, occluded);
    GLuint edged = depthTexture(mapSize, occluded, GL_CLAMP_TO_EDGE);
    GLuint whiteMap = plainTexture(255, 255, 255);
    GLuint flatNormals = plainTexture(128, 128, 255);
    // Ambient is zero here, so whatever shows is direct light: all of it, or none.
    glm::vec3 lit
        = glm::vec3(lightDiffuse) * glm::vec3(materialDiffuse) + glm::vec3(lightSpecular) * glm::vec3(materialSpecular);

    struct Case {
        const char* what;
        Light light;
        GLuint map;
    };
    const Case cases[] = {
        {"ground 200 units away, far plane at 190", lightAt(glm::vec3(0, 200, 0), glm::vec3(0), 45, 150, 190),
         bordered},
        {"ground 100 units beside the map",
         lightAt(glm::vec3(100, 200, 0), glm::vec3(100, 0, 0), fovFor(4, 200), 195, 220), edged},
    };
    for (const char* stem : {"color", "texture", "bump"}) {
        GLuint program = build(stem);
        ASSERT_NE(program, 0u);
        GLuint vao = vertexArray(program, ground);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(stem) + ": " + c.what);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            feedLighting(program, c.light, c.map, whiteMap, flatNormals, glm::mat4(1), glm::vec4(0, 0, 0, 1),
                         lightDiffuse, lightSpecular);
            draw(vao, ground);
            glUseProgram(0);
            glFinish();
            EXPECT_TRUE(gltest::glErrors().empty());
            // The light beside the map shines in at 26.6 degrees off vertical: cos 0.894 for the
            // diffuse light, and the reflection leans the same 26.6 degrees off the upward view.
            if (c.light.position.x != 0) {
                float cosine = 200.0f / std::sqrt(200.0f * 200.0f + 100.0f * 100.0f);
                float highlight = std::pow(cosine, 5.0f);
                glm::vec3 slanted = glm::vec3(lightDiffuse) * glm::vec3(materialDiffuse) * cosine
                    + glm::vec3(lightSpecular) * glm::vec3(materialSpecular) * highlight;
                EXPECT_TRUE(blockIs(400, 300, 4, slanted, 4));
                EXPECT_TRUE(blockIs(350, 380, 4, slanted, 4));
            } else {
                EXPECT_TRUE(blockIs(400, 300, 4, lit, 3));
                EXPECT_TRUE(blockIs(350, 380, 4, lit, 3));
            }
        }
    }
}

// The normal map's red axis points where u grows and its green axis where v grows. Two
// squares carry the same map, tilted 45 degrees towards +u and 45 towards +v; the left square's
// v runs along +z, the right one's is mirrored to run along -z (negative handedness). Lit from
// the direction the left square's bumped normal takes, (0.5, 0.707, 0.5), the left square gets
// the full diffuse light and the right one's normal (0.5, 0.707, -0.5) gets cos 60 = 0.5 of it.
TEST_F(ShippedShaders, BumpProgramTurnsTheNormalMapIntoTheSurfacesTangentFrame)
{
    GLuint program = build("bump");
    ASSERT_NE(program, 0u);
    Geometry left = square(glm::vec3(-1.2f, 0, 0), glm::vec3(1, 0, 0), glm::vec3(0, 0, 1), glm::vec3(0, 1, 0));
    Geometry right = square(glm::vec3(1.2f, 0, 0), glm::vec3(1, 0, 0), glm::vec3(0, 0, -1), glm::vec3(0, 1, 0));
    ASSERT_EQ(left.tangents[0].w, -1.0f);
    ASSERT_EQ(right.tangents[0].w, 1.0f);
    GLuint leftVao = vertexArray(program, left);
    GLuint rightVao = vertexArray(program, right);
    // (0.5, 0.5, 0.707) in the map's 0..255 encoding.
    GLuint tiltedNormals = plainTexture(191, 191, 218);
    GLuint whiteMap = plainTexture(255, 255, 255);
    GLuint unlit = depthTexture(1, {1.0f});
    Light light = lightAt(glm::vec3(100, 141.42f, 100), glm::vec3(0), 45, 195, 220);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    feedLighting(program, light, unlit, whiteMap, tiltedNormals, glm::mat4(1), lightAmbient, lightDiffuse,
                 glm::vec4(0, 0, 0, 1));
    draw(leftVao, left);
    draw(rightVao, right);
    glUseProgram(0);
    glFinish();
    EXPECT_TRUE(gltest::glErrors().empty());

    glm::vec3 ambient = glm::vec3(lightAmbient) * glm::vec3(materialAmbient);
    glm::vec3 diffuse = glm::vec3(lightDiffuse) * glm::vec3(materialDiffuse);
    EXPECT_TRUE(blockIs(318, 300, 6, ambient + diffuse, 3)) << "left square";
    EXPECT_TRUE(blockIs(482, 300, 6, ambient + 0.5f * diffuse, 3)) << "right square";
}

// The whole shadow path: the shadow program renders a square tilted 45 degrees and a small
// square floating above it into a 1024 map, then the bump program draws the tilted square alone.
// The floating square's shadow keeps only the ambient light; the rest of the tilted square,
// which compares against its own stored depth, is evenly lit without acne.
TEST_F(ShippedShaders, ShadowPassAndBumpProgramCastAShadowWithoutAcne)
{
    GLuint shadowProgram = build("shadow");
    GLuint bumpProgram = build("bump");
    ASSERT_NE(shadowProgram, 0u);
    ASSERT_NE(bumpProgram, 0u);

    Geometry flat = square(glm::vec3(0), glm::vec3(2, 0, 0), glm::vec3(0, 0, 2), glm::vec3(0, 1, 0));
    // Turned about z, the tilted square rises along +x: it holds the points (x, x, z).
    glm::mat4 tilted = glm::rotate(glm::mat4(1), glm::radians(45.0f), glm::vec3(0, 0, 1));
    // 0.3 units either side, one unit above the origin.
    glm::mat4 floating = glm::scale(glm::translate(glm::mat4(1), glm::vec3(0, 1, 0)), glm::vec3(0.15f));
    // The map spans 5 units along world x at the ground; a texel is 0.005 units wide.
    Light light = lightAt(glm::vec3(0, 200, 0), glm::vec3(0), fovFor(2.5f, 200), 195, 220);

    const int mapSize = 1024;
    GLuint shadowMap = depthTexture(mapSize, {});
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    framebuffers.push_back(framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, shadowMap, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));

    // Culling stays off: the tilted square's lit face itself goes into the map, the hardest case for acne.
    glViewport(0, 0, mapSize, mapSize);
    glClear(GL_DEPTH_BUFFER_BIT);
    glUseProgram(shadowProgram);
    setMatrix(shadowProgram, "view", light.view);
    setMatrix(shadowProgram, "projection", light.projection);
    GLuint depthVao = vertexArray(shadowProgram, flat);
    setMatrix(shadowProgram, "model", tilted);
    draw(depthVao, flat);
    setMatrix(shadowProgram, "model", floating);
    draw(depthVao, flat);
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glViewport(0, 0, 800, 600);
    EXPECT_TRUE(gltest::glErrors().empty());

    GLuint whiteMap = plainTexture(255, 255, 255);
    GLuint flatNormals = plainTexture(128, 128, 255);
    GLuint vao = vertexArray(bumpProgram, flat);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    feedLighting(bumpProgram, light, shadowMap, whiteMap, flatNormals, tilted, lightAmbient, lightDiffuse,
                 lightSpecular);
    setVector(bumpProgram, "material_ambient", white);
    setVector(bumpProgram, "material_diffuse", white);
    setVector(bumpProgram, "material_specular", white);
    draw(vao, flat);
    glUseProgram(0);
    glFinish();
    EXPECT_TRUE(gltest::glErrors().empty());

    // The tilted normal meets the light at 45 degrees; its reflection runs sideways, away from
    // the eye above, so no highlight shows.
    glm::vec3 ambient(lightAmbient);
    glm::vec3 lit = ambient + glm::vec3(lightDiffuse) * std::sqrt(0.5f);
    // The shadow covers |x|, |z| < 0.3, about 20 pixels either side of the middle.
    EXPECT_TRUE(blockIs(400, 300, 10, ambient, 3)) << "under the floating square";
    int acne = 0;
    std::vector<unsigned char> pixels = gltest::readPixels(320, 190, 161, 221);
    for (int row = 0; row < 221; ++row) {
        for (int col = 0; col < 161; ++col) {
            if (std::abs(col - 80) < 30 && std::abs(row - 110) < 30)
                continue;
            const unsigned char* p = &pixels[3 * (row * 161 + col)];
            for (int c = 0; c < 3; ++c) {
                if (std::abs(p[c] - std::lround(lit[c] * 255)) > 4) {
                    ++acne;
                    break;
                }
            }
        }
    }
    EXPECT_EQ(acne, 0) << "pixels of the open tilted square that are not fully lit";
}

// The end-screen quad: the image's first row (t = 0) along the top of the window, its first
// column on the left, the quad filling the height and the middle 79 percent of the width.
TEST_F(ShippedShaders, TextProgramDrawsTheImageUprightAcrossTheWindow)
{
    GLuint program = build("text");
    ASSERT_NE(program, 0u);
    // Rows in upload order: red, green on the first; blue, white on the second.
    GLuint image = colourTexture(2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}, GL_NEAREST);
    Geometry quad;
    quad.vertices = {{-1, -1, 0, 1}, {-1, 1, 0, 1}, {1, 1, 0, 1}, {1, -1, 0, 1}};
    quad.texCoords = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    quad.indices = {0, 2, 1, 0, 3, 2};
    GLuint vao = vertexArray(program, quad);

    // The end screen is drawn with back faces culled, like the rest of the game.
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(program);
    setMatrix(program, "view", glm::translate(glm::mat4(1), glm::vec3(0, 0, -3)));
    setMatrix(program, "projection", glm::perspective(glm::radians(35.0f), 4.0f / 3.0f, 0.1f, 10.0f));
    setSampler(program, "texturemap", image, 4);
    draw(vao, quad);
    glUseProgram(0);
    glFinish();
    EXPECT_TRUE(gltest::glErrors().empty());

    EXPECT_TRUE(blockIs(250, 450, 3, glm::vec3(1, 0, 0), 0)) << "top left";
    EXPECT_TRUE(blockIs(550, 450, 3, glm::vec3(0, 1, 0), 0)) << "top right";
    EXPECT_TRUE(blockIs(250, 150, 3, glm::vec3(0, 0, 1), 0)) << "bottom left";
    EXPECT_TRUE(blockIs(550, 150, 3, glm::vec3(1, 1, 1), 0)) << "bottom right";
    // The quad's sides fall at columns 83 and 717; the top and bottom rows are covered.
    EXPECT_TRUE(blockIs(60, 300, 3, glm::vec3(0), 0)) << "left strip";
    EXPECT_TRUE(blockIs(740, 300, 3, glm::vec3(0), 0)) << "right strip";
    EXPECT_TRUE(blockIs(100, 596, 3, glm::vec3(1, 0, 0), 0)) << "top edge";
    EXPECT_TRUE(blockIs(700, 3, 3, glm::vec3(1, 1, 1), 0)) << "bottom edge";
}

} // namespace
