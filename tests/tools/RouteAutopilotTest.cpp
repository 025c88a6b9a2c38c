#include "tools/route/Autopilot.h"

#include <gtest/gtest.h>

#include "app/Globals.h"
#include "app/HeadlessGame.h"
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
