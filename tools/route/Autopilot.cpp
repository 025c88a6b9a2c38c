#include "tools/route/Autopilot.h"

#include <algorithm>
#include <cmath>

#include "app/Camera.h"
#include "app/FrameUpdate.h"
#include "app/Globals.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"

namespace {

constexpr float reachDistance = 1.5f;
constexpr float turnTolerance = 2.0f;  // degrees the heading may be off before A or D
constexpr float walkTolerance = 25.0f; // degrees off at which the mouse stops to turn
constexpr float mouseDegreesPerPixel = 0.2f;
constexpr float cameraCatchUp = 0.25f; // share of the camera's lag made up per frame
constexpr int maxMousePixels = 12;     // how far a hand moves the mouse in one frame
constexpr int jumpKeyFrames = 3;

// Degrees in (-180, 180].
float wrap(float degrees)
{
    degrees = std::fmod(degrees, 360.0f);
    if (degrees > 180.0f)
        degrees -= 360.0f;
    if (degrees <= -180.0f)
        degrees += 360.0f;
    return degrees;
}

} // namespace

Autopilot::Autopilot(std::vector<Goal> goals, double frameTime, double startTime)
    : goals(std::move(goals)), frameTime(frameTime), clock(startTime)
{
    recorded.startTime = startTime;
    lastFrameTime = static_cast<float>(startTime);
}

int Autopilot::run(int settleFrames, double maxSeconds)
{
    for (int i = 0; i < settleFrames; ++i)
        step(FrameInput());
    while (next < goals.size() && gameState == 0 && seconds() < maxSeconds)
        step(steer());
    for (double shown = 0.0; shown < 1.0; shown += frameTime)
        step(FrameInput());
    return gameState;
}

FrameInput Autopilot::steer()
{
    FrameInput input;
    const Gorbeck& player = *scene->player;
    while (next < goals.size()) {
        float dx = goals[next].x - player.position.x, dz = goals[next].z - player.position.z;
        if (std::sqrt(dx * dx + dz * dz) >= reachDistance)
            break;
        if (goals[next].jump)
            jumpFrames = jumpKeyFrames;
        ++next;
    }
    if (next == goals.size())
        return input;

    // Walking forward moves along (sin h, cos h) for the heading h.
    float dx = goals[next].x - player.position.x, dz = goals[next].z - player.position.z;
    float wanted = std::atan2(dx, dz) * 180.0f / 3.14159265f;
    float error = wrap(wanted - player.rotation.y);
    if (error > turnTolerance)
        input.press(Key::A);
    else if (error < -turnTolerance)
        input.press(Key::D);
    if (std::fabs(error) < walkTolerance)
        input.press(Key::W);
    if (jumpFrames > 0) {
        input.press(Key::Space);
        --jumpFrames;
    }
    // The camera looks the way the mouse walks: its yaw follows the heading, a little behind.
    float lag = wrap(player.rotation.y - camera->yaw);
    int pixels = static_cast<int>(std::lround(-lag / mouseDegreesPerPixel * cameraCatchUp));
    input.mouseX = 400 + std::clamp(pixels, -maxMousePixels, maxMousePixels);
    input.mouseY = 300;
    return input;
}

void Autopilot::step(FrameInput input)
{
    clock += frameTime;
    input.time = clock;
    recorded.frames.push_back(input);
    update(input);
    lowest = std::min(lowest, scene->player->position.y);
}
