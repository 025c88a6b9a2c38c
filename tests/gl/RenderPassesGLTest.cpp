#include "render/Scene.h"

#include <cmath>

#include "tests/gl/AssetTree.h"

namespace {

// Colour maps are grey 200 except the floor's and the box's; every normal map is flat.
constexpr unsigned char floorGrey = 200;

// Where the game puts the eye: 11 behind and 3 above the point it looks at.
const glm::vec3 eye(0.0f, 3.0f, 11.0f);
const glm::vec3 lookedAt(0.0f, 0.0f, 0.0f);
// The player's cube floats with its bottom 2 above the floor, left of and nearer than the box.
const glm::vec3 playerPosition(-2.5f, 2.0f, 4.0f);

// The window pixel a world point lands on, from the game's camera lens worked out here.
glm::ivec2 windowPixel(glm::vec3 world)
{
    return glm::project(world, glm::lookAt(eye, lookedAt, glm::vec3(0.0f, 1.0f, 0.0f)),
                        glm::perspective(glm::radians(35.0f), 4.0f / 3.0f, 5.0f, 250.0f), glm::vec4(0, 0, 800, 600));
}

// The depth the shadow map stores for a surface `distance` below the light, with the light's
// lens of near 195 and far 220: the perspective depth (f + n)/(f - n) - 2fn/((f - n) d), mapped to [0, 1].
double lightDepth(double distance)
{
    const double n = 195.0, f = 220.0;
    return ((f + n) / (f - n) - 2.0 * f * n / ((f - n) * distance) + 1.0) / 2.0;
}

// Beside the floor's far left corner, over nothing, 197 below the light.
const glm::vec3 ceilingCentre(28.0f, 3.0f, -28.0f);

// A floor 40 wide (a closed slab, 1 thick, top at y = 0), a 2-unit box from y = 2 to 4 over
// its middle, a ceiling 8 wide beside the floor, and the player's 1-unit cube; the light 200
// above the box, as the game places it.
class RenderPasses : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        tree = std::make_unique<gltest::AssetTree>(
            gltest::greyImages(floorGrey, {{12, {60, 120, 220}}, {0, {220, 120, 60}}}));
        tree->enter();
        objfile::Writer level;
        level.mesh("floor").box({-20, -1, -20}, {20, 0, 20}).mesh("box").box({-1, 2, -1}, {1, 4, 1});
        // x cross z is -y: a lone square facing down, the light seeing only its back.
        level.mesh("ceiling").quad({ceilingCentre, {4, 0, 0}, {0, 0, 4}});
        level.save("models/level.obj");
        objfile::Writer().mesh("body").box({-50, 0, -50}, {50, 100, 50}).save("models/mouse.obj");

        // The software path: its region test needs the record of where the pass drew.
        theScene = gltest::startScene(&output, RenderPath{true, 1.0f});
        bool loaded = false;
        output += gltest::printedBy([&] {
            theScene->createShadowMap();
            loaded = loadModel(*theScene, "models/mouse.obj", {{0, 1}}, true, 0.01f, glm::vec3(0.0f, 50.0f, 0.0f))
                && loadModel(*theScene, "models/level.obj", {{18, 19}, {12, 13}, {18, 19}}, false, 1.0f,
                             glm::vec3(0.0f));
        });
        tree->leave();
        ready = loaded && theScene->objects.size() == 1 && theScene->player != nullptr;
        if (!ready)
            return;
        ::light->position = lookedAt + glm::vec3(0.0f, 200.0f, 0.0f);
        ::light->target = ::camera->target = lookedAt;
        ::camera->position = eye;
        theScene->setViewMatrix(::camera->viewMatrix());
        theScene->updateLightView();
        theScene->cameraView = eye - lookedAt;
        theScene->player->position = playerPosition;
        theScene->player->updateModelMatrix();
        theScene->objects[0]->updateModelMatrix();
    }

    static void TearDownTestSuite() { gltest::stopScene(theScene); }

    void SetUp() override
    {
        ASSERT_TRUE(ready) << output;
        gltest::useStartUpState();
    }

    void TearDown() override
    {
        useVertexArrays = true;
        theScene->renderPath.software = true;
        gltest::glErrors();
    }

    // Whether the 5 x 5 pixels where the floor point p shows are all within 3 of `grey`.
    static testing::AssertionResult floorLooks(glm::vec3 p, float grey)
    {
        glm::ivec2 pixel = windowPixel(p);
        return gltest::pixelsNear(pixel.x, pixel.y, glm::vec3(grey), 3, 2);
    }

    // The depth stored in the shadow map's texel (s, t).
    static double storedDepth(int s, int t)
    {
        GLfloat depth = -1.0f;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, theScene->shadowFramebuffer);
        glReadPixels(s, t, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return static_cast<double>(depth);
    }

    static inline std::unique_ptr<gltest::AssetTree> tree;
    static inline Scene* theScene = nullptr;
    static inline bool ready = false;
    static inline std::string output;
};

