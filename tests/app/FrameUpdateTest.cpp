#include "app/FrameUpdate.h"

#include <cmath>
#include <iterator>

#include "tests/app/PlayFixture.h"

using FrameUpdate = PlayFixture;

namespace {

std::string captured(const std::function<void()>& run)
{
    testing::internal::CaptureStdout();
    run();
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST_F(FrameUpdate, HeldToggleKeyActsOnce)
{
    for (int i = 0; i < 5; ++i)
        frame({Key::F6, Key::F10});
    EXPECT_FALSE(useVertexArrays);
    EXPECT_TRUE(swapInterval);

    frame(); // released
    FrameRequests requests = frame({Key::F10});
    EXPECT_EQ(requests.swapInterval, 0);
    EXPECT_FALSE(swapInterval);
    requests = frame({Key::F10});
    EXPECT_EQ(requests.swapInterval, -1) << "still held: no second toggle";

    EXPECT_TRUE(frame({Key::F11}).switchScreen);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(frame({Key::F11}).switchScreen);
    EXPECT_FALSE(frame().switchScreen);
    EXPECT_TRUE(frame({Key::F11}).switchScreen);
}

TEST_F(FrameUpdate, FrameRatePrintsFromTheFrameAfterF2)
{
    EXPECT_EQ(captured([&] { frame({Key::F2}, 0.5); }), "");
    EXPECT_EQ(captured([&] { frame({Key::F2}, 0.25); }), "FPS: 4\n");
    EXPECT_EQ(captured([&] { frame({}, 0.5); }), "FPS: 2\n");
    EXPECT_EQ(captured([&] { frame({Key::F2}, 0.5); }), "FPS: 2\n") << "the print precedes the toggle";
    EXPECT_EQ(captured([&] { frame({}, 0.5); }), "");
}

// The rules print and ask the platform for the filters; they set no GL state themselves.
TEST_F(FrameUpdate, FilterKeysPrintTheirMessagesAndStepTheModes)
{
    FrameRequests requests;
    EXPECT_EQ(captured([&] { requests = frame({Key::F4}); }),
              "Mipmapping on (nearest neighbour), linear texture filtering\n");
    EXPECT_TRUE(requests.setFilter);
    EXPECT_EQ(requests.minification, GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(requests.magnification, GL_LINEAR);
    EXPECT_FALSE(frame().setFilter);
    EXPECT_TRUE(linearFiltering);
    const std::pair<Key, const char*> presses[] = {
        {Key::F4, "Mipmapping on (nearest neighbour), nearest neighbour texture filtering\n"},
        {Key::F5, "Mipmapping on (linear), nearest neighbour texture filtering\n"},
        {Key::F5, "Mipmapping off, nearest texture filtering\n"},
        {Key::F5, "Mipmapping on (nearest neighbour), nearest neighbour texture filtering\n"}, // round again
        {Key::F5, "Mipmapping on (linear), nearest neighbour texture filtering\n"},
        {Key::F4, "Mipmapping on (linear), linear texture filtering\n"},
    };
    for (const auto& [key, message] : presses) {
        EXPECT_EQ(captured([&] { frame({key}); }), message);
        frame();
    }
}

TEST_F(FrameUpdate, PausedFrameDoesNothingAndResumingStartsTheClockAfresh)
{
    land();
    glm::vec3 before = player->position;
    float yaw = camera->yaw, pitch = camera->pitch;
    frame({Key::P});
    glm::vec3 paused = player->position;
    for (int i = 0; i < 30; ++i) // 3 s paused, the mouse dragged 1000 pixels up and left
        frame({Key::W, Key::F2, Key::F6}, 0.1, 400 - 1000, 300 - 1000);
    EXPECT_EQ(player->position, paused);
    EXPECT_FALSE(showFrameRate);
    EXPECT_TRUE(useVertexArrays);
    EXPECT_FALSE(keyLatches.f2) << "latches stay as they were";

    // The resumed frame covers no time at all, and the mouse's travel during the pause
    // turns nothing; the frame after it walks its own 0.1 s.
    frame({Key::U, Key::W}, 0.5, 400 - 1000, 300 - 1000);
    EXPECT_NEAR(glm::length(player->position - paused), 0.0f, 0.02f);
    EXPECT_EQ(camera->yaw, yaw);
    EXPECT_EQ(camera->pitch, pitch);
    frame({Key::W}, 0.1);
    EXPECT_NEAR(glm::length(player->position - paused), 1.0f, 0.02f);
    EXPECT_LT(glm::length(paused - before), 0.02f);

    // P and U together: the game runs on.
    before = player->position;
    frame({Key::P, Key::U, Key::W}, 0.1);
    EXPECT_FALSE(::paused);
    EXPECT_NEAR(glm::length(player->position - before), 1.0f, 1e-3f);
}

TEST_F(FrameUpdate, LongFrameMovesNoFurtherThanAnEighthOfASecond)
{
    land();
    // At 8 frames a second a frame is exactly the longest: 1.25 units and 10 degrees.
    for (double dt : {0.125, 2.0, 30.0}) {
        glm::vec3 before = player->position;
        float heading = player->rotation.y;
        frame({Key::W, Key::A}, dt);
        EXPECT_NEAR(glm::length(player->position - before), 1.25f, 0.02f) << "dt " << dt;
        EXPECT_NEAR(player->rotation.y - heading, 10.0f, 1e-3f) << "dt " << dt;
    }
    // A clock that steps back gives no motion, not motion backwards.
    glm::vec3 before = player->position;
    frame({Key::W}, -1.0);
    EXPECT_NEAR(glm::length(player->position - before), 0.0f, 0.02f);
}

TEST_F(FrameUpdate, LightSitsAboveTheWalkerAndItsKeysMoveAlongAndAcrossTheCameraView)
{
    land();
    frame({Key::W}); // the camera now sits 11 behind the player: view vector (0, -11) at yaw 180
    EXPECT_EQ(light->position, lastPlayerPosition + glm::vec3(0.0f, 200.0f, 0.0f));
    EXPECT_EQ(light->target, lastPlayerPosition);
    float dx = camera->target.x - camera->position.x;
    float dz = camera->target.z - camera->position.z;
    ASSERT_NEAR(dx, 0.0f, 1e-4f);
    ASSERT_NEAR(dz, -11.0f, 1e-4f);

    struct Case {
        Key key;
        glm::vec3 offset; // k = 10 x 0.1 = 1 times the view vector, turned for J and L
    } cases[] = {
        {Key::I, {0.0f, 0.0f, -11.0f}},
        {Key::J, {-11.0f, 0.0f, 0.0f}}, // (k dz, -k dx): a quarter turn to the left of the view
        {Key::K, {0.0f, 0.0f, 11.0f}},
        {Key::L, {11.0f, 0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        glm::vec3 position = light->position, target = light->target;
        frame({c.key}, 0.1);
        glm::vec3 moved = light->position - position;
        EXPECT_NEAR(moved.x, c.offset.x, 1e-3f);
        EXPECT_NEAR(moved.y, 0.0f, 1e-6f);
        EXPECT_NEAR(moved.z, c.offset.z, 1e-3f);
        EXPECT_EQ(light->target - target, moved);
    }
}

TEST_F(FrameUpdate, CameraFollowsElevenBehindAndThreeAbove)
{
    land();
    frame({}, 1.0 / 60, 390, 300); // 10 pixels left: yaw 180 + 2 = 182
    EXPECT_FLOAT_EQ(camera->yaw, 182.0f);
    glm::vec3 p = player->position;
    float yaw = glm::radians(182.0f);
    EXPECT_NEAR(camera->position.x, p.x - 11.0f * std::sin(yaw), 1e-3f);
    EXPECT_NEAR(camera->position.z, p.z - 11.0f * std::cos(yaw), 1e-3f);
    EXPECT_NEAR(camera->position.y, p.y + 3.0f, 1e-3f);
    // The target is the player's position before this frame's step; the step moves little once landed.
    EXPECT_NEAR(glm::distance(camera->target, p), 0.0f, 1e-3f);
    EXPECT_EQ(scene->cameraView, camera->position - camera->target);

    // Every frame asks to put the mouse back at the centre.
    EXPECT_TRUE(frame({}, 1.0 / 60, 100, 500).recenterMouse);
    EXPECT_EQ(mouseX, 100);
    EXPECT_EQ(mouseY, 500);
    EXPECT_EQ(mouseCenterX, 400);
    EXPECT_EQ(mouseCenterY, 300);
}

TEST_F(FrameUpdate, PitchBandEdgesIgnoreVerticalMouseMotion)
{
    land();
    // The eye h above the target, 11 behind it, the mouse moved to height y.
    auto lookFrom = [&](float h, double y) {
        camera->target = glm::vec3(0.0f, 5.0f, 0.0f);
        camera->position = glm::vec3(0.0f, 5.0f + h, 11.0f);
        frame({}, 1.0 / 60, 400, y);
    };
    for (float h : {1.0f, 6.5f}) {
        camera->pitch = 0.0f;
        lookFrom(h, 250); // 50 pixels up
        EXPECT_EQ(camera->pitch, 0.0f) << "h = " << h;
        lookFrom(h, 350);
        EXPECT_EQ(camera->pitch, 0.0f) << "h = " << h;
    }
    // Inside the band the mouse moves the pitch: 50 pixels up is +10 degrees.
    lookFrom(3.0f, 250);
    EXPECT_FLOAT_EQ(camera->pitch, 10.0f);
    // Above the band only upward motion (which lowers the eye) counts.
    lookFrom(7.0f, 350);
    EXPECT_FLOAT_EQ(camera->pitch, 10.0f);
}

TEST_F(FrameUpdate, EyeStaysInTheBandWhateverTheMouseDoesInOneFrame)
{
    land();
    // 370 pixels is 74 degrees of pitch in one frame; past 90 the eye would end under the
    // floor or millions of units away. Readings past the replay range are held at its edge.
    for (double dy : {370.0, -370.0, 1000.0, -1000.0, 3e9, -3e9, 40.0, -40.0}) {
        for (int i = 0; i < 3; ++i) {
            frame({}, 1.0 / 60, 400, 300 - dy);
            float h = camera->position.y - player->position.y;
            EXPECT_GE(h, 1.0f - 1e-3f) << "dy " << dy << " frame " << i;
            EXPECT_LE(h, 6.5f + 1e-3f) << "dy " << dy << " frame " << i;
            EXPECT_NEAR(glm::distance(camera->target, player->position), 0.0f, 0.05f);
        }
    }
    // From the band's edge the mouse moves the pitch back as before: 50 pixels up is +10 degrees.
    frame({}, 1.0 / 60, 400, 300 + 185); // 37 degrees down: held at the highest eye
    float pitch = camera->pitch;
    frame({}, 1.0 / 60, 400, 250);
    EXPECT_NEAR(camera->pitch, pitch + 10.0f, 1e-3f);
}

TEST(GameRules, BoundariesAreStrict)
{
    EXPECT_EQ(gameStateAt(0.0f, -9.0f, 0.0f), 0);
    EXPECT_EQ(gameStateAt(0.0f, -9.001f, 0.0f), -1);
    EXPECT_EQ(gameStateAt(240.0f, -10.0f, 600.0f), -1) << "falling wins over the goal";
    EXPECT_EQ(gameStateAt(240.0f, 0.0f, 540.001f), 1);
    EXPECT_EQ(gameStateAt(240.0f, 0.0f, 540.0f), 0);
    EXPECT_EQ(gameStateAt(230.0f, 0.0f, 600.0f), 0);
    EXPECT_EQ(gameStateAt(250.0f, 0.0f, 600.0f), 0);
    EXPECT_EQ(gameStateAt(230.001f, 0.0f, 600.0f), 1);
    EXPECT_EQ(gameStateAt(249.999f, 0.0f, 600.0f), 1);
}

TEST_F(FrameUpdate, GameStateFollowsThePlayerEveryFrame)
{
    land();
    EXPECT_EQ(gameState, 0);
    scene->physics->warp(glm::vec3(240.0f, 0.96f, 560.0f));
    frame();
    EXPECT_EQ(gameState, 1);
    scene->physics->warp(glm::vec3(0.0f, 0.96f, 0.0f));
    frame();
    EXPECT_EQ(gameState, 0) << "leaving the goal returns to playing";
    scene->physics->warp(glm::vec3(600.0f, 0.0f, 0.0f)); // off the floor
    for (int i = 0; i < 120 && gameState == 0; ++i)
        frame();
    EXPECT_EQ(gameState, -1);
}

namespace {

FrameInput pad(float leftX, float leftY, float rightX = 0.0f, float rightY = 0.0f,
               std::initializer_list<PadButton> buttons = {})
{
    FrameInput input;
    input.pad.leftX = leftX;
    input.pad.leftY = leftY;
    input.pad.rightX = rightX;
    input.pad.rightY = rightY;
    for (PadButton b : buttons)
        input.pad.press(b);
    return input;
}

FrameInput unfocused(std::initializer_list<Key> keys = {})
{
    FrameInput input;
    for (Key k : keys)
        input.press(k);
    input.focused = false;
    return input;
}

FrameInput held(std::initializer_list<Key> keys, FrameInput input = {})
{
    for (Key k : keys)
        input.press(k);
    return input;
}

} // namespace

// Heading -180 faces -z, the way the camera looks. Keys and the left stick walk 10 units and
// turn 80 degrees a second at full push, in proportion below it, at any frame rate.
TEST_F(FrameUpdate, KeysAndTheLeftStickWalkAndTurnAtTheirSpeeds)
{
    land();
    struct Case {
        FrameInput input;
        int frames;
        double dt;
        float walked; // along z
        float turned; // degrees
    } cases[] = {
        {held({Key::W}), 30, 1.0 / 30, -10.0f, 0.0f},
        {held({Key::W}), 120, 1.0 / 120, -10.0f, 0.0f},
        {held({Key::W, Key::S}), 30, 1.0 / 30, -10.0f, 0.0f},
        {held({Key::S}), 15, 1.0 / 30, 5.0f, 0.0f},
        {pad(0.0f, -1.0f), 30, 1.0 / 30, -10.0f, 0.0f}, // up reads -1
        {pad(0.0f, -0.5f), 30, 1.0 / 30, -5.0f, 0.0f},
        {pad(0.0f, 1.0f), 15, 1.0 / 30, 5.0f, 0.0f},
        {held({Key::W}, pad(0.0f, 1.0f)), 10, 0.1, -10.0f, 0.0f}, // keys win over the stick
        {held({Key::A}), 10, 0.1, 0.0f, 80.0f},
        {held({Key::A, Key::D}), 10, 0.1, 0.0f, 0.0f},
        {held({Key::D}), 1, 0.125, 0.0f, -10.0f},
        {pad(-1.0f, 0.0f), 10, 0.1, 0.0f, 80.0f},
        {pad(0.5f, 0.0f), 10, 0.1, 0.0f, -40.0f},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        glm::vec3 before = player->position;
        float heading = player->rotation.y;
        for (int f = 0; f < cases[i].frames; ++f)
            run(cases[i].input, cases[i].dt);
        EXPECT_NEAR(player->position.z - before.z, cases[i].walked, 0.02f) << "case " << i;
        EXPECT_NEAR(player->position.x - before.x, 0.0f, 1e-4f) << "case " << i;
        EXPECT_NEAR(player->rotation.y - heading, cases[i].turned, 1e-3f) << "case " << i;
    }
    // The legs swing in proportion too: 10 radians a second at full push, 2.5 at a quarter;
    // standing, they go back to rest.
    float swing = player->swingPhase;
    run(pad(0.0f, -0.25f), 0.1);
    EXPECT_NEAR(player->swingPhase - swing, 0.25f, 1e-5f);
    run(pad(0.0f, 0.0f), 0.1);
    EXPECT_EQ(player->swingPhase, 0.0f);
}

// Space and the pad's A, held, jump once until landing; Enter and Back put the character back
// at the start, where the step after the warp lets it fall for one frame.
TEST_F(FrameUpdate, JumpAndBackToTheStartFromTheKeysOrThePad)
{
    const FrameInput jumps[] = {held({Key::Space}), pad(0.0f, 0.0f, 0.0f, 0.0f, {PadButton::A})};
    const FrameInput resets[] = {held({Key::Enter}), pad(0.0f, 0.0f, 0.0f, 0.0f, {PadButton::Back})};
    for (int i = 0; i < 2; ++i) {
        land();
        float floor = player->position.y, highest = floor;
        int takeOffs = 0;
        bool airborne = false;
        for (int f = 0; f < 70; ++f) { // the flight takes about 82 frames: one jump only
            run(jumps[i]);
            bool up = player->position.y > floor + 0.01f;
            takeOffs += up && !airborne;
            airborne = up;
            highest = std::max(highest, player->position.y);
        }
        EXPECT_EQ(takeOffs, 1) << "input " << i;
        EXPECT_NEAR(highest - floor, 6.64f, 0.05f) << "input " << i;

        land();
        for (int f = 0; f < 30; ++f)
            frame({Key::W}, 0.1);
        run(resets[i]);
        EXPECT_NEAR(player->position.x, 0.0f, 1e-4f) << "input " << i;
        EXPECT_NEAR(player->position.y, 10.0f, 0.01f) << "input " << i;
        EXPECT_NEAR(player->position.z, 0.0f, 1e-4f) << "input " << i;
    }
}

TEST_F(FrameUpdate, RightStickOrbitsAsAMouseMovingSixHundredPixelsASecond)
{
    land();
    ASSERT_EQ(camera->yaw, 180.0f);
    ASSERT_EQ(camera->pitch, 0.0f); // the eye 3 above: inside the band
    // Fully right for 0.1 s is 60 pixels right: 60 x 0.2 = 12 degrees less yaw.
    run(pad(0.0f, 0.0f, 1.0f, 0.0f), 0.1);
    EXPECT_NEAR(camera->yaw, 168.0f, 1e-3f);
    EXPECT_EQ(camera->pitch, 0.0f);
    // Half way up for 0.1 s is 30 pixels up: 6 degrees more pitch.
    run(pad(0.0f, 0.0f, 0.0f, -0.5f), 0.1);
    EXPECT_NEAR(camera->pitch, 6.0f, 1e-3f);
    EXPECT_NEAR(camera->yaw, 168.0f, 1e-3f);
    // The mouse and the stick add up: 20 pixels left and the stick's 60 right.
    run(pad(0.0f, 0.0f, 1.0f, 0.0f), 0.1);
    FrameInput both = pad(0.0f, 0.0f, 1.0f, 0.0f);
    both.mouseX = 380;
    run(both, 0.1);
    EXPECT_NEAR(camera->yaw, 168.0f - 12.0f - 8.0f, 1e-3f);
    // A frame longer than the cap turns no more than the capped frame: 75 pixels, 15 degrees.
    run(pad(0.0f, 0.0f, -1.0f, 0.0f), 2.0);
    EXPECT_NEAR(camera->yaw, 148.0f + 15.0f, 1e-3f);
}

// Start's pause, held or pressed twice, with the sticks pushed, is held by the pad run of
// ReplayTest, which counts the frames it walked.
TEST_F(FrameUpdate, LosingTheFocusPausesAndItsReturnResumesAtOnceUnlessThePlayerPaused)
{
    land();
    frame({Key::F2});
    glm::vec3 where = player->position;
    float yaw = camera->yaw;
    std::string printed = captured([&] {
        FrameRequests requests = run(unfocused({Key::W}));
        EXPECT_EQ(requests.cursor, 0) << "the cursor is given back once";
        EXPECT_FALSE(requests.recenterMouse);
        for (int i = 0; i < 30; ++i) { // 3 s away, keys and pad as if held
            FrameInput away = unfocused({Key::W, Key::F2, Key::F3, Key::P});
            away.pad.press(PadButton::Start);
            EXPECT_EQ(run(away, 0.1).cursor, -1);
        }
    });
    EXPECT_EQ(printed, "") << "no frame rate while away";
    EXPECT_EQ(player->position, where);
    EXPECT_TRUE(showFrameRate);
    EXPECT_FALSE(paused);
    EXPECT_FALSE(keyLatches.padStart);

    // Back: the cursor is taken again, and the frame takes neither time nor the mouse's travel.
    FrameInput back = held({Key::W});
    back.mouseX = 100;
    FrameRequests requests;
    // NOTE: the returning frame takes no time, so its rate reads "inf", as after U.
    EXPECT_EQ(captured([&] { requests = run(back, 0.5); }), "FPS: inf\n");
    EXPECT_EQ(requests.cursor, 1);
    EXPECT_NEAR(glm::length(player->position - where), 0.0f, 0.02f);
    EXPECT_EQ(camera->yaw, yaw);
    EXPECT_EQ(captured([&] { requests = frame({Key::W}, 0.1); }), "FPS: 10\n");
    EXPECT_EQ(requests.cursor, -1);
    EXPECT_NEAR(glm::length(player->position - where), 1.0f, 0.02f);

    // A pause the player made outlasts the window's return.
    captured([&] {
        frame({Key::F2, Key::P});
        frame();
        run(unfocused());
        EXPECT_EQ(frame({Key::W}, 0.5).cursor, 1);
    });
    EXPECT_TRUE(paused);
    where = player->position;
    frame({Key::W}, 0.5);
    EXPECT_EQ(player->position, where);
    frame({Key::U, Key::W}, 0.5);
    frame({Key::W}, 0.1);
    EXPECT_NEAR(glm::length(player->position - where), 1.0f, 0.02f);
}
