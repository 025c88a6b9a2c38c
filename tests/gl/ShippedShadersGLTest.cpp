#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include "app/Camera.h"
#include "app/Globals.h"
#include "app/Light.h"
#include "objects/ModelImport.h"
#include "objects/TextureLibrary.h"
#include "render/GlHandle.h"
#include "render/Scene.h"
#include "tests/ObjFiles.h"
#include "tests/gl/AssetTree.h"
#include "tests/gl/GLContext.h"

// The shipped programs, fed by the scene's own uniform uploads and drawn by the objects'
// own draws, on squares read by the model import.

namespace {

const glm::vec4 lightAmbient(0.2f, 0.1f, 0.05f, 1);
const glm::vec4 lightDiffuse(0.5f, 0.4f, 0.3f, 1);
const glm::vec4 lightSpecular(0.2f, 0.3f, 0.4f, 1);
const glm::vec4 materialAmbient(1, 0.5f, 1, 1);
const glm::vec4 materialDiffuse(0.5f, 1, 1, 1);
const glm::vec4 materialSpecular(1, 1, 0.5f, 1);
const glm::vec4 black(0, 0, 0, 1);

// Images of the tree: 0 a tinted colour map (255, 255, 128), 2 a white one; 1 a flat normal
// map, 3 one tilted to (0.5, 0.5, 0.707).
constexpr int tinted = 0, flatNormals = 1, white = 2, tiltedNormals = 3;

// The pictures are taken from 100 units straight above the origin with a narrow lens, so
// the view direction is almost exactly straight down everywhere: 4.37 units of height fill the
// window's 600 rows (68.7 pixels per unit), window right is world +x and window up is world -z.
const glm::vec3 eye(0, 100, 0);

// A square of side 4 on the ground, facing up.
const objfile::Quad ground = objfile::floor(2);

struct LightLens {
    glm::vec3 position;
    glm::mat4 view;
    glm::mat4 projection;
};

// The light looks at `target`; like the game's, its up is +x, so the shadow map's t axis runs
// along world +x and its s axis along world +z when the light looks straight down.
LightLens lightAt(glm::vec3 position, glm::vec3 target, float fovDegrees, float near, float far)
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
    static void SetUpTestSuite()
    {
        tree = std::make_unique<gltest::AssetTree>(
            gltest::greyImages(255, {{tinted, {255, 255, 128}}, {tiltedNormals, {191, 191, 218}}}));
        tree->enter();
        objfile::Writer().quad(ground).save("models/level.obj");
        std::string output;
        scene = gltest::startScene(&output);
        testing::internal::CaptureStdout();
        scene->createShadowMap();
        output += testing::internal::GetCapturedStdout();
        tree->leave();
        gameShadowMap = scene->shadowMapTexture;
        ready = programLinkedAll();
        if (!ready)
            std::cerr << output;
    }

    static bool programLinkedAll()
    {
        return scene->colorProgram && scene->textureProgram && scene->bumpProgram && scene->shadowProgram;
    }

    static void TearDownTestSuite()
    {
        glDeleteFramebuffers(1, &scene->shadowFramebuffer);
        glDeleteTextures(1, &gameShadowMap);
        gltest::stopScene(scene);
    }

