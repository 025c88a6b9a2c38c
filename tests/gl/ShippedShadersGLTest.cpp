#include <cmath>
#include <tuple>
#include <type_traits>

#include "render/Screen.h"
#include "tests/gl/AssetTree.h"

// The shipped programs, fed by the scene's own uniform uploads and drawn by the objects'
// own draws, on squares read by the model import.

namespace {

const glm::vec4 lightAmbient(0.2f, 0.1f, 0.05f, 1), lightDiffuse(0.5f, 0.4f, 0.3f, 1),
    lightSpecular(0.2f, 0.3f, 0.4f, 1);
const glm::vec4 materialAmbient(1, 0.5f, 1, 1), materialDiffuse(0.5f, 1, 1, 1), materialSpecular(1, 1, 0.5f, 1);
const glm::vec4 black(0, 0, 0, 1);
// Each part of the light on a white surface, with every cosine 1.
const glm::vec3 ambientPart = glm::vec3(lightAmbient) * glm::vec3(materialAmbient);
const glm::vec3 diffusePart = glm::vec3(lightDiffuse) * glm::vec3(materialDiffuse);
const glm::vec3 specularPart = glm::vec3(lightSpecular) * glm::vec3(materialSpecular);

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

// Whether the pixels within `half` of (x, y) show `expected`, a colour of 0 to 1.
testing::AssertionResult shows(int x, int y, int half, glm::vec3 expected, int tolerance)
{
    return gltest::pixelsNear(x, y, glm::clamp(expected, 0.0f, 1.0f) * 255.0f, tolerance, half);
}

class ShippedShaders : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        tree = std::make_unique<gltest::AssetTree>(
            gltest::greyImages(255, {{tinted, {255, 255, 128}}, {tiltedNormals, {191, 191, 218}}}));
        tree->enter();
        objfile::Writer().quad(ground).save("models/level.obj");
        scene = gltest::startScene(&output);
        output += gltest::printedBy([] { scene->createShadowMap(); });
        tree->leave();
        gameShadowMap = scene->shadowMapTexture;
        ready = scene->colorProgram && scene->textureProgram && scene->bumpProgram && scene->shadowProgram;
        // The camera of the pictures.
        scene->projection = glm::perspective(glm::radians(5.0f), 4.0f / 3.0f, 5.0f, 250.0f);
        scene->view = glm::lookAt(eye, glm::vec3(0), glm::vec3(0, 0, -1));
        scene->cameraView = ::camera->position = eye;
    }

    static void TearDownTestSuite() { gltest::stopScene(scene); }

    void TearDown() override
    {
        if (scene->renderPath.software)
            buildProgramsFor(false);
        glDisable(GL_DEPTH_TEST);
        gltest::glErrors();
    }

    void SetUp() override
    {
        ASSERT_TRUE(ready) << output;
        gltest::glErrors();
        glDisable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 0);
    }

    // The quads as one mesh of the model import, with the object kind the program draws with: a TexturedObject for the
    // colour and texture programs, a BumpMappedObject for the bump program.
    template <class T>
    std::unique_ptr<T> load(GLuint program, std::initializer_list<objfile::Quad> quads, int colourMap = white,
                            int normalMap = flatNormals)
    {
        objfile::Writer obj;
        for (const objfile::Quad& q : quads)
            obj.quad(q);
        obj.save(tree->dir + "/models/squares.obj");
        ImportedMeshes m;
        gltest::printedBy([&] { m = importMeshes(tree->dir + "/models/squares.obj"); });
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

    // The ground square with the object kind each lighting program draws with.
    std::unique_ptr<TexturedObject> groundFor(const std::string& stem, int colourMap)
    {
        if (stem == "bump")
            return load<BumpMappedObject>(scene->bumpProgram, {ground}, colourMap);
        return load<TexturedObject>(stem == "color" ? scene->colorProgram : scene->textureProgram, {ground}, colourMap);
    }

    // A depth texture of `size` squared texels; the scene's sampler, bound with it, supplies
    // the game's filtering, comparison and border.
    GLuint depthMap(int size, const std::vector<float>& depths)
    {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, size, size, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                     depths.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return texture;
    }

    // 200 units straight above the origin; its 64-texel maps cover 8 units along t (world x)
    // and 10.7 along s (world z) at the ground.
    static LightLens lightOverTheOrigin()
    {
        return lightAt(glm::vec3(0, 200, 0), glm::vec3(0), fovFor(4, 200), 195, 220);
    }

    // A 64-texel map whose columns 0 to 31 (world z < 0 under lightOverTheOrigin) hold an
    // occluder at `depth`; the ground itself lies at depth 0.22.
    GLuint halfOccludedMap(float occluderDepth = 0.1f)
    {
        const int mapSize = 64;
        std::vector<float> depths(mapSize * mapSize, 1.0f);
        for (int i = 0; i < mapSize * mapSize; ++i)
            if (i % mapSize < mapSize / 2)
                depths[i] = occluderDepth;
        return depthMap(mapSize, depths);
    }

    // The lighting programs as the render path builds them: on the software path the shadow
    // lookups of faces turned away from the light run too, aimed at the map's corner.
    static void buildProgramsFor(bool software)
    {
        scene->renderPath.software = software;
        tree->enter();
        std::string printed = gltest::printedBy([] {
            scene->loadShaders();
            scene->lookUpUniforms();
        });
        tree->leave();
        // A failed build keeps the programs of the other path, which would pass for these.
        EXPECT_EQ(printed.find("fail"), std::string::npos) << printed;
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

    // Clears, draws the object and checks that no GL error was raised and no program is left in use.
    static void drawAlone(Object& object)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        object.draw(true);
        GLint current = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        EXPECT_EQ(current, 0) << "a draw leaves its program in use";
        EXPECT_TRUE(gltest::glErrors().empty());
    }

    static inline std::unique_ptr<gltest::AssetTree> tree;
    static inline Scene* scene = nullptr;
    static inline GLuint gameShadowMap = 0;
    static inline bool ready = false;
    static inline std::string output;
};

