#include "app/GlfwInput.h"

#include "tests/gl/GLContext.h"

// The key callback that the game installs, called as the window library calls it when it
// polls; no real key is down, so glfwGetKey reports every key up.
class GlfwInput : public testing::Test {
protected:
    void SetUp() override
    {
        watchInput(gltest::window());
        callback = glfwSetKeyCallback(gltest::window(), nullptr);
        glfwSetKeyCallback(gltest::window(), callback);
        ASSERT_NE(callback, nullptr);
        readFrameInput(gltest::window()); // uses up presses left by other tests
    }

    void key(int glfwKey, int action) { callback(gltest::window(), glfwKey, 0, action, 0); }

    GLFWkeyfun callback = nullptr;
};

TEST_F(GlfwInput, OnlyAPressCountsAsAPress)
{
    key(GLFW_KEY_W, GLFW_PRESS);
    key(GLFW_KEY_W, GLFW_RELEASE);
    EXPECT_TRUE(readFrameInput(gltest::window()).down(Key::W)) << "tapped between two frames";
    EXPECT_FALSE(readFrameInput(gltest::window()).down(Key::W)) << "seen once";

    // A release of a key pressed long ago, and the repeats of one held, are no new presses.
    key(GLFW_KEY_F3, GLFW_RELEASE);
    key(GLFW_KEY_SPACE, GLFW_REPEAT);
    FrameInput input = readFrameInput(gltest::window());
    EXPECT_FALSE(input.down(Key::F3));
    EXPECT_FALSE(input.down(Key::Space));

    // Keys the game does not use leave every key up.
    key(GLFW_KEY_Q, GLFW_PRESS);
    input = readFrameInput(gltest::window());
    for (std::size_t k = 0; k < keyCount; ++k)
        EXPECT_FALSE(input.keys[k]) << "key " << k;
}

// Each game key by name, not by the numbers the window library gives them.
TEST_F(GlfwInput, EveryGameKeyIsReadByItsName)
{
    const std::pair<int, Key> keys[] = {
        {GLFW_KEY_P, Key::P},   {GLFW_KEY_U, Key::U},           {GLFW_KEY_F2, Key::F2},
        {GLFW_KEY_F3, Key::F3}, {GLFW_KEY_F4, Key::F4},         {GLFW_KEY_F5, Key::F5},
        {GLFW_KEY_F6, Key::F6}, {GLFW_KEY_F10, Key::F10},       {GLFW_KEY_F11, Key::F11},
        {GLFW_KEY_W, Key::W},   {GLFW_KEY_S, Key::S},           {GLFW_KEY_A, Key::A},
        {GLFW_KEY_D, Key::D},   {GLFW_KEY_SPACE, Key::Space},   {GLFW_KEY_ENTER, Key::Enter},
        {GLFW_KEY_I, Key::I},   {GLFW_KEY_J, Key::J},           {GLFW_KEY_K, Key::K},
        {GLFW_KEY_L, Key::L},   {GLFW_KEY_ESCAPE, Key::Escape},
    };
    ASSERT_EQ(std::size(keys), keyCount);
    for (auto [glfwKey, game] : keys) {
        key(glfwKey, GLFW_PRESS);
        FrameInput input = readFrameInput(gltest::window());
        for (std::size_t k = 0; k < keyCount; ++k)
            EXPECT_EQ(input.keys[k], k == static_cast<std::size_t>(game))
                << "GLFW key " << glfwKey << ", game key " << k;
    }
}

// The loop asks after drawing, when the frame's poll has run: an Escape pressed and let go
// within that poll still ends the game, and only once a frame has read it is it used up.
TEST_F(GlfwInput, EscapeTappedBetweenTwoFramesQuits)
{
    EXPECT_FALSE(escapePressed(gltest::window()));
    key(GLFW_KEY_ESCAPE, GLFW_PRESS);
    key(GLFW_KEY_ESCAPE, GLFW_RELEASE);
    EXPECT_TRUE(escapePressed(gltest::window()));
    EXPECT_TRUE(escapePressed(gltest::window())) << "asking does not use it up";
    readFrameInput(gltest::window());
    EXPECT_FALSE(escapePressed(gltest::window()));

    key(GLFW_KEY_ENTER, GLFW_PRESS);
    EXPECT_FALSE(escapePressed(gltest::window())) << "another key";
}