    void SetUp() override
    {
        ASSERT_TRUE(ready);
        gltest::glErrors();
        glViewport(0, 0, 800, 600);
        glDisable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 0);
        // The camera of the pictures.
        scene->projection = glm::perspective(glm::radians(5.0f), 4.0f / 3.0f, 5.0f, 250.0f);
        scene->view = glm::lookAt(eye, glm::vec3(0), glm::vec3(0, 0, -1));
        scene->cameraView = eye;
        ::camera->position = eye;
    }

    void TearDown() override
    {
        glDisable(GL_DEPTH_TEST);
        glViewport(0, 0, 800, 600);
        glDeleteTextures(static_cast<GLsizei>(depthMaps.size()), depthMaps.data());
        gltest::glErrors();
    }

    // The quads as one mesh of the model import, with the object kind the program draws
    // with: a TexturedObject for the colour and texture programs, a BumpMappedObject for
    // the bump program.
    template <class T>
    std::unique_ptr<T> load(GLuint program, std::initializer_list<objfile::Quad> quads, int colourMap = white,
                            int normalMap = flatNormals)
    {
        objfile::Writer obj;
        for (const objfile::Quad& q : quads)
            obj.quad(q);
        obj.save(tree->dir + "/models/squares.obj");
        testing::internal::CaptureStdout();
        ImportedMeshes m = importMeshes(tree->dir + "/models/squares.obj");
        testing::internal::GetCapturedStdout();
        auto object = std::make_unique<T>(program, scene->shadowProgram, m.numMeshes);
        object->vertices = m.vertices;
        object->normals = m.normals;
        object->texCoords = m.texCoords;
        object->indices = m.indices;
        object->numVertices = object->numNormals = object->numTexCoords = m.numVertices;
        object->numFaces = m.numFaces;
        object->materialAmbient = materialAmbient;
        object->materialDiffuse = materialDiffuse;
        object->materialSpecular = materialSpecular;
        object->colorTextures.assign(m.numMeshes, scene->textureLibrary->textures[colourMap].get());
        if constexpr (std::is_same_v<T, BumpMappedObject>) {
            object->normalTextures.assign(m.numMeshes, scene->textureLibrary->textures[normalMap].get());
            object->tangents.resize(m.numMeshes);
            computeTangents(*object, 0);
        }
        object->initBuffers();
        return object;
    }

    // A depth texture set up like the game's shadow map: linear filtering, no comparison mode,
    // and (unless `wrap` says otherwise) a border of depth 1 around it.
    GLuint depthMap(int size, const std::vector<float>& depths, GLenum wrap = GL_CLAMP_TO_BORDER)
    {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        depthMaps.push_back(texture);
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

    // The light and its shadow map as the scene hands them to every lighting program.
    static void useLight(const LightLens& lens, GLuint shadowMap, glm::vec4 ambient, glm::vec4 diffuse,
                         glm::vec4 specular)
    {
        scene->lightView = lens.view;
        scene->shadowProjection = lens.projection;
        scene->shadowMapTexture = shadowMap;
        ::light->position = lens.position;
        ::light->ambient = ambient;
        ::light->diffuse = diffuse;
        ::light->specular = specular;
        scene->uploadLightingUniforms();
    }

    // Clears, draws the objects and checks that no GL error was raised and no program is left in use.
    template <class... Objects> static void drawAlone(Objects&... objects)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        (objects.draw(true), ...);
        glFinish();
        GLint current = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        EXPECT_EQ(current, 0) << "a draw leaves its program in use";
        EXPECT_TRUE(gltest::glErrors().empty());
    }

    // The ground square with the object kind each lighting program draws with.
    std::unique_ptr<TexturedObject> groundFor(const std::string& stem, int colourMap)
    {
        if (stem == "color")
            return load<TexturedObject>(scene->colorProgram, {ground}, colourMap);
        if (stem == "texture")
            return load<TexturedObject>(scene->textureProgram, {ground}, colourMap);
        return load<BumpMappedObject>(scene->bumpProgram, {ground}, colourMap);
    }

    static inline std::unique_ptr<gltest::AssetTree> tree;
    static inline Scene* scene = nullptr;
    static inline GLuint gameShadowMap = 0;
    static inline bool ready = false;
    std::vector<GLuint> depthMaps;
};

