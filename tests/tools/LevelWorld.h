#pragma once

#include <memory>

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <BulletDynamics/Character/btKinematicCharacterController.h>
#include <btBulletDynamicsCommon.h>

#include "tests/tools/AssetFiles.h"

// The game's physics set-up with the level file as the only collision mesh.
class LevelWorld {
public:
    LevelWorld()
    {
        Assimp::Importer importer;
        const aiScene* scene = importModel(importer, "models/level.obj");
        if (!scene)
            return;
        mesh = std::make_unique<btTriangleMesh>();
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
            const aiMesh* am = scene->mMeshes[m];
            for (unsigned f = 0; f < am->mNumFaces; ++f) {
                const unsigned* i = am->mFaces[f].mIndices;
                auto p = [&](unsigned k) { return btVector3(am->mVertices[k].x, am->mVertices[k].y, am->mVertices[k].z); };
                mesh->addTriangle(p(i[0]), p(i[1]), p(i[2]), false);
            }
        }
        broadphase = std::make_unique<btAxisSweep3>(btVector3(-1000, -1000, -1000), btVector3(1000, 1000, 1000), 16384);
        dispatcher = std::make_unique<btCollisionDispatcher>(&configuration);
        world = std::make_unique<btDiscreteDynamicsWorld>(dispatcher.get(), broadphase.get(), &solver, &configuration);
        shape = std::make_unique<btBvhTriangleMeshShape>(mesh.get(), true);
        motion = std::make_unique<btDefaultMotionState>();
        body = std::make_unique<btRigidBody>(0.0f, motion.get(), shape.get());
        world->addRigidBody(body.get());
        broadphase->getOverlappingPairCache()->setInternalGhostPairCallback(&ghostCallback);
    }

    ~LevelWorld()
    {
        if (!world)
            return;
        if (controller) {
            world->removeAction(controller.get());
            world->removeCollisionObject(ghost.get());
        }
        world->removeRigidBody(body.get());
    }

    bool ready() const { return world != nullptr; }

    btKinematicCharacterController& character(btVector3 start)
    {
        ghost = std::make_unique<btPairCachingGhostObject>();
        btTransform t;
        t.setIdentity();
        t.setOrigin(start);
        ghost->setWorldTransform(t);
        box = std::make_unique<btBoxShape>(btVector3(2, 1, 1));
        ghost->setCollisionShape(box.get());
        ghost->setCollisionFlags(btCollisionObject::CF_CHARACTER_OBJECT);
        controller = std::make_unique<btKinematicCharacterController>(ghost.get(), box.get(), 0.35f, btVector3(0, 1, 0));
        world->addCollisionObject(ghost.get(), 32, 3);
        world->addAction(controller.get());
        controller->setJumpSpeed(20.0f);
        return *controller;
    }

    void step() { world->stepSimulation(1.0f / 60.0f, 10, 1.0f / 60.0f); }
    btVector3 position() const { return ghost->getWorldTransform().getOrigin(); }

private:
    std::unique_ptr<btTriangleMesh> mesh;
    btDefaultCollisionConfiguration configuration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btAxisSweep3> broadphase;
    btSequentialImpulseConstraintSolver solver;
    std::unique_ptr<btDiscreteDynamicsWorld> world;
    std::unique_ptr<btBvhTriangleMeshShape> shape;
    std::unique_ptr<btDefaultMotionState> motion;
    std::unique_ptr<btRigidBody> body;
    btGhostPairCallback ghostCallback;
    std::unique_ptr<btPairCachingGhostObject> ghost;
    std::unique_ptr<btBoxShape> box;
    std::unique_ptr<btKinematicCharacterController> controller;
};