// Lit floor: 200 x (ambient 0.1 + diffuse 0.7 x cos), the light 200 straight above so cos > 0.9997;
// the highlight adds 0.3 x 255 x (about 0.25)^5 < 0.1. In shadow only the ambient 20 is left.
const float litFloor = floorGrey * 0.8f;
const float shadowedFloor = floorGrey * 0.1f;

// The light looks down -y with +x as up, so the map's right is world +z and its up world +x;
// the map's middle texel looks straight down at the origin. A world offset of z at distance d
// lands z / (d tan 22.5 x 4/3) of the half-width right of the middle, and one of x lands
// x / (d tan 22.5) of the half-height above it.
int texelRightOf(double z, double distance)
{
    double halfWidth = distance * std::tan(glm::radians(22.5)) * 4.0 / 3.0;
    return static_cast<int>((z / halfWidth + 1.0) / 2.0 * 8192.0);
}

int texelAbove(double x, double distance)
{
    double halfHeight = distance * std::tan(glm::radians(22.5));
    return static_cast<int>((x / halfHeight + 1.0) / 2.0 * 8192.0);
}

// 24-bit depth steps are 6e-8; 1e-4 leaves room for the rasteriser's rounding of the
// interpolated depth, while the box's top (0.045) and bottom (0.133) stay far apart.
const double tolerance = 1e-4;

} // namespace

TEST_F(RenderPasses, ShadowPassStoresTheDepthOfFacesTurnedAwayFromTheLightOnBothRenderPaths)
{
    for (bool software : {false, true}) {
        SCOPED_TRACE(software ? "software path" : "hardware path");
        theScene->renderPath.software = software;
        theScene->renderShadowPass();

        // Straight down: the box's bottom, 198 below the light (depth 0.1333). Its top (196) faces the light and is culled.
        EXPECT_NEAR(storedDepth(4096, 4096), lightDepth(198.0), tolerance) << "box bottom";
        // Beside the box, 5 units along +z (texel 4280): the slab's underside, 201 below the light (0.2627).
        EXPECT_NEAR(storedDepth(texelRightOf(5.0, 201.0), 4096), lightDepth(201.0), tolerance) << "floor underside";
        // 30 units along +z, past the floor's edge at 20: nothing there, the cleared far depth.
        EXPECT_EQ(storedDepth(texelRightOf(30.0, 201.0), 4096), 1.0);
        EXPECT_TRUE(gltest::glErrors().empty());
    }
}

// Both draw paths, the vertex arrays and the client arrays, through both passes.
TEST_F(RenderPasses, BoxAndPlayerShadowTheFloorBelowThemButNotBesideOnBothDrawPaths)
{
    // The looked-at point is the window's middle; the rays to it and to the floor below the
    // player pass under the floating box and cube, so both shadowed spots are in view.
    const glm::vec3 shadowed[] = {lookedAt, {playerPosition.x, 0.0f, playerPosition.z}};
    const glm::vec3 lit[] = {{4.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 4.0f}, {-4.0f, 0.0f, -2.0f}};
    std::vector<unsigned char> frames[2];
    for (bool vertexArrays : {true, false}) {
        SCOPED_TRACE(vertexArrays ? "vertex arrays" : "client arrays");
        useVertexArrays = vertexArrays;
        theScene->renderShadowPass();
        theScene->renderCameraPass();
        frames[vertexArrays] = gltest::readPixels(0, 0, 800, 600);
        EXPECT_TRUE(gltest::glErrors().empty());
        // The grey image decodes within 2 of 200: within 2 of the lit 160 and 1 of the shadowed 20
        // after lighting. The flat normal map's rounding tilts it by under 0.5 degrees. 3 covers both.
        for (glm::vec3 p : shadowed)
            EXPECT_TRUE(floorLooks(p, shadowedFloor)) << "below the box or the player";
        for (glm::vec3 p : lit)
            EXPECT_TRUE(floorLooks(p, litFloor));
    }
    // Same vertices, same programs, same rasteriser: the paths only differ in where the
    // arrays live, so not a single byte may differ.
    EXPECT_TRUE(frames[0] == frames[1]) << "the two draw paths give different pictures";
}

