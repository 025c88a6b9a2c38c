#include "app/Startup.h"

#include <algorithm>

#include "render/Display.h"
#include "tests/gl/AssetTree.h"

namespace {

const std::string runtime = GORBECK_RUNTIME_DIR;

// How far the "v" lines of a model file reach along y, read from the text itself.
float heightInFile(const std::string& path)
{
    std::ifstream file(path);
    std::vector<float> heights;
    std::string tag;
    float x = 0, y = 0;
    for (std::string line; std::getline(file, line);)
        if (std::istringstream(line) >> tag >> x >> y && tag == "v")
            heights.push_back(y);
    auto [low, high] = std::minmax_element(heights.begin(), heights.end());
    return heights.empty() ? 0.0f : *high - *low;
}

// The game's own start-up, with a window and context of its own, in the generated run-time tree.
class StartUp : public testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(runtime + "/models/gorbeck.obj"))
            GTEST_SKIP() << "no generated assets in " << runtime;
        std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(runtime);
        output = gltest::printedBy([&] { started = startPlatform(true) && startWorld(); });
        std::filesystem::current_path(previous);
    }

    void TearDown() override
    {
        gltest::stopScene(::scene);
        glfwDestroyWindow(std::exchange(::window, nullptr)); // nothing to do for none
        glfwMakeContextCurrent(gltest::window());
        display::attach(nullptr);
        resetGlobals();
    }

    bool started = false;
    std::string output;
};

} // namespace

TEST_F(StartUp, LoadsThePlayerAtAHundredthOfItsModelsSize)
{
    ASSERT_TRUE(started) << output;
    Gorbeck& player = *::scene->player;
    player.updateModelMatrix();
    float low = 1e30f, high = -1e30f;
    for (const auto& mesh : player.vertices)
        for (const glm::vec4& v : mesh) {
            low = std::min(low, (player.modelMatrix * v).y);
            high = std::max(high, (player.modelMatrix * v).y);
        }
    // Turned about y only, the mouse keeps its height; float rounding stays far below 0.1 %.
    float expected = 0.01f * heightInFile(runtime + "/models/gorbeck.obj");
    EXPECT_NEAR(high - low, expected, 1e-3f * expected);
}

// Two squares seen from 20 along +z through the game's start-up state: the one facing the eye
// shows, the one turned away is culled.
TEST_F(StartUp, LeavesBackFacesCulled)
{
    ASSERT_TRUE(started) << output;
    std::string path = gltest::tempDir() + "/squares.obj";
    objfile::Writer().quad(objfile::facingZ(glm::vec3(-3, 0, 0))).quad({{3, 0, 0}, {0, 1, 0}, {1, 0, 0}}).save(path);
    bool loaded = false;
    gltest::printedBy([&] { loaded = loadModel(*::scene, path, {{12, 13}}, false, 1.0f, glm::vec3(0.0f)); });
    ASSERT_TRUE(loaded);
    gltest::drawUnderWhiteAmbient(*::scene, *::scene->objects.back());
    EXPECT_EQ(gltest::notBlack(gltest::columnOf(-3.5f), 290, 20, 20), 400u) << "the square facing the eye";
    EXPECT_EQ(gltest::notBlack(gltest::columnOf(2.5f), 290, 20, 20), 0u) << "the square turned away";
    EXPECT_TRUE(gltest::glErrors().empty());
}
