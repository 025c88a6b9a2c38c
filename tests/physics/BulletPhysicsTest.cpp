#include "physics/BulletPhysics.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <BulletDynamics/Character/btKinematicCharacterController.h>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Square floor at y = 0 spanning -50..50 in x and z, two triangles facing up.
const char* const floorObj = "o floor\n"
                             "v -50 0 -50\n"
                             "v 50 0 -50\n"
                             "v 50 0 50\n"
                             "v -50 0 50\n"
                             "f 1 3 2\n"
                             "f 1 4 3\n";

// Three groups: a triangle, a square of two triangles with shared vertices, and a quad face
// that has to be triangulated.
const char* const threeMeshObj = "o first\n"
                                 "v 0 0 0\n"
                                 "v 1 0 0\n"
                                 "v 0 0 1\n"
                                 "f 1 2 3\n"
                                 "o second\n"
                                 "v 10 2 10\n"
                                 "v 11 2 10\n"
                                 "v 10 2 11\n"
                                 "v 11 2 11\n"
                                 "f 4 5 6\n"
                                 "f 5 7 6\n"
                                 "o third\n"
                                 "v 20 4 20\n"
                                 "v 21 4 20\n"
                                 "v 21 4 21\n"
                                 "v 20 4 21\n"
                                 "f 8 9 10 11\n";

// A scrap of ground far from the start point, so nothing holds the character up near it.
const char* const distantScrapObj = "o scrap\n"
                                    "v 500 0 500\n"
                                    "v 501 0 500\n"
                                    "v 500 0 501\n"
                                    "f 1 3 2\n";

constexpr float restHeight = 0.99f; // half the box height, less the allowed penetration 0.01
constexpr float step = 1.0f / 60.0f;

class PhysicsWorld : public testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("gorbeck-physics-" + std::to_string(getpid()) + "-" + info->name());
        fs::create_directories(dir);
    }

    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::string& text)
    {
        const fs::path path = dir / name;
        std::ofstream(path) << text;
        return path.string();
    }

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

struct Triangle {
    btVector3 v[3];
};

std::vector<Triangle> levelTriangles(const BulletPhysics& physics)
{
    struct Collector : btInternalTriangleIndexCallback {
        std::vector<Triangle> triangles;
        void internalProcessTriangleIndex(btVector3* triangle, int, int) override
        {
            triangles.push_back({{triangle[0], triangle[1], triangle[2]}});
        }
    } collector;
    auto* shape = static_cast<btBvhTriangleMeshShape*>(physics.rigidBodies.at(0)->getCollisionShape());
    shape->getMeshInterface()->InternalProcessAllTriangles(&collector, btVector3(-1e9, -1e9, -1e9),
                                                           btVector3(1e9, 1e9, 1e9));
    return collector.triangles;
}

void expectVertex(const btVector3& actual, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(actual.x(), x);
    EXPECT_FLOAT_EQ(actual.y(), y);
    EXPECT_FLOAT_EQ(actual.z(), z);
}

TEST_F(PhysicsWorld, LevelMeshesBecomeOneStaticBodyInTheFileCoordinatesAndOrder)
{
    BulletPhysics physics(write("three.obj", threeMeshObj));
    EXPECT_TRUE(physics.levelLoaded());
    EXPECT_EQ(physics.objectCount, 1);
    ASSERT_EQ(physics.rigidBodies.size(), 1u);
    EXPECT_TRUE(physics.rigidBodies[0]->isStaticObject());
    EXPECT_EQ(physics.characterController, nullptr);

    const std::vector<Triangle> triangles = levelTriangles(physics);
    // 1 + 2 + a quad split in two, in file order and unscaled: "f 1 2 3" first.
    ASSERT_EQ(triangles.size(), 5u);
    expectVertex(triangles[0].v[0], 0, 0, 0);
    expectVertex(triangles[0].v[1], 1, 0, 0);
    expectVertex(triangles[0].v[2], 0, 0, 1);
    // The second mesh's "f 5 7 6": its local indices only land on these vertices once they
    // are offset past the first mesh's three.
    expectVertex(triangles[2].v[0], 11, 2, 10);
    expectVertex(triangles[2].v[1], 11, 2, 11);
    expectVertex(triangles[2].v[2], 10, 2, 11);
    for (int t = 3; t < 5; ++t)
        for (const btVector3& v : triangles[t].v)
            EXPECT_FLOAT_EQ(v.y(), 4) << "triangle " << t << " should come from the third mesh";
}

