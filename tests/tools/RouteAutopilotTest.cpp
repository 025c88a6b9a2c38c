#include "tools/route/Autopilot.h"

#include <gtest/gtest.h>

#include "app/Globals.h"
#include "app/HeadlessGame.h"
#include "physics/BulletPhysics.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"
#include "tools/gen/Level.h"

namespace {

// Plays the course through the game's frame update at a fixed frame time, the way the
// demo recording does, and returns the final game state.
int playCourse(double frameTime, double& seconds, float& lowest)
{
    std::string error;
    EXPECT_TRUE(startHeadlessWorld(std::string(GORBECK_RUNTIME_DIR) + "/models/level.obj", error)) << error;
    std::vector<Autopilot::Goal> goals;
    for (const gen::Waypoint& w : gen::courseRoute())
        goals.push_back({w.x, w.z, w.jump});
    Autopilot pilot(goals, frameTime, 0.5);
    int state = pilot.run(static_cast<int>(2.0 / frameTime), 150.0);
    seconds = pilot.seconds();
    lowest = pilot.lowestHeight();
    stopHeadlessWorld();
    return state;
}

} // namespace

// Walking covers 10 units per real second while falls and jumps advance 1/60 s per frame,
// so the same course plays very differently at 8 and at 240 frames per second.
TEST(RouteAutopilot, ReachesTheCheeseAtEightSixtyAndTwoHundredFortyFramesPerSecond)
{
    for (double fps : {8.0, 60.0, 240.0}) {
        SCOPED_TRACE(std::to_string(fps) + " frames per second");
        double seconds = 0.0;
        float lowest = 0.0f;
        int state = playCourse(1.0 / fps, seconds, lowest);
        EXPECT_EQ(state, 1);
        EXPECT_GT(lowest, -9.0f) << "the mouse fell on the way";
        // A course of one to one and a half minutes at walking speed, 2 s standing included.
        EXPECT_GE(seconds, 60.0);
        EXPECT_LE(seconds, 95.0);
        std::printf("%g fps: game state %d after %.1f s of play\n", fps, state, seconds);
    }
}

namespace {

// The cheese yard's floor, 8 below the cheese's top.
constexpr float yardHeight = gen::cheeseTopHeight - 8.0f;

// Sets the mouse down in the cheese yard at (x, z) and walks it straight at the middle of
// the cheese, with no jump; returns the final game state and the height it ended at.
int walkIntoTheCheese(float x, float z, float& endHeight)
{
    std::string error;
    EXPECT_TRUE(startHeadlessWorld(std::string(GORBECK_RUNTIME_DIR) + "/models/level.obj", error)) << error;
    scene->physics->warp(glm::vec3(x, yardHeight + 2.0f, z));
    Autopilot pilot({{gen::cheeseX, gen::cheeseZ, false}}, 1.0 / 60.0, 0.5);
    int state = pilot.run(60, 20.0);
    for (const FrameInput& input : pilot.replay().frames)
        EXPECT_FALSE(input.down(Key::Space));
    endHeight = scene->player->position.y;
    stopHeadlessWorld();
    return state;
}

} // namespace

// The goal area is 230 < x < 250, z > 540, and the mouse's box reaches 2 east and west of
// its middle and 1 north and south. Walking into any face of the cheese, without climbing
// it, must leave the mouse inside the area: from the gate (the way the course comes in),
// and round the sides of the block, where an east or west face at x 248 or 232 or beyond
// would stop the mouse at x 250 or 230, on the area's edge and so outside it.
TEST(CheeseGoal, WalkingIntoAnyFaceOfTheCheeseWinsWithoutAJump)
{
    struct Approach {
        const char* name;
        float x, z;
    };
    for (Approach a : {Approach{"from the gate", 240.0f, 515.0f}, Approach{"from the east", 262.0f, 557.0f},
                       Approach{"from the west", 218.0f, 557.0f}}) {
        SCOPED_TRACE(a.name);
        float y = 0.0f;
        EXPECT_EQ(walkIntoTheCheese(a.x, a.z, y), 1);
        // It won standing on the yard, not on the cheese's top 8 higher.
        EXPECT_LT(y, yardHeight + 2.0f);
    }
}
