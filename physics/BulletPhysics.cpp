#include "physics/BulletPhysics.h"

#include <iostream>
#include <stdexcept>

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <BulletDynamics/Character/btKinematicCharacterController.h>
#include <assimp/scene.h>
#include <btBulletDynamicsCommon.h>
#include <glm/geometric.hpp>

#include "objects/SharedImporter.h"

namespace {

// NOTE: wherever the player model is loaded, the character starts here (held by
// tests/physics/BulletPhysicsTest.cpp).
const btVector3 startPosition(0, 10, 0);
constexpr float fixedStep = 1.0f / 60.0f;
constexpr float allowedPenetration = 0.01f;

btVector3 toBullet(glm::vec3 v)
{
    return btVector3(v.x, v.y, v.z);
}

} // namespace

// Every Bullet object below is created with plain new: the Bullet classes bring their own
// 16-byte aligned operator new (BT_DECLARE_ALIGNED_ALLOCATOR).
BulletPhysics::BulletPhysics(const std::string& levelPath, std::ostream& console) : console(console)
{
    btDefaultCollisionConstructionInfo info;
    info.m_persistentManifoldPool = nullptr;
    info.m_collisionAlgorithmPool = nullptr;
    info.m_defaultMaxPersistentManifoldPoolSize = 4096;
    info.m_defaultMaxCollisionAlgorithmPoolSize = 4096;
    info.m_customCollisionAlgorithmMaxElementSize = 0;
    info.m_useEpaPenetrationAlgorithm = 1;
    collisionConfiguration = new btDefaultCollisionConfiguration(info);
    dispatcher = new btCollisionDispatcher(collisionConfiguration);
    solver = new btSequentialImpulseConstraintSolver();
    broadphase = new btAxisSweep3(btVector3(-1000, -1000, -1000), btVector3(1000, 1000, 1000), 16384, nullptr, false);
    dynamicsWorld = new btDiscreteDynamicsWorld(dispatcher, broadphase, solver, collisionConfiguration);
    dynamicsWorld->setGravity(btVector3(0, -10, 0));
    // Bullet lets a sweep start up to 0.04 inside a surface, so the character rests that deep
    // in the floor, and at small steps per frame (high frame rates) its box then catches on
    // the edges between the floor's triangles and stops dead. A hundredth of a unit keeps
    // the sweeps stable and the character moving at any frame rate.
    dynamicsWorld->getDispatchInfo().m_allowedCcdPenetration = allowedPenetration;
    addLevelMesh(levelPath);
}

BulletPhysics::~BulletPhysics()
{
    // The world goes first: removing its objects still talks to the broadphase, the
    // dispatcher, the ghost object and the ghost-pair callback.
    delete dynamicsWorld;
    delete solver;
    delete dispatcher;
    delete collisionConfiguration;

    delete characterController;
    if (ghostObject) {
        delete ghostObject->getCollisionShape();
        delete ghostObject;
    }
    for (btRigidBody* body : rigidBodies) {
        delete body->getMotionState();
        delete body->getCollisionShape();
        delete body;
    }
    delete levelTriangles;
    delete broadphase;
    delete ghostPairCallback;
}

void BulletPhysics::addLevelMesh(const std::string& path)
{
    const CollisionMesh mesh = loadCollisionMesh(path);

    btCollisionShape* shape;
    if (mesh.indices.empty()) {
        // The game cannot be played without its level, but the caller decides how to stop;
        // until then the level body keeps index 0 and simply collides with nothing.
        shape = new btStaticPlaneShape(btVector3(0, 1, 0), -1);
    } else {
        levelTriangles = new btTriangleMesh(true, false);
        for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
            const glm::vec4& p0 = mesh.positions[mesh.indices[i]];
            const glm::vec4& p1 = mesh.positions[mesh.indices[i + 1]];
            const glm::vec4& p2 = mesh.positions[mesh.indices[i + 2]];
            levelTriangles->addTriangle(btVector3(p0.x, p0.y, p0.z), btVector3(p1.x, p1.y, p1.z),
                                        btVector3(p2.x, p2.y, p2.z), false);
        }
        shape = new btBvhTriangleMeshShape(levelTriangles, true, true);
    }

    auto* motionState = new btDefaultMotionState(btTransform::getIdentity());
    btRigidBody::btRigidBodyConstructionInfo info(0, motionState, shape, btVector3(0, 0, 0));
    addStaticBody(new btRigidBody(info), !mesh.indices.empty());
}

