#include "app/FrameUpdate.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include <GL/glew.h> // the filter names only: the rules make no GL call

#include "app/Camera.h"
#include "app/Globals.h"
#include "app/Light.h"
#include "physics/BulletPhysics.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"
#include "render/Screen.h"

namespace {

constexpr float walkSpeed = 10.0f;  // units per second
constexpr float phaseSpeed = 10.0f; // radians per second of the walk animation
constexpr float turnFactor = 40.0f; // (2 x dt) x 40: 80 degrees per second
constexpr float lightHeight = 200.0f;
constexpr float lightSpeed = 10.0f;   // times the camera's view vector per second
constexpr float mouseFactor = 0.005f; // x 40: 0.2 degrees per pixel
constexpr float lowestEye = 1.0f;     // the camera stays between these heights above its target
constexpr float highestEye = 6.5f;
constexpr float pullBack = 10.0f; // 1 + 10: the eye ends 11 units behind the player
constexpr float eyeRaise = 3.0f;
constexpr float lossHeight = -9.0f;
// The eye sits 3 - tan(pitch) above the player; these pitches keep it just inside the band
// from 1 to 6.5 units above, whatever the mouse did in one frame.
constexpr float highestPitch = 63.43f; // tan = 1.9997: the eye 1.0003 above
constexpr float lowestPitch = -74.05f; // tan = -3.4990: the eye 6.499 above
// The longest frame the rules take in one piece: at 8 frames a second and faster nothing
// changes, while a stall (a window drag, a slow disk) moves the mouse no more than one such
// frame would, 1.25 units and 10 degrees, instead of carrying it off the course.
constexpr float longestFrame = 0.125f;
// The right stick stands in for the mouse: full deflection is 600 pixels of travel a second,
// 120 degrees a second at 0.2 degrees a pixel, so a half turn takes 1.5 s. That is quick
// enough to look round before a jump and, with the frame capped as above, never more than
// 15 degrees in one frame, which keeps the narrow causeway aimable at low frame rates.
constexpr float padOrbitSpeed = 600.0f;
const glm::vec3 startPoint(0.0f, 10.0f, 0.0f);

// A toggle acts on the frame its key goes down, and only then.
bool toggled(bool down, bool& latch)
{
    bool acts = down && !latch;
    latch = down;
    return acts;
}

struct Filter {
    GLint minification;
    GLint magnification;
    const char* message;
};

// NOTE: the messages word for word (held by tests/app/FrameUpdateTest.cpp).
// F4 flips to the filter that is not current: indexed by [mipmapMode][linearFiltering].
const Filter flipFilters[3][2] = {
    {{GL_LINEAR, GL_LINEAR, "Mipmapping off, linear texture filtering"},
     {GL_NEAREST, GL_NEAREST, "Mipmapping off, nearest neighbour texture filtering"}},
    {{GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, "Mipmapping on (nearest neighbour), linear texture filtering"},
     {GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST, "Mipmapping on (nearest neighbour), nearest neighbour texture filtering"}},
    {{GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, "Mipmapping on (linear), linear texture filtering"},
     {GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST, "Mipmapping on (linear), nearest neighbour texture filtering"}},
};

// F5 advances the mipmap mode and keeps the current filter: [mipmapMode][linearFiltering].
const Filter advanceFilters[3][2] = {
    {{GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST, "Mipmapping on (nearest neighbour), nearest neighbour texture filtering"},
     {GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, "Mipmapping on (nearest neighbour), linear texture filtering"}},
    {{GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST, "Mipmapping on (linear), nearest neighbour texture filtering"},
     {GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, "Mipmapping on (linear), linear texture filtering"}},
    // NOTE: "nearest texture filtering" where F4 says "nearest neighbour" (held by
    // tests/app/FrameUpdateTest.cpp).
    {{GL_NEAREST, GL_NEAREST, "Mipmapping off, nearest texture filtering"},
     {GL_LINEAR, GL_LINEAR, "Mipmapping off, linear texture filtering"}},
};

void requestFilter(const Filter& filter, FrameRequests& requests, std::ostream& console)
{
    requests.setFilter = true;
    requests.minification = filter.minification;
    requests.magnification = filter.magnification;
    console << filter.message << std::endl;
}

void placeLightAbove(const glm::vec3& p)
{
    light->position = p + glm::vec3(0.0f, lightHeight, 0.0f);
    light->target = p;
}

void advanceWalkPhases(Gorbeck& player, float dt)
{
    player.swayPhase += phaseSpeed * dt;
    player.swingPhase += phaseSpeed * dt;
    player.wagPhase += phaseSpeed * dt;
}

// How far forward the player asks to walk, from -1 (back at full speed) to 1: W and S are
// all or nothing and win over the left stick, which walks in proportion to its push (up
// reads negative, as GLFW reports it).
float walkInput(const FrameInput& input)
{
    if (input.down(Key::W))
        return 1.0f;
    if (input.down(Key::S))
        return -1.0f;
    return -input.pad.leftY;
}

void walk(const FrameInput& input, Gorbeck& player, float dt)
{
    BulletPhysics& physics = *scene->physics;
    // Multiplying by a whole key's 1 changes nothing, so keyboard play walks as it always has.
    const float forward = walkInput(input);
    if (forward > 0.0f) {
        physics.walkForward(player.getDirection(), walkSpeed * dt * forward);
        advanceWalkPhases(player, dt * forward);
        lastPlayerPosition = player.position;
        placeLightAbove(player.position);
    } else if (forward < 0.0f) {
        physics.walkBackward(player.getDirection(), walkSpeed * dt * -forward);
        // The light follows the position cached last frame, before that frame's step.
        placeLightAbove(lastPlayerPosition);
        advanceWalkPhases(player, dt * -forward);
    } else {
        // Standing still: the legs return to rest at once, the sway and wag stay where they are.
        player.swingPhase = 0.0f;
        physics.walkForward(player.getDirection(), 0.0f);
    }
}

void steerLight(const FrameInput& input, float dt)
{
    float k = lightSpeed * dt;
    float dx = camera->target.x - camera->position.x;
    float dz = camera->target.z - camera->position.z;
    // The view vector turned by a quarter turn, with the angle's cosine and sine as floats.
    auto turned = [k, dx, dz](double theta) {
        float c = static_cast<float>(std::cos(theta));
        float s = static_cast<float>(std::sin(theta));
        float x = k * dx, z = k * dz;
        return glm::vec3(x * c + z * s, 0.0f, z * c - x * s);
    };
    glm::vec3 offset(0.0f);
    if (input.down(Key::I))
        offset += glm::vec3(k * dx, 0.0f, k * dz);
    if (input.down(Key::J))
        offset += turned(1.5707963705062866);
    if (input.down(Key::K))
        offset += glm::vec3(-k * dx, 0.0f, -k * dz);
    if (input.down(Key::L))
        offset += turned(-1.5707963705062866);
    light->position += offset;
    light->target += offset;
}

// A mouse reading as a whole pixel; readings past the range the replays accept are held at
// its edge, as casting them to int would be undefined.
int pixel(double reading)
{
    return static_cast<int>(std::clamp(reading, -mouseRange, mouseRange));
}

void orbitCamera(const FrameInput& input, const glm::vec3& playerPosition, bool resumed, float dt)
{
    float h = camera->position.y - camera->target.y;
    // What the mouse did while the game was paused is not a command to the camera.
    mouseX = resumed ? mouseCenterX : pixel(input.mouseX);
    mouseY = resumed ? mouseCenterY : pixel(input.mouseY);

    // The right stick adds the travel a mouse would have made in this frame's time; without
    // a pad that is exactly 0 and the offsets are the mouse's whole pixels.
    const float padX = input.pad.rightX * padOrbitSpeed * dt;
    const float padY = input.pad.rightY * padOrbitSpeed * dt;

    // Moving the mouse up raises the pitch and lowers the eye; the band keeps the eye
    // between 1 and 6.5 units above the player.
    float dy = static_cast<float>(mouseCenterY - mouseY) - padY;
    float pitchChange = dy * mouseFactor;
    if ((h > highestEye && dy > 0) || (h < lowestEye && dy < 0) || (h > lowestEye && h < highestEye))
        camera->changePitch(pitchChange);
    // The band above is judged on last frame's height, so one large movement could carry
    // the eye far past it (past 90 degrees it ends up under the floor, or millions of units away).
    camera->pitch = std::clamp(camera->pitch, lowestPitch, highestPitch);

    float dx = static_cast<float>(mouseCenterX - mouseX) - padX;
    camera->yaw = dx * mouseFactor * 40.0f + camera->yaw;
    if (camera->yaw > 360.0f)
        camera->yaw -= 360.0f;
    if (camera->yaw < -360.0f)
        camera->yaw += 360.0f;

    camera->updateTarget();
    glm::vec3 follow = playerPosition - camera->target;
    camera->position += follow;
    camera->target += follow;
    float ex = camera->target.x - camera->position.x;
    float ez = camera->target.z - camera->position.z;
    camera->position.x -= pullBack * ex;
    camera->position.z -= pullBack * ez;
    camera->position.y += eyeRaise;

    mouseCenterX = screen::centreX;
    mouseCenterY = screen::centreY;
}

} // namespace

