#include "physics/BulletPhysics.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/ObjFiles.h"

namespace {

namespace fs = std::filesystem;

constexpr float restHeight = 0.99f; // half the box height, less the allowed penetration 0.01

class PhysicsWorld : public testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("gorbeck-physics-" + std::to_string(getpid()) + "-" + info->name());
        fs::create_directories(dir);
    }

    void TearDown() override { fs::remove_all(dir); }

    // The start-up order of the game: the player's plane, the character, the level's plane.
    static int registerLikeTheGame(BulletPhysics& physics)
    {
        physics.addStaticPlane(glm::vec3(0, 50, 0), glm::vec3(0));
        testing::internal::CaptureStdout();
        const int player = physics.addCharacter(glm::vec3(0, 50, 0));
        testing::internal::GetCapturedStdout();
        physics.addStaticPlane(glm::vec3(0), glm::vec3(0));
        return player;
    }

    static void run(BulletPhysics& physics, int steps)
    {
        for (int i = 0; i < steps; ++i)
            physics.step();
    }

    fs::path dir;
};

TEST_F(PhysicsWorld, RegistrationFollowsTheGameStartUpOrder)
{
    const std::string level = (dir / "floor.obj").string();
    objfile::Writer().quad(objfile::floor(50)).save(level);
    BulletPhysics physics(level);

    EXPECT_EQ(physics.addStaticPlane(glm::vec3(0, 50, 0), glm::vec3(0)), 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(physics.addCharacter(glm::vec3(3, 50, 7)), 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "blabla\n50\n");
    EXPECT_EQ(physics.addStaticPlane(glm::vec3(0), glm::vec3(0)), 3);
    EXPECT_EQ(physics.objectCount, 4);
    // Loaded at y = 50, but the character always starts at (0, 10, 0).
    EXPECT_EQ(characterPosition(physics, 2), glm::vec3(0, 10, 0));
}

// The controller steps up ledges of up to 0.35 as it walks; a higher one stops it.
TEST_F(PhysicsWorld, CharacterStepsUpALedgeOfAThirdButNotOfFourTenths)
{
    for (float ledge : {0.3f, 0.4f}) {
        SCOPED_TRACE(ledge);
        // The floor, and from z = 5 on a block standing `ledge` above it, with its face at z = 5.
        const std::string level = (dir / "ledge.obj").string();
        objfile::Writer()
            .quad(objfile::floor(50))
            .quad({{0, ledge, 27.5f}, {0, 0, 22.5f}, {50, 0, 0}})
            .quad({{0, ledge / 2, 5}, {0, ledge / 2, 0}, {50, 0, 0}})
            .save(level);
        BulletPhysics physics(level);
        const int player = registerLikeTheGame(physics);
        run(physics, 120);
        for (int i = 0; i < 120; ++i) { // 12 units along +z, past the ledge's face at z = 5
            physics.walkForward(glm::vec3(0, 0, -1), 0.1f);
            physics.step();
        }
        glm::vec3 p = characterPosition(physics, player);
        if (ledge < 0.35f) {
            EXPECT_NEAR(p.z, 12.0f, 0.05f);
            EXPECT_NEAR(p.y, ledge + restHeight, 0.02f);
        } else {
            // The box reaches 1 in front of its middle: it stops against the face.
            EXPECT_NEAR(p.z, 4.0f, 0.05f);
            EXPECT_NEAR(p.y, restHeight, 0.02f);
        }
    }
}

TEST_F(PhysicsWorld, UnusableLevelIsReportedInOneLineAndTheWorldStillRuns)
{
    // File, its text, and the reason given: Assimp's own where it refuses the file.
    const std::vector<std::array<std::string, 3>> files = {
        {"missing.obj", "", "Unable to open file"}, // not written
        {"empty.obj", "", "OBJ-file is too small"},
        {"points.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n", "it holds no triangles"},
        {"lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\nl 2 3\n", "it holds no triangles"},
    };
    for (const auto& [name, text, reason] : files) {
        SCOPED_TRACE(name);
        const std::string path = (dir / name).string();
        if (name != "missing.obj")
            std::ofstream(path) << text;
        BulletPhysics physics(path);
        EXPECT_FALSE(physics.levelLoaded());
        const std::string& error = physics.levelLoadError();
        EXPECT_EQ(error.rfind("cannot load the level \"" + path + "\": ", 0), 0u) << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(physics.rigidBodies.size(), 1u);

        // Nothing to stand on: free fall from y = 10, 0.49 / 60 further each step, so after
        // 60 steps 10 - 0.49 * (1 + ... + 60) / 60 = 10 - 14.945.
        const int player = registerLikeTheGame(physics);
        run(physics, 60);
        EXPECT_NEAR(characterPosition(physics, player).y, 10 - 14.945f, 0.01f);
    }
}

} // namespace
