#include "app/HeadlessGame.h"

#include <iostream>
#include <memory>

#include "app/Camera.h"
#include "app/Globals.h"
#include "app/Light.h"
#include "physics/BulletPhysics.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"

namespace {

constexpr int playerMeshCount = 38;

} // namespace

bool startHeadlessWorld(const std::string& levelPath, std::string& error)
{
    resetGlobals();
    light = new Light();
    camera = new Camera();
    // The character announces itself on the console; a headless run keeps quiet.
    static std::ostream quiet(nullptr);
    auto physics = std::make_unique<BulletPhysics>(levelPath, quiet);
    if (!physics->levelLoaded()) {
        error = physics->levelLoadError();
        delete camera;
        delete light;
        camera = nullptr;
        light = nullptr;
        return false;
    }
    scene = new Scene(std::move(physics));

    // As the model import does it: the player's body, the character, then the level's body.
    Gorbeck* player = new Gorbeck(0, 0, playerMeshCount);
    player->scale = 0.01f;
    scene->physics->addStaticPlane(player->position, glm::vec3(0.0f));
    player->rotation.y -= 180.0f;
    scene->player = player;
    scene->playerBodyIndex = scene->physics->addCharacter(glm::vec3(0.0f, 50.0f, 0.0f));
    scene->physics->addStaticPlane(glm::vec3(0.0f), glm::vec3(0.0f));
    return true;
}

void stopHeadlessWorld()
{
    if (scene) {
        delete scene->player;
        delete scene;
    }
    delete camera;
    delete light;
    scene = nullptr;
    camera = nullptr;
    light = nullptr;
    resetGlobals();
}