int gameStateAt(float x, float y, float z)
{
    if (y < lossHeight)
        return -1;
    if (x > 230.0f && x < 250.0f && z > 540.0f)
        return 1;
    return 0;
}

void stepPhysics()
{
    scene->physics->step();
    scene->player->position = characterPosition(*scene->physics, scene->playerBodyIndex);
}

FrameRequests update(const FrameInput& input)
{
    return update(input, std::cout);
}

FrameRequests update(const FrameInput& input, std::ostream& console)
{
    FrameRequests requests;
    // A window without the focus waits as P makes it wait, and gives the cursor back. When
    // the focus returns play goes on at once, unless P or Start had paused it before: the
    // player finds it as they left it, the keys up (the window reports every key released
    // when the focus leaves) and the returning frame, below, takes no time and no mouse.
    if (!input.focused) {
        if (!focusLost)
            requests.cursor = 0;
        focusLost = true;
        return requests;
    }
    const bool refocused = focusLost;
    if (refocused) {
        focusLost = false;
        requests.cursor = 1;
    }
    const bool wasPaused = paused || refocused;
    if (toggled(input.pad.down(PadButton::Start), keyLatches.padStart))
        paused = !paused;
    if (input.down(Key::P))
        paused = true;
    if (input.down(Key::U))
        paused = false;
    else if (paused)
        return requests;
    // The first frame after a pause starts its timing afresh: the pause is not walking time.
    const bool resumed = wasPaused;

    float now = static_cast<float>(input.time);
    float frameTime = resumed ? 0.0f : now - lastFrameTime;
    float dt = std::clamp(frameTime, 0.0f, longestFrame);
    lastFrameTime = now;

    // The frame rate shown is the one measured, however long the frame was.
    // NOTE: 1/dt worked out as (1000 / dt) / 1000, and "inf" on a resumed frame (both held by
    // tests/app/FrameUpdateTest.cpp).
    if (showFrameRate)
        console << "FPS: " << (1000.0f / frameTime) / 1000.0f << std::endl;
    if (toggled(input.down(Key::F2), keyLatches.f2))
        showFrameRate = !showFrameRate;
    if (toggled(input.down(Key::F3), keyLatches.f3)) {
        requests.wireframe = wireframe ? 0 : 1;
        // NOTE: word for word (held by tests/gl/DisplayModesGLTest.cpp).
        console << (wireframe ? "Wire frame mode off" : "Wire frame mode on") << std::endl;
        wireframe = !wireframe;
    }
    if (toggled(input.down(Key::F4), keyLatches.f4)) {
        requestFilter(flipFilters[mipmapMode][linearFiltering ? 1 : 0], requests, console);
        linearFiltering = !linearFiltering;
    }
    if (toggled(input.down(Key::F5), keyLatches.f5)) {
        requestFilter(advanceFilters[mipmapMode][linearFiltering ? 1 : 0], requests, console);
        mipmapMode = (mipmapMode + 1) % 3;
    }
    if (toggled(input.down(Key::F6), keyLatches.f6))
        useVertexArrays = !useVertexArrays;
    if (toggled(input.down(Key::F10), keyLatches.f10)) {
        requests.swapInterval = swapInterval ? 0 : 1;
        swapInterval = !swapInterval;
    }
    if (toggled(input.down(Key::F11), keyLatches.f11))
        requests.switchScreen = true;

    Gorbeck& player = *scene->player;
    BulletPhysics& physics = *scene->physics;
    walk(input, player, dt);
    if (input.down(Key::A))
        player.rotation.y += (2.0f * dt) * turnFactor;
    if (input.down(Key::D))
        player.rotation.y -= (2.0f * dt) * turnFactor;
    // The left stick turns as A and D do, in proportion; pushed left (negative) turns left.
    if (input.pad.leftX != 0.0f)
        player.rotation.y -= (2.0f * dt) * turnFactor * input.pad.leftX;
    lastPlayerPosition = player.position;
    if (input.down(Key::Space) || input.pad.down(PadButton::A))
        physics.jump();
    if (input.down(Key::Enter) || input.pad.down(PadButton::Back)) {
        physics.warp(startPoint);
        placeLightAbove(player.position);
    }
    steerLight(input, dt);
    orbitCamera(input, player.position, resumed, dt);
    requests.recenterMouse = true;

    stepPhysics();
    scene->setViewMatrix(camera->viewMatrix());
    scene->updateLightView();
    scene->cameraView = camera->position - camera->target;
    player.updateModelMatrix();
    for (Object* object : scene->objects)
        object->updateModelMatrix();
    gameState = gameStateAt(player.position.x, player.position.y, player.position.z);
    return requests;
}