// On the software path only texels in the cells the pass marked are cleared before the next
// pass, so a texel drawn outside them would stay. The ceiling faces away from the light, so it
// is drawn, and lies in no other mesh's cells. The block read holds the floor, the box, the
// ceiling and the player's cube.
TEST_F(RenderPasses, EveryTexelThePassDrawsLiesInACellItMarked)
{
    theScene->renderPath.software = true;
    theScene->renderShadowPass();
    const int from = 2048, side = 4096;
    std::vector<GLfloat> depths(size_t{side} * side, -1.0f);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, theScene->shadowFramebuffer);
    glReadPixels(from, from, side, side, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    ASSERT_TRUE(gltest::glErrors().empty());

    const int ceilingS = texelRightOf(ceilingCentre.z, 197.0), ceilingT = texelAbove(ceilingCentre.x, 197.0);
    EXPECT_NEAR(depths[size_t(ceilingT - from) * side + size_t(ceilingS - from)], lightDepth(197.0), tolerance)
        << "the ceiling is drawn";
    const ShadowRegion& region = theScene->shadowRegion;
    int drawn = 0, outside = 0;
    for (int t = 0; t < side; ++t) {
        for (int s = 0; s < side; ++s) {
            if (depths[size_t(t) * side + size_t(s)] >= 1.0f)
                continue;
            ++drawn;
            outside += !region.marked((from + s) / ShadowRegion::cellTexels, (from + t) / ShadowRegion::cellTexels);
        }
    }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(outside, 0) << "of " << drawn << " texels drawn";
}

// The hardware path clears the whole map; the software path only where the last pass drew,
// in cells of 128 texels. The player's cube hangs past the floor's corner, with nothing below
// it, and its footprint in the map (s 5357 to 5395, t 5671 to 5721) spans two cells side by
// side, so the last pass drew on a rectangle 256 wide and 128 high, clear of the floor's
// rectangles even with x and y swapped.
TEST_F(RenderPasses, PlayerMovedAwayLeavesNoDepthBehindWhicheverWayTheMapIsCleared)
{
    ASSERT_TRUE(GLEW_VERSION_4_4 || GLEW_ARB_clear_texture) << "this context cannot test the fill";
    const glm::vec3 hanging(32.04f, 2.0f, 34.17f), away(42.04f, 2.0f, 34.17f);
    // The cube's bottom is 198 below the light. Looked at in the right-hand cell.
    const int s = texelRightOf(hanging.z + 0.3, 198.0), oldT = texelAbove(hanging.x, 198.0),
              newT = texelAbove(away.x, 198.0);
    ASSERT_GE(s, 5376);
    enum Clear { whole, fill, scissored };
    for (Clear clear : {whole, fill, scissored}) {
        SCOPED_TRACE(clear == whole ? "whole map" : clear == fill ? "fill" : "scissored clear");
        theScene->renderPath.software = clear != whole;
        theScene->shadowRegion.allowFill(clear == fill);
        theScene->player->position = hanging;
        theScene->player->updateModelMatrix();
        theScene->renderShadowPass();
        EXPECT_NEAR(storedDepth(s, oldT), lightDepth(198.0), tolerance) << "below the player";

        theScene->player->position = away;
        theScene->player->updateModelMatrix();
        // Only the scissored clear moves the scissor box, so the box tells which clear ran.
        glScissor(1, 2, 3, 4);
        theScene->renderShadowPass();
        GLint box[4] = {};
        glGetIntegerv(GL_SCISSOR_BOX, box);
        EXPECT_EQ(box[0] == 1 && box[1] == 2 && box[2] == 3 && box[3] == 4, clear != scissored) << "which clear ran";
        EXPECT_EQ(storedDepth(s, oldT), 1.0) << "where the player was";
        EXPECT_NEAR(storedDepth(s, newT), lightDepth(198.0), tolerance) << "below the player moved";
        EXPECT_TRUE(gltest::glErrors().empty());
    }
    theScene->renderPath.software = true;
    theScene->shadowRegion.allowFill(true);
    glScissor(0, 0, 800, 600);
    theScene->player->position = playerPosition;
    theScene->player->updateModelMatrix();
}