// A 4 by 4 square on the ground, lit from 200 units straight above, under a shadow map whose
// half over world z < 0 holds an occluder: that half of the square (the window's upper half)
// keeps only the ambient light, the other half gets everything. Seen from straight above under a
// light straight above, the normal, the light, the reflection and the view all point up, so
// every cosine of the lighting is 1, the highlight's too.
// Where a wall meets the ground the occluder stands a hair above what it shadows: at 0.05 units
// above the ground, 199.95 below the light, the map stores ((f + n) / (f - n) - 2fn / ((f - n) d)
// + 1) / 2 = 0.217855 against the ground's 0.220000. The ground faces the light squarely, so the
// offset against acne is only the constant one for the map's 24-bit rounding, far below 0.0021.
TEST_F(ShippedShaders, LightingProgramsShadeTheOccludedHalfWithAmbientOnlyOnBothPaths)
{
    LightLens lens = lightOverTheOrigin();
    for (float occluder : {0.1f, 0.217855f}) {
        GLuint shadowMap = halfOccludedMap(occluder);
        // The tinted map on the far occluder, the white one on the close one.
        int colourMap = occluder < 0.2f ? tinted : white;
        for (bool software : {false, true}) {
            buildProgramsFor(software);
            for (const char* stem : {"color", "texture", "bump"}) {
                SCOPED_TRACE(std::string(stem) + (software ? ", software path" : ", hardware path") + ", occluder at "
                             + std::to_string(occluder));
                glm::vec3 surface
                    = std::string(stem) == "color" || colourMap == white ? glm::vec3(1) : glm::vec3(1, 1, 128 / 255.0f);
                std::unique_ptr<TexturedObject> square = groundFor(stem, colourMap);
                useLight(lens, shadowMap, lightAmbient, lightDiffuse, lightSpecular);
                drawAlone(*square);

                // The blocks lie 50 to 110 pixels (0.7 to 1.6 units) above and below the middle row, 4 to 10
                // texels into each half of the map.
                glm::vec3 lit = (ambientPart + diffusePart) * surface + specularPart;
                EXPECT_TRUE(shows(430, 380, 30, ambientPart * surface, 3)) << "occluded half";
                EXPECT_TRUE(shows(370, 220, 30, lit, 3)) << "open half";
                EXPECT_TRUE(shows(40, 300, 4, glm::vec3(0), 0)) << "beside the square";
            }
        }
    }
}

// The shadow's edge is soft: each of the 3 x 3 texels around the fragment's own is compared
// with the fragment's depth and weighed by a tent, so across the edge between map columns 31
// (occluded) and 32 the lit part rises evenly from 0 at column 31's start to 1 at column 33's,
// by a half per texel. The map's 6 texels per unit along world z put column 32's start, the
// middle of the ramp, on the window's middle row; each row is 6 / 68.7 of a texel. A single
// comparison would rise in one texel and a 3 x 3 box in steps of a third.
TEST_F(ShippedShaders, LightingProgramsRampTheShadowsEdgeOverTwoTexels)
{
    LightLens lens = lightOverTheOrigin();
    GLuint shadowMap = halfOccludedMap();
    const float pixelsPerUnit = 600.0f / (2.0f * 100.0f * std::tan(glm::radians(2.5f)));

    for (const char* stem : {"color", "texture", "bump"}) {
        SCOPED_TRACE(stem);
        std::unique_ptr<TexturedObject> square = groundFor(stem, white);
        useLight(lens, shadowMap, lightAmbient, lightDiffuse, lightSpecular);
        drawAlone(*square);
        for (int row = 288; row <= 312; row += 4) {
            // Window up is world -z; the pixel's centre is half a row above its bottom.
            float z = (300.0f - (static_cast<float>(row) + 0.5f)) / pixelsPerUnit;
            float column = 32.0f + 6.0f * z;
            float lit = glm::clamp((column - 31.0f) / 2.0f, 0.0f, 1.0f);
            // Within a row the ramp moves by 0.04, which with rounding stays within 5.
            EXPECT_TRUE(shows(400, row, 0, ambientPart + lit * (diffusePart + specularPart), 5))
                << "row " << row << ", lit part " << lit;
        }
    }
}

