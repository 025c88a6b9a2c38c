#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "tests/tools/LevelWorld.h"
#include "tools/gen/Level.h"

namespace {

constexpr float lossHeight = -9.0f;
constexpr float walkSpeed = 10.0f;  // units per real second

bool inGoal(const btVector3& p)
{
    return p.x() > 230.0f && p.x() < 250.0f && p.z() > 540.0f;
}

// Drops a character and lets it settle for two simulated seconds.
btVector3 restingPlace(btVector3 start)
{
    LevelWorld world;
    if (!world.ready())
        return btVector3(0, -1e9f, 0);
    world.character(start);
    for (int i = 0; i < 120; ++i)
        world.step();
    return world.position();
}

TEST(LevelPhysics, CharacterLandsOnTheStartGround)
{
    btVector3 rest = restingPlace(btVector3(0, 10, 0));
    // The box's half height is 1 and it rests 0.04 into the floor.
    EXPECT_NEAR(rest.y(), gen::startGroundHeight + 0.96f, 0.05f);
    EXPECT_NEAR(rest.x(), 0.0f, 0.01f);
    EXPECT_NEAR(rest.z(), 0.0f, 0.01f);
}

TEST(LevelPhysics, CharacterDroppedOnTheCheeseRestsOnItsTopInsideTheGoal)
{
    btVector3 rest = restingPlace(btVector3(gen::cheeseX, gen::cheeseTopHeight + 3.0f, gen::cheeseZ));
    // A landing may stay up to 0.2 into the floor: the controller only pushes out deeper overlaps.
    EXPECT_NEAR(rest.y(), gen::cheeseTopHeight + 0.96f, 0.2f);
    EXPECT_GT(rest.y(), gen::cheeseTopHeight + 0.75f);
    EXPECT_TRUE(inGoal(rest)) << rest.x() << " " << rest.z();
}

// The first causeway runs south from the start island (x -9 to 9, its top 0.15 up), kerbed
// on both sides: walking sideways stops at the kerb; jumping over it ends in the water.
TEST(LevelPhysics, KerbsStopAWalkOffTheCausewayButAJumpClearsThem)
{
    for (bool jump : {false, true}) {
        SCOPED_TRACE(jump ? "jumping" : "walking");
        LevelWorld world;
        ASSERT_TRUE(world.ready());
        btKinematicCharacterController& c = world.character(btVector3(0, 2, -40));
        for (int i = 0; i < 60; ++i)
            world.step();
        ASSERT_NEAR(world.position().y(), 0.15f + 0.96f, 0.05f);
        if (jump)
            c.jump();
        c.setWalkDirection(btVector3(walkSpeed / 60.0f, 0, 0)); // east, towards the kerb at x 7.4
        for (int i = 0; i < 300; ++i)
            world.step();
        if (jump) {
            EXPECT_LT(world.position().y(), lossHeight);
            // It comes to rest on the water, which is part of the collision mesh.
            EXPECT_NEAR(world.position().y(), gen::waterHeight + 0.96f, 0.1f);
        } else {
            // The box reaches 2 either side of its middle: it stops against the kerb's face.
            EXPECT_NEAR(world.position().x(), 7.4f - 2.0f, 0.1f);
            EXPECT_NEAR(world.position().y(), 0.15f + 0.96f, 0.05f);
        }
    }
}

struct RouteResult {
    bool reachedGoal = false;
    float lowest = 1e9f;
    float seconds = 0.0f;  // real time at this frame rate
};

// Walks the route as a player holding the forward key would at the given frame rate: each
// frame moves 10 units per real second, while the simulation advances 1/60 s.
RouteResult walkRoute(float fps)
{
    RouteResult result;
    LevelWorld world;
    if (!world.ready())
        return result;
    btKinematicCharacterController& c = world.character(btVector3(0, 10, 0));
    const float stride = walkSpeed / fps;
    const auto& route = gen::courseRoute();
    size_t next = 0;
    int frames = 0;
    const int frameLimit = static_cast<int>(200.0f * fps);
    while (frames < frameLimit && next < route.size()) {
        btVector3 p = world.position();
        btVector3 toward(route[next].x - p.x(), 0.0f, route[next].z - p.z());
        float distance = toward.length();
        if (distance < std::max(1.0f, stride)) {
            if (route[next].jump) {
                if (!c.canJump()) {
                    c.setWalkDirection(btVector3(0, 0, 0));
                    world.step();
                    ++frames;
                    continue;
                }
                c.jump();
            }
            ++next;
            continue;
        }
        c.setWalkDirection(toward / distance * std::min(stride, distance));
        world.step();
        ++frames;
        result.lowest = std::min(result.lowest, world.position().y());
    }
    c.setWalkDirection(btVector3(0, 0, 0));
    for (int i = 0; i < 60; ++i) {
        world.step();
        result.lowest = std::min(result.lowest, world.position().y());
    }
    result.reachedGoal = next == route.size() && inGoal(world.position());
    result.seconds = static_cast<float>(frames) / fps;
    return result;
}

TEST(LevelPhysics, RouteReachesTheGoalAtLowAndNormalFrameRates)
{
    for (float fps : {8.0f, 60.0f}) {
        SCOPED_TRACE(std::to_string(fps) + " frames per second");
        RouteResult r = walkRoute(fps);
        EXPECT_TRUE(r.reachedGoal);
        EXPECT_GT(r.lowest, lossHeight);
        // A course of one to one and a half minutes at walking speed.
        EXPECT_GE(r.seconds, 60.0f);
        EXPECT_LE(r.seconds, 90.0f);
    }
}

}  // namespace