// A 4 by 4 square on the ground, lit from 200 units straight above, under a shadow map whose
// half over world z < 0 holds an occluder: that half of the square (the window's upper half)
// keeps only the ambient light, the other half gets everything. Seen from straight above under a
// light straight above, the normal, the light, the reflection and the view all point up, so
// every cosine of the lighting is 1.
TEST_F(ShippedShaders, LightingProgramsShadeTheOccludedHalfWithAmbientOnly)
{
    // 64 texels cover 8 units along t (world x) and 10.7 along s (world z) at the ground.
    LightLens lens = lightAt(glm::vec3(0, 200, 0), glm::vec3(0), fovFor(4, 200), 195, 220);
    const int mapSize = 64;
    std::vector<float> halfOccluded(mapSize * mapSize, 1.0f);
    for (int t = 0; t < mapSize; ++t)
        for (int s = 0; s < mapSize / 2; ++s)
            halfOccluded[t * mapSize + s] = 0.1f; // the ground itself lies at depth 0.22
    GLuint shadowMap = depthMap(mapSize, halfOccluded);

    for (const char* stem : {"color", "texture", "bump"}) {
        SCOPED_TRACE(stem);
        glm::vec3 surface = std::string(stem) == "color" ? glm::vec3(1) : glm::vec3(1, 1, 128 / 255.0f);
        glm::vec3 ambient = glm::vec3(lightAmbient) * glm::vec3(materialAmbient) * surface;
        glm::vec3 diffuse = glm::vec3(lightDiffuse) * glm::vec3(materialDiffuse) * surface;
        glm::vec3 specular = glm::vec3(lightSpecular) * glm::vec3(materialSpecular);

        std::unique_ptr<TexturedObject> square = groundFor(stem, tinted);
        useLight(lens, shadowMap, lightAmbient, lightDiffuse, lightSpecular);
        drawAlone(*square);

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
    std::vector<float> occluded(16 * 16, 0.0f);
    GLuint bordered = depthMap(16, occluded);
    GLuint edged = depthMap(16, occluded, GL_CLAMP_TO_EDGE);
    // Ambient is zero here, so whatever shows is direct light: all of it, or none.
    glm::vec3 lit
        = glm::vec3(lightDiffuse) * glm::vec3(materialDiffuse) + glm::vec3(lightSpecular) * glm::vec3(materialSpecular);
    // The light beside the map shines in at 26.6 degrees off vertical: cos 0.894 for the
    // diffuse light, and the reflection leans the same 26.6 degrees off the upward view.
    float cosine = 200.0f / std::sqrt(200.0f * 200.0f + 100.0f * 100.0f);
    glm::vec3 slanted = glm::vec3(lightDiffuse) * glm::vec3(materialDiffuse) * cosine
        + glm::vec3(lightSpecular) * glm::vec3(materialSpecular) * std::pow(cosine, 5.0f);

    struct Case {
        const char* what;
        LightLens lens;
        GLuint map;
        glm::vec3 expected;
        int tolerance;
    };
    const Case cases[] = {
        {"ground 200 units away, far plane at 190", lightAt(glm::vec3(0, 200, 0), glm::vec3(0), 45, 150, 190), bordered,
         lit, 3},
        {"ground 100 units beside the map",
         lightAt(glm::vec3(100, 200, 0), glm::vec3(100, 0, 0), fovFor(4, 200), 195, 220), edged, slanted, 4},
    };
    for (const char* stem : {"color", "texture", "bump"}) {
        std::unique_ptr<TexturedObject> square = groundFor(stem, white);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(stem) + ": " + c.what);
            useLight(c.lens, c.map, black, lightDiffuse, lightSpecular);
            drawAlone(*square);
            EXPECT_TRUE(blockIs(400, 300, 4, c.expected, c.tolerance));
            EXPECT_TRUE(blockIs(350, 380, 4, c.expected, c.tolerance));
        }
    }
}