// A shadow map that is occluded everywhere says nothing about ground that lies beyond the light's far plane or beside
// the map; such ground is lit. Ground lit from behind gets no direct light at all.
TEST_F(ShippedShaders, LightingProgramsLightWhatTheShadowMapDoesNotCoverAndNotTheBackOfAFace)
{
    GLuint occluded = depthMap(16, std::vector<float>(16 * 16, 0.0f));
    // The light beside the map shines in at 26.6 degrees off vertical: cos 0.894 for the
    // diffuse light, and the reflection leans the same 26.6 degrees off the upward view.
    float cosine = 200.0f / std::sqrt(200.0f * 200.0f + 100.0f * 100.0f);
    struct Case {
        const char* what;
        LightLens lens;
        glm::vec3 expected;
        int tolerance;
    };
    // Ambient is zero here, so whatever shows is direct light: all of it, or none.
    const Case cases[] = {
        {"ground 200 units away, far plane at 190", lightAt(glm::vec3(0, 200, 0), glm::vec3(0), 45, 150, 190),
         diffusePart + specularPart, 3},
        {"ground 100 units beside the map",
         lightAt(glm::vec3(100, 200, 0), glm::vec3(100, 0, 0), fovFor(4, 200), 195, 220),
         diffusePart * cosine + specularPart * std::pow(cosine, 5.0f), 4},
        {"light 200 units below the ground, far plane at 190",
         lightAt(glm::vec3(0, -200, 0), glm::vec3(0), 45, 150, 190), glm::vec3(0), 0},
    };
    for (const char* stem : {"color", "texture", "bump"}) {
        std::unique_ptr<TexturedObject> square = groundFor(stem, white);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(stem) + ": " + c.what);
            useLight(c.lens, occluded, black, lightDiffuse, lightSpecular);
            drawAlone(*square);
            EXPECT_TRUE(shows(375, 340, 40, c.expected, c.tolerance));
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
    EXPECT_TRUE(shows(318, 300, 6, ambientPart + diffusePart, 3)) << "left square";
    EXPECT_TRUE(shows(482, 300, 6, ambientPart, 3)) << "right square";
}

// The whole shadow path: the scene's shadow pass renders a square tilted 45 degrees and a
// small square floating above it into the game's map, then the bump program draws the tilted
// square alone. The floating square's shadow keeps only the ambient light; the rest of the
// tilted square, which compares against its own stored depth, is evenly lit without acne.
TEST_F(ShippedShaders, ShadowPassAndBumpProgramCastAShadowWithoutAcne)
{
    auto tilted = load<BumpMappedObject>(scene->bumpProgram, {ground});
    auto floating = load<BumpMappedObject>(scene->bumpProgram, {ground});
    tilted->materialAmbient = tilted->materialDiffuse = tilted->materialSpecular = glm::vec4(1);
    // Turned about z, the tilted square rises along +x: it holds the points (x, x, z).
    tilted->modelMatrix = glm::rotate(glm::mat4(1), glm::radians(45.0f), glm::vec3(0, 0, 1));
    // 0.3 units either side, one unit above the origin.
    floating->modelMatrix = glm::scale(glm::translate(glm::mat4(1), glm::vec3(0, 1, 0)), glm::vec3(0.15f));
    // The map spans 5 units along world x at the ground.
    LightLens lens = lightAt(glm::vec3(0, 200, 0), glm::vec3(0), fovFor(2.5f, 200), 195, 220);
    scene->lightView = lens.view;
    scene->shadowProjection = lens.projection;
    // Culling is off: the tilted square's lit face itself goes into the map, the hardest case for acne.
    scene->objects = {tilted.get(), floating.get()};
    scene->renderShadowPass();
    scene->objects.clear();
    glViewport(0, 0, screen::width, screen::height);
    useLight(lens, gameShadowMap, lightAmbient, lightDiffuse, lightSpecular);
    drawAlone(*tilted);

    // The tilted normal meets the light at 45 degrees; its reflection runs sideways, away from
    // the eye above, so no highlight shows.
    glm::vec3 ambient(lightAmbient);
    glm::vec3 lit = ambient + glm::vec3(lightDiffuse) * std::sqrt(0.5f);
    // The shadow covers |x|, |z| < 0.3, about 20 pixels either side of the middle; the open
    // square around it, in six blocks, stays within 4 of the lit colour.
    EXPECT_TRUE(shows(400, 300, 10, ambient, 3)) << "under the floating square";
    for (auto [x, y, half] :
         {std::tuple{360, 230, 40}, {440, 230, 40}, {360, 370, 40}, {440, 370, 40}, {345, 300, 25}, {455, 300, 25}})
        EXPECT_TRUE(shows(x, y, half, lit, 4)) << "acne on the open tilted square";
}

} // namespace
