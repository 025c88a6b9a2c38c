#pragma once

#include <LinearMath/btTransform.h>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

class btDefaultCollisionConfiguration;
class btCollisionDispatcher;
class btSequentialImpulseConstraintSolver;
class btDiscreteDynamicsWorld;
class btKinematicCharacterController;
class btPairCachingGhostObject;
class btAxisSweep3;
class btRigidBody;
class btTriangleMesh;
class btGhostPairCallback;

// The rigid-body world the player walks in: one static triangle-mesh body for the level,
// one inert static body per drawable object, and the player's ghost object driven by a
// kinematic character controller. The world's units are the model files' units, y up.
class BulletPhysics {
public:
    // Builds the world and the level's collision body. If the level file cannot be read or
    // holds no triangles the world is still built (with an inert stand-in for the level body,
    // so the registration indices stay the same) and levelLoaded() answers false.
    // The character announces itself on `console`.
    explicit BulletPhysics(const std::string& levelPath = "models/level.obj", std::ostream& console = std::cout);
    virtual ~BulletPhysics();

    BulletPhysics(const BulletPhysics&) = delete;
    BulletPhysics& operator=(const BulletPhysics&) = delete;

    // Adds one static body and returns its registration index. A zero normal (what the scene
    // passes for every drawable) gives a body that never collides with anything; a non-zero
    // normal gives a real plane, constant -1, through origin.
    int addStaticPlane(glm::vec3 origin, glm::vec3 normal);

    // Creates the player's ghost object and controller at (0, 10, 0) and returns its
    // registration index. Prints "blabla" and position.y, one line each. Call it once.
    int addCharacter(glm::vec3 position);

    // The character's world transform, whatever in-range index is asked for. Throws
    // std::out_of_range when index is negative or not below rigidBodies.size(), and
    // std::logic_error when there is no character yet.
    btTransform getTransform(int index) const;

    // Advances the world by one fixed step of 1/60 s, whatever time has really passed.
    void step();

    // direction is the player's direction vector d; the controller moves by the walk vector
    // on every simulation step, so the amount is a distance per step, not a speed.
    // walkForward moves along -d, walkBackward along d; an amount of 0 stops the character.
    void walkForward(glm::vec3 direction, float amount);
    void walkBackward(glm::vec3 direction, float amount);

    bool canJump() const;
    // Jumps only while standing; returns whether it did, so a held key gives one jump per landing.
    bool jump();

    // Moves the character to position at once; its vertical motion carries on.
    void warp(glm::vec3 position);

    bool levelLoaded() const { return levelError.empty(); }
    // One line naming the level file and why it could not be used; empty when it loaded.
    const std::string& levelLoadError() const { return levelError; }

    int objectCount = 0;
    btDefaultCollisionConfiguration* collisionConfiguration = nullptr;
    btCollisionDispatcher* dispatcher = nullptr;
    btSequentialImpulseConstraintSolver* solver = nullptr;
    btDiscreteDynamicsWorld* dynamicsWorld = nullptr;
    btKinematicCharacterController* characterController = nullptr;
    btPairCachingGhostObject* ghostObject = nullptr;
    btAxisSweep3* broadphase = nullptr;
    std::vector<btRigidBody*> rigidBodies;

private:
    struct CollisionMesh {
        std::vector<glm::vec4> positions;   // x, y, z, 1; every mesh's vertices in file order
        std::vector<std::uint32_t> indices; // three per triangle, offset into positions
    };

    void addLevelMesh(const std::string& path);
    CollisionMesh loadCollisionMesh(const std::string& path);
    int addStaticBody(btRigidBody* body, bool collides);

    std::ostream& console;
    btTriangleMesh* levelTriangles = nullptr;
    btGhostPairCallback* ghostPairCallback = nullptr;
    std::string levelError;
};

// The character's position after the latest step, as the drawable world wants it.
glm::vec3 characterPosition(const BulletPhysics& physics, int playerBodyIndex);