// The normal map's red axis points where u grows and its green axis where v grows, as the
// model import gives them (it flips v). Two squares carry the same map, tilted 45 degrees
// towards +u and 45 towards +v. On the left square u runs along +x and v along +z, so lit
// from the direction its bumped normal takes, (0.5, 0.707, 0.5), it gets the full diffuse
// light. The right square is mirrored twice, u along -x and v along -z: its normal
// (-0.5, 0.707, -0.5) stands at right angles to the light and keeps only the ambient.
TEST_F(ShippedShaders, BumpProgramTurnsTheNormalMapIntoTheSurfacesTangentFrame)
{
    auto squares = load<BumpMappedObject>(scene->bumpProgram,
                                          {{glm::vec3(-1.2f, 0, 0), glm::vec3(1, 0, 0), glm::vec3(0, 0, -1)},
                                           {glm::vec3(1.2f, 0, 0), glm::vec3(-1, 0, 0), glm::vec3(0, 0, 1)}},
                                          white, tiltedNormals);
    LightLens lens = lightAt(glm::vec3(100, 141.42f, 100), glm::vec3(0), 45, 195, 220);
    useLight(lens, depthMap(1, {1.0f}), lightAmbient, lightDiffuse, black);
    drawAlone(*squares);

    glm::vec3 ambient = glm::vec3(lightAmbient) * glm::vec3(materialAmbient);
    glm::vec3 diffuse = glm::vec3(lightDiffuse) * glm::vec3(materialDiffuse);
    EXPECT_TRUE(blockIs(318, 300, 6, ambient + diffuse, 3)) << "left square";
    EXPECT_TRUE(blockIs(482, 300, 6, ambient, 3)) << "right square";
}

// The whole shadow path: the shadow program renders a square tilted 45 degrees and a small
// square floating above it into a 1024 map, then the bump program draws the tilted square alone.
// The floating square's shadow keeps only the ambient light; the rest of the tilted square,
// which compares against its own stored depth, is evenly lit without acne.
TEST_F(ShippedShaders, ShadowPassAndBumpProgramCastAShadowWithoutAcne)
{
    auto square = load<BumpMappedObject>(scene->bumpProgram, {ground});
    square->materialAmbient = square->materialDiffuse = square->materialSpecular = glm::vec4(1);
    // Turned about z, the tilted square rises along +x: it holds the points (x, x, z).
    glm::mat4 tilted = glm::rotate(glm::mat4(1), glm::radians(45.0f), glm::vec3(0, 0, 1));
    // 0.3 units either side, one unit above the origin.
    glm::mat4 floating = glm::scale(glm::translate(glm::mat4(1), glm::vec3(0, 1, 0)), glm::vec3(0.15f));
    // The map spans 5 units along world x at the ground; a texel is 0.005 units wide.
    LightLens lens = lightAt(glm::vec3(0, 200, 0), glm::vec3(0), fovFor(2.5f, 200), 195, 220);

    const int mapSize = 1024;
    GLuint shadowMap = depthMap(mapSize, {});
    GLuint name = 0;
    glGenFramebuffers(1, &name);
    FramebufferHandle framebuffer(name);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.get());
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, shadowMap, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));

    // Culling stays off: the tilted square's lit face itself goes into the map, the hardest case for acne.
    glViewport(0, 0, mapSize, mapSize);
    glClear(GL_DEPTH_BUFFER_BIT);
    glUseProgram(scene->shadowProgram);
    glUniformMatrix4fv(scene->shadowUniforms[Scene::View], 1, GL_FALSE, glm::value_ptr(lens.view));
    glUniformMatrix4fv(scene->shadowUniforms[Scene::Projection], 1, GL_FALSE, glm::value_ptr(lens.projection));
    for (const glm::mat4& placed : {tilted, floating}) {
        square->modelMatrix = placed;
        square->drawDepth(true);
    }
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glViewport(0, 0, 800, 600);
    EXPECT_TRUE(gltest::glErrors().empty());

    square->modelMatrix = tilted;
    useLight(lens, shadowMap, lightAmbient, lightDiffuse, lightSpecular);
    drawAlone(*square);

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

} // namespace
