#include "app/FrameUpdate.h"
#include "app/GlfwInput.h"

#include <initializer_list>
#include <string>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "app/Globals.h"
#include "app/Light.h"
#include "objects/ModelImport.h"
#include "objects/TextureLibrary.h"
#include "physics/BulletPhysics.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"
#include "tests/ObjFiles.h"
#include "tests/gl/AssetTree.h"
#include "tests/gl/GLContext.h"

namespace {

struct Filters {
    GLint minification;
    GLint magnification;
};

// The game's globals around a drawing scene: all 26 images loaded (white colour maps, flat
// normal maps), the programs built, a floor as the level, the player's mouse registered as
// start-up does it and a square as the level object. Frames run through `update`.
class DisplayModes : public testing::Test {
protected:
    void SetUp() override
    {
        tree.enter();
        objfile::Writer().quad(objfile::floor(500)).save("models/level.obj");
        objfile::Writer().quad(objfile::facingZ(glm::vec3(0.0f), 6.0f)).save("models/square.obj");

        std::string startOutput;
        ::scene = gltest::startScene(&startOutput);
        testing::internal::CaptureStdout();
        player = new Gorbeck(0, 0, 38);
        ::scene->physics->addStaticPlane(player->position, glm::vec3(0.0f));
        player->rotation.y -= 180.0f;
        player->scale = 0.01f;
        ::scene->player = player;
        ::scene->playerBodyIndex = ::scene->physics->addCharacter(glm::vec3(0.0f, 50.0f, 0.0f));
        bool squareLoaded = loadModel(*::scene, "models/square.obj", {{12, 13}}, false, 1.0f, glm::vec3(0.0f));
        startOutput += testing::internal::GetCapturedStdout();
        ASSERT_TRUE(squareLoaded) << startOutput;
        ASSERT_EQ(::scene->textureLibrary->getTextureIds().size(), 26u) << startOutput;

        resetGlobals();

        gltest::useStartUpState();
    }

    void TearDown() override
    {
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        gltest::leaveStartUpState();
        tree.leave();
        gltest::stopScene(::scene);
        resetGlobals();
        gltest::glErrors();
    }

    // One frame, 1/60 s after the last, with the given keys down; returns what it printed.
    std::string frame(std::initializer_list<Key> keys = {})
    {
        clock += 1.0 / 60.0;
        FrameInput input;
        for (Key k : keys)
            input.press(k);
        input.time = clock;
        testing::internal::CaptureStdout();
        // The rules ask; the platform layer sets the GL state, as in the game's loop.
        applyDisplayRequests(update(input));
        return testing::internal::GetCapturedStdout();
    }

    // A key pressed for one frame and released on the next.
    std::string tap(Key key)
    {
        std::string printed = frame({key});
        printed += frame();
        return printed;
    }

    // Every image's filters as GL holds them, each read back from its texture object.
    static std::vector<Filters> filters()
    {
        std::vector<Filters> found;
        for (GLuint id : ::scene->textureLibrary->getTextureIds()) {
            Filters f{0, 0};
            glBindTexture(GL_TEXTURE_2D, id);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &f.minification);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &f.magnification);
            found.push_back(f);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        return found;
    }

    static testing::AssertionResult allFiltersAre(GLint minification, GLint magnification)
    {
        std::vector<Filters> found = filters();
        if (found.size() != 26)
            return testing::AssertionFailure() << found.size() << " textures instead of 26";
        for (size_t i = 0; i < found.size(); ++i)
            if (found[i].minification != minification || found[i].magnification != magnification)
                return testing::AssertionFailure() << "texture " << i << " has filters 0x" << std::hex
                                                   << found[i].minification << " / 0x" << found[i].magnification;
        return testing::AssertionSuccess();
    }

    // The square drawn 20 in front of the eye under a white ambient light alone: where it is
    // filled every pixel is the white colour map.
    std::vector<unsigned char> drawSquare()
    {
        ::light->ambient = glm::vec4(1.0f);
        ::light->diffuse = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
        ::light->specular = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
        ::scene->setViewMatrix(glm::lookAt(glm::vec3(0, 0, 20), glm::vec3(0), glm::vec3(0, 1, 0)));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ::scene->uploadLightingUniforms();
        ::scene->objects[0]->draw(true);
        return gltest::readPixels(0, 0, 800, 600);
    }

    gltest::AssetTree tree{gltest::greyImages(255)};
    Gorbeck* player = nullptr;
    double clock = 0.0;
};

size_t whitePixels(const std::vector<unsigned char>& frame)
{
    size_t count = 0;
    for (size_t i = 0; i < frame.size(); i += 3)
        count += frame[i] > 250 && frame[i + 1] > 250 && frame[i + 2] > 250;
    return count;
}

} // namespace

TEST_F(DisplayModes, F4FlipsEveryTextureBetweenLinearAndNearestFilteringOncePerPress)
{
    // As loaded: trilinear.
    EXPECT_TRUE(allFiltersAre(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR));

    // Held down across three frames, it acts once.
    EXPECT_EQ(frame({Key::F4}), "Mipmapping on (nearest neighbour), linear texture filtering\n");
    EXPECT_EQ(frame({Key::F4}), "");
    EXPECT_EQ(frame({Key::F4}), "");
    frame();
    EXPECT_TRUE(allFiltersAre(GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR));

    EXPECT_EQ(tap(Key::F4), "Mipmapping on (nearest neighbour), nearest neighbour texture filtering\n");
    EXPECT_TRUE(allFiltersAre(GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST));
    EXPECT_TRUE(gltest::glErrors().empty());
}

TEST_F(DisplayModes, F5StepsEveryTextureThroughTheMipmapModes)
{
    EXPECT_EQ(tap(Key::F5), "Mipmapping on (linear), nearest neighbour texture filtering\n");
    EXPECT_TRUE(allFiltersAre(GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST));

    EXPECT_EQ(tap(Key::F5), "Mipmapping off, nearest texture filtering\n");
    EXPECT_TRUE(allFiltersAre(GL_NEAREST, GL_NEAREST));

    EXPECT_EQ(tap(Key::F5), "Mipmapping on (nearest neighbour), nearest neighbour texture filtering\n");
    EXPECT_TRUE(allFiltersAre(GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST));
    EXPECT_TRUE(gltest::glErrors().empty());
}

TEST_F(DisplayModes, F3TurnsWireframeOnThenOff)
{
    GLint mode[2] = {0, 0};
    std::vector<unsigned char> filled = drawSquare();

    EXPECT_EQ(tap(Key::F3), "Wire frame mode on\n");
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_LINE);
    std::vector<unsigned char> lines = drawSquare();

    EXPECT_EQ(tap(Key::F3), "Wire frame mode off\n");
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
    std::vector<unsigned char> filledAgain = drawSquare();
    EXPECT_TRUE(gltest::glErrors().empty());

    // The square's side of 6 at 20 away spans 6 / (2 x 20 tan 17.5) x 600 = 285 pixels a
    // side, about 81 000 pixels. As lines only its outline and the diagonal that splits it into
    // two triangles are drawn: four sides and a diagonal, well under 2 000 pixels.
    EXPECT_GT(whitePixels(filled), 78000u);
    EXPECT_LT(whitePixels(lines), 2000u);
    EXPECT_GT(whitePixels(lines), 1000u);
    EXPECT_EQ(filledAgain, filled);
    const unsigned char* middle = &lines[3 * (300 * 800 + 450)];
    EXPECT_EQ(middle[0] + middle[1] + middle[2], 0) << "inside the square, off the diagonal";
}
