#include "physics/BulletPhysics.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <BulletDynamics/Character/btKinematicCharacterController.h>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

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
const char* const floorObj =
    "o floor\n"
    "v -50 0 -50\n"
    "v 50 0 -50\n"
    "v 50 0 50\n"
    "v -50 0 50\n"
    "f 1 3 2\n"
    "f 1 4 3\n";

// Three groups: a triangle, a square of two triangles with shared vertices, and a quad face
// that has to be triangulated.
const char* const threeMeshObj =
    "o first\n"
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
const char* const distantScrapObj =
    "o scrap\n"
    "v 500 0 500\n"
    "v 501 0 500\n"
    "v 500 0 501\n"
    "f 1 3 2\n";

constexpr float restHeight = 0.99f;  // half the box height, less the allowed penetration 0.01
constexpr float step = 1.0f / 60.0f;

class PhysicsWorld : public testing::Test
{
protected:
    void SetUp() override
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("gorbeck-physics-" + std::to_string(getpid()) + "-" + info->name());
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

struct Triangle
{
    btVector3 v[3];
};

std::vector<Triangle> levelTriangles(const BulletPhysics& physics)
{
    struct Collector : btInternalTriangleIndexCallback
    {
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

bool finite(const btVector3& v)
{
    return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z());
}

TEST_F(PhysicsWorld, NewWorldHoldsOnlyTheLevelBodyWithGravityDown)
{
    BulletPhysics physics(write("floor.obj", floorObj));

    EXPECT_TRUE(physics.levelLoaded());
    EXPECT_EQ(physics.levelLoadError(), "");
    EXPECT_EQ(physics.objectCount, 1);
    ASSERT_EQ(physics.rigidBodies.size(), 1u);
    const btRigidBody* level = physics.rigidBodies[0];
    EXPECT_EQ(level->getCollisionShape()->getShapeType(), TRIANGLE_MESH_SHAPE_PROXYTYPE);
    EXPECT_TRUE(level->isStaticObject());
    EXPECT_EQ(level->getWorldTransform().getOrigin(), btVector3(0, 0, 0));
    EXPECT_EQ(physics.dynamicsWorld->getNumCollisionObjects(), 1);
    EXPECT_EQ(physics.dynamicsWorld->getGravity(), btVector3(0, -10, 0));
    EXPECT_EQ(physics.characterController, nullptr);
    EXPECT_EQ(physics.ghostObject, nullptr);
}

TEST_F(PhysicsWorld, LevelTrianglesKeepTheFileCoordinatesAndVertexOrder)
{
    BulletPhysics physics(write("floor.obj", floorObj));

    const std::vector<Triangle> triangles = levelTriangles(physics);
    ASSERT_EQ(triangles.size(), 2u);
    // "f 1 3 2" and "f 1 4 3", unscaled.
    expectVertex(triangles[0].v[0], -50, 0, -50);
    expectVertex(triangles[0].v[1], 50, 0, 50);
    expectVertex(triangles[0].v[2], 50, 0, -50);
    expectVertex(triangles[1].v[0], -50, 0, -50);
    expectVertex(triangles[1].v[1], -50, 0, 50);
    expectVertex(triangles[1].v[2], 50, 0, 50);
}

TEST_F(PhysicsWorld, SeveralMeshesBecomeOneTriangleMeshWithOffsetIndices)
{
    BulletPhysics physics(write("three.obj", threeMeshObj));

    auto* shape = static_cast<btBvhTriangleMeshShape*>(physics.rigidBodies.at(0)->getCollisionShape());
    EXPECT_EQ(shape->getMeshInterface()->getNumSubParts(), 1);

    const std::vector<Triangle> triangles = levelTriangles(physics);
    // 1 + 2 + a quad split in two.
    ASSERT_EQ(triangles.size(), 5u);
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

TEST_F(PhysicsWorld, CharacterIsABoxGhostWithTheGameSettings)
{
    BulletPhysics physics(write("floor.obj", floorObj));
    registerLikeTheGame(physics);

    const btPairCachingGhostObject* ghost = physics.ghostObject;
    ASSERT_NE(ghost, nullptr);
    EXPECT_EQ(ghost->getCollisionFlags(), btCollisionObject::CF_CHARACTER_OBJECT);
    ASSERT_EQ(ghost->getCollisionShape()->getShapeType(), BOX_SHAPE_PROXYTYPE);
    const auto* box = static_cast<const btBoxShape*>(ghost->getCollisionShape());
    const btVector3 halfExtents = box->getHalfExtentsWithMargin();
    EXPECT_FLOAT_EQ(halfExtents.x(), 2);
    EXPECT_FLOAT_EQ(halfExtents.y(), 1);
    EXPECT_FLOAT_EQ(halfExtents.z(), 1);
    EXPECT_EQ(ghost->getBroadphaseHandle()->m_collisionFilterGroup, 32);
    EXPECT_EQ(ghost->getBroadphaseHandle()->m_collisionFilterMask, 3);

    btKinematicCharacterController* controller = physics.characterController;
    EXPECT_EQ(controller->getUp(), btVector3(0, 1, 0));
    EXPECT_FLOAT_EQ(controller->getStepHeight(), 0.35f);
    EXPECT_FLOAT_EQ(controller->getJumpSpeed(), 20);
    EXPECT_FLOAT_EQ(controller->getFallSpeed(), 55);
    EXPECT_FLOAT_EQ(controller->getGravity().y(), -29.4f);
    EXPECT_NEAR(controller->getMaxSlope(), SIMD_PI / 4, 1e-6);
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

TEST_F(PhysicsWorld, WalkVectorIsAppliedEveryStepAndZeroStopsAtOnce)
{
    BulletPhysics physics(write("floor.obj", floorObj));
    const int player = registerLikeTheGame(physics);
    run(physics, 120);
    const glm::vec3 start = characterPosition(physics, player);

    // Forward with d = (0, 0, -1) goes along +z: one second at 10 units per second.
    const glm::vec3 d(0, 0, -1);
    for (int i = 0; i < 60; ++i) {
        physics.walkForward(d, 10 * step);
        physics.step();
    }
    glm::vec3 p = characterPosition(physics, player);
    EXPECT_NEAR(p.z - start.z, 10, 1e-3);
    EXPECT_NEAR(p.x, start.x, 1e-4);
    EXPECT_NEAR(p.y, restHeight, 1e-3);

    physics.walkForward(d, 0);
    run(physics, 30);
    const glm::vec3 stopped = characterPosition(physics, player);
    EXPECT_NEAR(stopped.z, p.z, 1e-5);

    // Backward along d: 30 steps of 0.1.
    for (int i = 0; i < 30; ++i) {
        physics.walkBackward(d, 0.1f);
        physics.step();
    }
    p = characterPosition(physics, player);
    EXPECT_NEAR(p.z - stopped.z, -3, 1e-3);
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

TEST_F(PhysicsWorld, WarpReturnsTheCharacterToTheStartAndItFallsBack)
{
    BulletPhysics physics(write("floor.obj", floorObj));
    const int player = registerLikeTheGame(physics);
    run(physics, 120);
    for (int i = 0; i < 30; ++i) {
        physics.walkBackward(glm::vec3(1, 0, 0), 0.2f);
        physics.step();
    }
    physics.walkForward(glm::vec3(1, 0, 0), 0);
    ASSERT_NEAR(characterPosition(physics, player).x, 6, 1e-3);

    physics.warp(glm::vec3(0, 10, 0));
    EXPECT_EQ(characterPosition(physics, player), glm::vec3(0, 10, 0));

    run(physics, 120);
    const glm::vec3 p = characterPosition(physics, player);
    EXPECT_NEAR(p.x, 0, 1e-4);
    EXPECT_NEAR(p.y, restHeight, 1e-3);
    EXPECT_NEAR(p.z, 0, 1e-4);
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

    auto isObjectBody = [&](const btCollisionObject* object) {
        for (std::size_t i = 1; i < physics.rigidBodies.size(); ++i)
            if (object == physics.rigidBodies[i])
                return true;
        return false;
    };

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

        const glm::vec3 p = characterPosition(physics, player);
        const btVector3 expected = plain.ghostObject->getWorldTransform().getOrigin();
        ASSERT_EQ(p, glm::vec3(expected.x(), expected.y(), expected.z())) << "step " << i;
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << "step " << i;

        for (int m = 0; m < physics.dispatcher->getNumManifolds(); ++m) {
            const btPersistentManifold* manifold = physics.dispatcher->getManifoldByIndexInternal(m);
            EXPECT_FALSE(isObjectBody(manifold->getBody0()) || isObjectBody(manifold->getBody1()))
                << "contact manifold with an object body at step " << i;
        }
        for (int o = 0; o < physics.ghostObject->getNumOverlappingObjects(); ++o)
            EXPECT_FALSE(isObjectBody(physics.ghostObject->getOverlappingObject(o)))
                << "character overlaps an object body at step " << i;
    }
    // Walked past both origins and landed again.
    EXPECT_GT(characterPosition(physics, player).z, 8);
    EXPECT_NEAR(characterPosition(physics, player).y, restHeight, 1e-3);

    for (std::size_t i = 1; i < physics.rigidBodies.size(); ++i) {
        const auto* shape = static_cast<const btStaticPlaneShape*>(physics.rigidBodies[i]->getCollisionShape());
        EXPECT_TRUE(finite(shape->getPlaneNormal())) << "body " << i;
        btVector3 aabbMin, aabbMax;
        physics.rigidBodies[i]->getAabb(aabbMin, aabbMax);
        EXPECT_FALSE(std::isnan(aabbMin.x()) || std::isnan(aabbMax.x())) << "body " << i;
    }
}

TEST_F(PhysicsWorld, PlaneWithRealNormalHoldsTheCharacterUp)
{
    BulletPhysics physics(write("scrap.obj", distantScrapObj));
    EXPECT_EQ(physics.addStaticPlane(glm::vec3(0, 3, 0), glm::vec3(0, 2, 0)), 1);
    testing::internal::CaptureStdout();
    const int player = physics.addCharacter(glm::vec3(0));
    testing::internal::GetCapturedStdout();
    physics.addStaticPlane(glm::vec3(0), glm::vec3(0));  // so that index 2 is in range

    run(physics, 120);
    // Plane constant -1 puts the surface one unit below the origin: y = 2.
    EXPECT_NEAR(characterPosition(physics, player).y, 2 + restHeight, 1e-3);
}

TEST_F(PhysicsWorld, MissingLevelIsReportedAndTheWorldStillRuns)
{
    const std::string path = (dir / "missing.obj").string();
    BulletPhysics physics(path);

    EXPECT_FALSE(physics.levelLoaded());
    const std::string& error = physics.levelLoadError();
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("Unable to open file"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_EQ(physics.objectCount, 1);
    EXPECT_EQ(physics.rigidBodies.size(), 1u);

    // Nothing to stand on: free fall from y = 10, 0.49 / 60 further each step, so after
    // 60 steps 10 - 0.49 * (1 + ... + 60) / 60 = 10 - 14.945.
    const int player = registerLikeTheGame(physics);
    run(physics, 60);
    EXPECT_NEAR(characterPosition(physics, player).y, 10 - 14.945f, 0.01f);
}

TEST_F(PhysicsWorld, LevelWithoutTrianglesIsReported)
{
    const std::vector<std::pair<std::string, std::string>> files = {
        {"empty.obj", ""},
        {"points.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n"},
        {"lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\nl 2 3\n"},
    };
    for (const auto& [name, text] : files) {
        const std::string path = write(name, text);
        BulletPhysics physics(path);
        EXPECT_FALSE(physics.levelLoaded()) << name;
        EXPECT_NE(physics.levelLoadError().find(path), std::string::npos) << physics.levelLoadError();
        EXPECT_EQ(physics.objectCount, 1) << name;
        EXPECT_EQ(physics.rigidBodies.size(), 1u) << name;
    }
}

}