TEST_F(PhysicsWorld, RegistrationFollowsTheGameStartUpOrder)
{
    BulletPhysics physics(write("floor.obj", floorObj));

    EXPECT_EQ(physics.addStaticPlane(glm::vec3(0, 50, 0), glm::vec3(0)), 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(physics.addCharacter(glm::vec3(3, 50, 7)), 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "blabla\n50\n");
    EXPECT_EQ(physics.addStaticPlane(glm::vec3(0), glm::vec3(0)), 3);

    EXPECT_EQ(physics.objectCount, 4);
    ASSERT_EQ(physics.rigidBodies.size(), 3u);
    EXPECT_EQ(physics.rigidBodies[1]->getWorldTransform().getOrigin(), btVector3(0, 50, 0));
    EXPECT_EQ(physics.rigidBodies[2]->getWorldTransform().getOrigin(), btVector3(0, 0, 0));
    EXPECT_EQ(physics.dynamicsWorld->getNumCollisionObjects(), 4);
    EXPECT_THROW(physics.addCharacter(glm::vec3(0)), std::logic_error);
}

// The controller steps up ledges of up to 0.35 as it walks; a higher one stops it.
TEST_F(PhysicsWorld, CharacterStepsUpALedgeOfAThirdButNotOfFourTenths)
{
    for (float ledge : {0.3f, 0.4f}) {
        SCOPED_TRACE(ledge);
        // The floor, and from z = 5 on a block standing `ledge` above it.
        std::string h = std::to_string(ledge);
        BulletPhysics physics(write("ledge.obj",
                                    std::string(floorObj) + "o block\nv -50 " + h + " 5\nv 50 " + h + " 5\nv 50 " + h
                                        + " 50\nv -50 " + h
                                        + " 50\nv -50 0 5\nv 50 0 5\n"
                                          "f 5 7 6\nf 5 8 7\nf 9 10 6\nf 9 6 5\n"));
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

TEST_F(PhysicsWorld, GetTransformGivesTheCharacterForEveryIndexInRange)
{
    BulletPhysics physics(write("floor.obj", floorObj));
    EXPECT_THROW(physics.getTransform(0), std::logic_error);
    EXPECT_THROW(physics.getTransform(1), std::out_of_range);

    const int player = registerLikeTheGame(physics);
    run(physics, 3);

    const btTransform expected = physics.ghostObject->getWorldTransform();
    for (int index = 0; index < 3; ++index) {
        const btTransform t = physics.getTransform(index);
        EXPECT_EQ(t.getOrigin(), expected.getOrigin()) << "index " << index;
        EXPECT_EQ(t.getBasis(), expected.getBasis()) << "index " << index;
    }
    // Three rigid bodies, so the level object's registration index 3 is already out of range.
    EXPECT_THROW(physics.getTransform(3), std::out_of_range);
    EXPECT_THROW(physics.getTransform(-1), std::out_of_range);

    const glm::vec3 position = characterPosition(physics, player);
    EXPECT_EQ(position.x, expected.getOrigin().x());
    EXPECT_EQ(position.y, expected.getOrigin().y());
    EXPECT_EQ(position.z, expected.getOrigin().z());
}

TEST_F(PhysicsWorld, CharacterStartsAtTheStartPointAndComesToRestOnTheFloor)
{
    BulletPhysics physics(write("floor.obj", floorObj));
    const int player = registerLikeTheGame(physics);

    // Loaded at y = 50, but the character always starts at (0, 10, 0).
    glm::vec3 p = characterPosition(physics, player);
    EXPECT_EQ(p, glm::vec3(0, 10, 0));

    run(physics, 120);
    p = characterPosition(physics, player);
    EXPECT_NEAR(p.y, restHeight, 1e-3);
    EXPECT_NEAR(p.x, 0, 1e-4);
    EXPECT_NEAR(p.z, 0, 1e-4);
    EXPECT_TRUE(physics.canJump());
}

TEST_F(PhysicsWorld, HeldJumpGivesOneJumpPerLanding)
{
    BulletPhysics physics(write("floor.obj", floorObj));
    const int player = registerLikeTheGame(physics);
    run(physics, 120);
    ASSERT_TRUE(physics.canJump());

    // Jump speed 20, gravity 29.4: the height after n steps of 1/60 s is
    // sum over k = 1..n of (20 - 0.49 k) / 60. It peaks at n = 40 with 398.2 / 60 = 6.637
    // and comes back to the floor during step 81.
    std::vector<int> jumpSteps;
    std::vector<float> apexes;
    float apex = 0;
    for (int i = 0; i < 200; ++i) {
        if (physics.jump()) {
            jumpSteps.push_back(i);
            if (jumpSteps.size() > 1)
                apexes.push_back(apex);
            apex = 0;
        }
        physics.step();
        apex = std::max(apex, characterPosition(physics, player).y - restHeight);
    }

    ASSERT_EQ(jumpSteps.size(), 3u);
    EXPECT_EQ(jumpSteps[0], 0);
    for (std::size_t j = 1; j < jumpSteps.size(); ++j) {
        EXPECT_GE(jumpSteps[j] - jumpSteps[j - 1], 81);
        EXPECT_LE(jumpSteps[j] - jumpSteps[j - 1], 83);
    }
    for (float a : apexes)
        EXPECT_NEAR(a, 6.637f, 0.01f);
}

TEST_F(PhysicsWorld, ObjectBodiesWithZeroNormalNeverTouchTheCharacter)
{
    const std::string level = write("floor.obj", floorObj);
    BulletPhysics plain(level);
    testing::internal::CaptureStdout();
    plain.addCharacter(glm::vec3(0, 50, 0));
    testing::internal::GetCapturedStdout();

    BulletPhysics physics(level);
    const int player = registerLikeTheGame(physics);
    // More bodies in the fall path and along the walk.
    physics.addStaticPlane(glm::vec3(0, 5, 0), glm::vec3(0));
    physics.addStaticPlane(glm::vec3(0, 1, 6), glm::vec3(0));
    ASSERT_EQ(physics.rigidBodies.size(), 5u);

    // Fall, walk through the bodies' origins, jump and land: every step must match a world without them.
    for (int i = 0; i < 340; ++i) {
        const float amount = i >= 120 && i < 240 ? 0.1f : 0;
        physics.walkForward(glm::vec3(0, 0, -1), amount);
        plain.walkForward(glm::vec3(0, 0, -1), amount);
        if (i == 240) {
            EXPECT_TRUE(physics.jump());
            EXPECT_TRUE(plain.jump());
        }
        physics.step();
        plain.step();
        const btVector3 expected = plain.ghostObject->getWorldTransform().getOrigin();
        ASSERT_EQ(characterPosition(physics, player), glm::vec3(expected.x(), expected.y(), expected.z()))
            << "step " << i;
    }
    // Walked past both origins and landed again.
    EXPECT_GT(characterPosition(physics, player).z, 8);
    EXPECT_NEAR(characterPosition(physics, player).y, restHeight, 1e-3);

    for (std::size_t i = 1; i < physics.rigidBodies.size(); ++i) {
        const auto* shape = static_cast<const btStaticPlaneShape*>(physics.rigidBodies[i]->getCollisionShape());
        // A zero normal would be stored as NaN, with a box that pairs with everything.
        EXPECT_EQ(shape->getPlaneNormal().length(), 1.0f) << "body " << i;
    }
}

TEST_F(PhysicsWorld, PlaneWithRealNormalHoldsTheCharacterUp)
{
    BulletPhysics physics(write("scrap.obj", distantScrapObj));
    EXPECT_EQ(physics.addStaticPlane(glm::vec3(0, 3, 0), glm::vec3(0, 2, 0)), 1);
    testing::internal::CaptureStdout();
    const int player = physics.addCharacter(glm::vec3(0));
    testing::internal::GetCapturedStdout();
    physics.addStaticPlane(glm::vec3(0), glm::vec3(0)); // so that index 2 is in range

    run(physics, 120);
    // Plane constant -1 puts the surface one unit below the origin: y = 2.
    EXPECT_NEAR(characterPosition(physics, player).y, 2 + restHeight, 1e-3);
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
        const std::string path = name == "missing.obj" ? (dir / name).string() : write(name, text);
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
