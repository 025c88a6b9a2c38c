#include <sstream>

#include <gtest/gtest.h>

#include "physics/BulletPhysics.h"
#include "tests/tools/AssetFiles.h"
#include "tools/gen/Level.h"

namespace {

constexpr float lossHeight = -9.0f;
constexpr float restHeight = 0.99f; // the box's half height, less the world's allowed penetration
constexpr float step = 1.0f / 60.0f;

// The game's own physics world on the generated level, its character registered as at start-up.
struct Level {
    std::ostringstream quiet;
    BulletPhysics physics{runtimePath("models/level.obj"), quiet};
    int character = 0;

    Level()
    {
        physics.addStaticPlane(glm::vec3(0, 50, 0), glm::vec3(0));
        character = physics.addCharacter(glm::vec3(0, 50, 0));
        physics.addStaticPlane(glm::vec3(0), glm::vec3(0));
    }
    glm::vec3 settle(int steps = 120)
    {
        for (int i = 0; i < steps; ++i)
            physics.step();
        return characterPosition(physics, character);
    }
};

bool inGoal(const glm::vec3& p)
{
    return p.x > 230.0f && p.x < 250.0f && p.z > 540.0f;
}

TEST(LevelPhysics, CharacterLandsOnTheStartGroundAndOnTheCheeseInsideTheGoal)
{
    Level level;
    ASSERT_TRUE(level.physics.levelLoaded()) << level.physics.levelLoadError();
    glm::vec3 rest = level.settle();
    EXPECT_NEAR(rest.y, gen::startGroundHeight + restHeight, 0.02f);
    EXPECT_NEAR(rest.x, 0.0f, 0.01f);
    EXPECT_NEAR(rest.z, 0.0f, 0.01f);
    EXPECT_FALSE(inGoal(rest));

    level.physics.warp(glm::vec3(gen::cheeseX, gen::cheeseTopHeight + 3.0f, gen::cheeseZ));
    rest = level.settle();
    // A landing may stay up to 0.2 into the floor: the controller only pushes out deeper overlaps.
    EXPECT_NEAR(rest.y, gen::cheeseTopHeight + restHeight, 0.2f);
    EXPECT_TRUE(inGoal(rest)) << rest.x << " " << rest.z;
}

// The first causeway runs south from the start island (x -9 to 9, its top 0.15 up), kerbed
// on both sides: walking sideways stops at the kerb; jumping over it ends in the water.
TEST(LevelPhysics, KerbsStopAWalkOffTheCausewayButAJumpClearsThem)
{
    for (bool jump : {false, true}) {
        SCOPED_TRACE(jump ? "jumping" : "walking");
        Level level;
        level.physics.warp(glm::vec3(0, 2, -40));
        ASSERT_NEAR(level.settle(60).y, 0.15f + restHeight, 0.02f);
        if (jump)
            level.physics.jump();
        level.physics.walkBackward(glm::vec3(1, 0, 0), 10 * step); // east, towards the kerb at x 7.4
        glm::vec3 p = level.settle(300);
        if (jump) {
            EXPECT_LT(p.y, lossHeight);
            // It comes to rest on the water, which is part of the collision mesh.
            EXPECT_NEAR(p.y, gen::waterHeight + restHeight, 0.1f);
        } else {
            // The box reaches 2 either side of its middle: it stops against the kerb's face.
            EXPECT_NEAR(p.x, 7.4f - 2.0f, 0.1f);
            EXPECT_NEAR(p.y, 0.15f + restHeight, 0.02f);
        }
    }
}

} // namespace
