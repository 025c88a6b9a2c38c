#include "app/FrameUpdate.h"
#include "app/GlfwInput.h"

#include <initializer_list>

#include "tests/gl/AssetTree.h"

namespace {

// The game's globals around a drawing scene: all 26 images loaded (white colour maps, flat normal maps), the programs
// built, a player and a square as the level object. Frames run through `update`.
class DisplayModes : public testing::Test {
protected:
    void SetUp() override
    {
        tree.enter();
        objfile::Writer().quad(objfile::floor(500)).save("models/level.obj");
        objfile::Writer().quad(objfile::facingZ(glm::vec3(0.0f), 6.0f)).save("models/square.obj");
        std::string output;
        ::scene = gltest::startScene(&output);
        output += gltest::printedBy([&] {
            loadModel(*::scene, "models/square.obj", {{0, 1}}, true, 0.01f, glm::vec3(0.0f, 50.0f, 0.0f));
            loadModel(*::scene, "models/square.obj", {{12, 13}}, false, 1.0f, glm::vec3(0.0f));
        });
        ASSERT_TRUE(::scene->player && ::scene->objects.size() == 1) << output;
        ASSERT_EQ(::scene->textureLibrary->getTextureIds().size(), 26u) << output;
        resetGlobals();
        gltest::useStartUpState();
    }

    void TearDown() override
    {
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        tree.leave();
        gltest::stopScene(::scene);
        resetGlobals();
        gltest::glErrors();
    }

    // One frame, 1/60 s after the last, with the given keys down; returns what it printed.
    std::string frame(std::initializer_list<Key> keys = {})
    {
        FrameInput input;
        for (Key k : keys)
            input.press(k);
        input.time = clock += 1.0 / 60.0;
        std::ostringstream console;
        // The rules ask; the platform layer sets the GL state, as in the game's loop.
        applyDisplayRequests(update(input, console));
        return console.str();
    }

    // A key held down for `frames` frames and released on the next.
    std::string tap(Key key, int frames = 1)
    {
        std::string printed;
        for (int i = 0; i < frames; ++i)
            printed += frame({key});
        return printed + frame();
    }

    // Whether every image's filters, read back from its texture object, are these.
    static testing::AssertionResult allFiltersAre(GLint minification, GLint magnification)
    {
        for (GLuint id : ::scene->textureLibrary->getTextureIds()) {
            GLint min = 0, mag = 0;
            glBindTexture(GL_TEXTURE_2D, id);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
            glBindTexture(GL_TEXTURE_2D, 0);
            if (min != minification || mag != magnification)
                return testing::AssertionFailure()
                    << "texture " << id << " has filters 0x" << std::hex << min << " / 0x" << mag;
        }
        return testing::AssertionSuccess();
    }

    gltest::AssetTree tree{gltest::greyImages(255)};
    double clock = 0.0;
};

} // namespace

TEST_F(DisplayModes, F4AndF5StepEveryTextureThroughTheFilterModesOncePerPress)
{
    EXPECT_TRUE(allFiltersAre(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR)) << "as loaded: trilinear";
    // F4 flips the filter, acting once however long it is held; F5 steps the mipmap mode round, keeping it.
    struct Step {
        Key key;
        int frames;
        const char* printed;
        GLint minification, magnification;
    };
    const Step steps[] = {
        {Key::F4, 3, "Mipmapping on (nearest neighbour), linear texture filtering\n", GL_LINEAR_MIPMAP_NEAREST,
         GL_LINEAR},
        {Key::F4, 1, "Mipmapping on (nearest neighbour), nearest neighbour texture filtering\n",
         GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
        {Key::F5, 1, "Mipmapping on (linear), nearest neighbour texture filtering\n", GL_NEAREST_MIPMAP_LINEAR,
         GL_NEAREST},
        {Key::F5, 1, "Mipmapping off, nearest texture filtering\n", GL_NEAREST, GL_NEAREST},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(tap(step.key, step.frames), step.printed);
        EXPECT_TRUE(allFiltersAre(step.minification, step.magnification)) << step.printed;
    }
    EXPECT_TRUE(gltest::glErrors().empty());
}

TEST_F(DisplayModes, F3TurnsWireframeOnThenOff)
{
    // The square's side of 6 at 20 away spans 6 / (2 x 20 tan 17.5) x 600 = 285 pixels a
    // side, about 81 000 pixels. As lines only its outline and the diagonal that splits it into
    // two triangles are drawn: four sides and a diagonal, 1 000 to 2 000 pixels.
    Object& square = *::scene->objects[0];
    gltest::drawUnderWhiteAmbient(*::scene, square);
    EXPECT_GT(gltest::notBlack(0, 0, 800, 600), 78000u);

    EXPECT_EQ(tap(Key::F3), "Wire frame mode on\n");
    gltest::drawUnderWhiteAmbient(*::scene, square);
    size_t lines = gltest::notBlack(0, 0, 800, 600);
    EXPECT_TRUE(lines > 1000 && lines < 2000) << lines << " pixels drawn";
    EXPECT_EQ(gltest::notBlack(450, 300, 1, 1), 0u) << "inside the square, off the diagonal";

    EXPECT_EQ(tap(Key::F3), "Wire frame mode off\n");
    EXPECT_TRUE(gltest::glErrors().empty());
}