BulletPhysics::CollisionMesh BulletPhysics::loadCollisionMesh(const std::string& path)
{
    CollisionMesh mesh;
    const aiScene* scene = sharedImporter().ReadFile(path, importFlags);
    if (!scene) {
        levelError = "cannot load the level \"" + path + "\": " + sharedImporter().GetErrorString();
        return mesh;
    }

    if (scene->mMeshes) {
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
            const aiMesh* part = scene->mMeshes[m];
            const auto base = static_cast<std::uint32_t>(mesh.positions.size());
            for (unsigned v = 0; v < part->mNumVertices; ++v) {
                const aiVector3D& p = part->mVertices[v];
                mesh.positions.emplace_back(p.x, p.y, p.z, 1.0f);
            }
            for (unsigned f = 0; f < part->mNumFaces; ++f) {
                const aiFace& face = part->mFaces[f];
                // Lines and points survive triangulation; they have no third index to read.
                if (face.mNumIndices < 3)
                    continue;
                for (unsigned k = 0; k < 3; ++k)
                    mesh.indices.push_back(base + face.mIndices[k]);
            }
        }
    }

    if (mesh.indices.empty())
        levelError = "cannot load the level \"" + path + "\": it holds no triangles";
    return mesh;
}

int BulletPhysics::addStaticBody(btRigidBody* body, bool collides)
{
    rigidBodies.push_back(body);
    if (collides)
        dynamicsWorld->addRigidBody(body);
    else
        dynamicsWorld->addRigidBody(body, 0, 0); // group and mask 0: never paired with anything
    body->setContactProcessingThreshold(BT_LARGE_FLOAT);
    return objectCount++;
}

int BulletPhysics::addStaticPlane(glm::vec3 origin, glm::vec3 normal)
{
    // A plane shape normalises its normal, and a zero one becomes NaN with an unbounded box
    // that pairs with everything. Such bodies only exist to give each drawable an index, so
    // they get a sound normal and are kept out of collision altogether.
    const bool real = glm::dot(normal, normal) > 1e-12f;
    auto* shape = new btStaticPlaneShape(real ? toBullet(normal) : btVector3(0, 1, 0), -1);

    btTransform start;
    start.setIdentity();
    start.setOrigin(toBullet(origin));
    auto* motionState = new btDefaultMotionState(start);
    btRigidBody::btRigidBodyConstructionInfo info(0, motionState, shape, btVector3(0, 0, 0));
    return addStaticBody(new btRigidBody(info), real);
}

int BulletPhysics::addCharacter(glm::vec3 position)
{
    if (characterController)
        throw std::logic_error("BulletPhysics::addCharacter: the character already exists");

    // NOTE: "blabla" and the load height are the character's announcement, word for word (held by
    // tests/e2e/test_startup_output.sh).
    console << "blabla" << std::endl << position.y << std::endl;

    // The load position is only reported: the character always starts at the same point.
    btTransform start;
    start.setIdentity();
    start.setOrigin(startPosition);

    ghostObject = new btPairCachingGhostObject();
    ghostObject->setWorldTransform(start);

    // Without it the ghost never learns what it overlaps and falls through the level.
    ghostPairCallback = new btGhostPairCallback();
    broadphase->getOverlappingPairCache()->setInternalGhostPairCallback(ghostPairCallback);

    auto* shape = new btBoxShape(btVector3(2, 1, 1));
    ghostObject->setCollisionShape(shape);
    ghostObject->setCollisionFlags(btCollisionObject::CF_CHARACTER_OBJECT);

    // Up must be given: the controller's default up axis is x.
    characterController = new btKinematicCharacterController(ghostObject, shape, 0.35f, btVector3(0, 1, 0));

    dynamicsWorld->addCollisionObject(ghostObject, btBroadphaseProxy::CharacterFilter,
                                      btBroadphaseProxy::StaticFilter | btBroadphaseProxy::DefaultFilter);
    dynamicsWorld->addAction(characterController);
    characterController->setJumpSpeed(20);
    return objectCount++;
}

btTransform BulletPhysics::getTransform(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= rigidBodies.size())
        throw std::out_of_range("BulletPhysics::getTransform: index " + std::to_string(index) + " out of range");
    if (!ghostObject)
        throw std::logic_error("BulletPhysics::getTransform: no character yet");
    return ghostObject->getWorldTransform();
}

void BulletPhysics::step()
{
    dynamicsWorld->stepSimulation(fixedStep, 10, fixedStep);
}

void BulletPhysics::walkForward(glm::vec3 direction, float amount)
{
    if (characterController)
        characterController->setWalkDirection(toBullet(direction) * -amount);
}

void BulletPhysics::walkBackward(glm::vec3 direction, float amount)
{
    if (characterController)
        characterController->setWalkDirection(toBullet(direction) * amount);
}

bool BulletPhysics::canJump() const
{
    return characterController && characterController->canJump();
}

bool BulletPhysics::jump()
{
    if (!canJump())
        return false;
    characterController->jump();
    return true;
}

void BulletPhysics::warp(glm::vec3 position)
{
    if (characterController)
        characterController->warp(toBullet(position));
}

glm::vec3 characterPosition(const BulletPhysics& physics, int playerBodyIndex)
{
    const btVector3 origin = physics.getTransform(playerBodyIndex).getOrigin();
    return glm::vec3(origin.x(), origin.y(), origin.z());
}
