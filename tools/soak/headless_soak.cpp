// Plays the level headless for many frames of random input and checks after every frame
// that the player, the camera and the light are finite. The held keys change at random,
// the mouse wanders around the centre the game puts it back to, and frames last between
// 1/240 and 1/8 s.
//
//   headless_soak [level.obj] [frames] [seed]
//
// Every key but Escape is driven; what the rules print goes nowhere.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <random>
#include <string>

#include "app/Camera.h"
#include "app/FrameInput.h"
#include "app/FrameUpdate.h"
#include "app/Globals.h"
#include "app/HeadlessGame.h"
#include "app/Light.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"

namespace {

// How likely a key goes down, and goes up, on any one frame. Pause and the warp to the
// start are pressed rarely and briefly, or the run would mostly stand still.
struct KeyOdds {
    Key key;
    double press;
    double release;
};

constexpr KeyOdds keyOdds[] = {
    {Key::W, 0.05, 0.02},    {Key::S, 0.02, 0.05},     {Key::A, 0.03, 0.05},  {Key::D, 0.03, 0.05},
    {Key::Space, 0.02, 0.2}, {Key::Enter, 0.001, 0.5}, {Key::I, 0.01, 0.1},   {Key::J, 0.01, 0.1},
    {Key::K, 0.01, 0.1},     {Key::L, 0.01, 0.1},      {Key::F6, 0.005, 0.3}, {Key::F10, 0.005, 0.3},
    {Key::P, 0.002, 0.3},    {Key::U, 0.05, 0.3},      {Key::F2, 0.005, 0.3}, {Key::F3, 0.005, 0.3},
    {Key::F4, 0.005, 0.3},   {Key::F5, 0.005, 0.3},
};

bool finite(const glm::vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

int reported = 0;

void report(long frame, const char* what, const glm::vec3& v)
{
    if (++reported <= 20)
        std::printf("frame %ld: %s is not finite: (%g, %g, %g)\n", frame, what, v.x, v.y, v.z);
}

void report(long frame, const char* what, float value)
{
    if (++reported <= 20)
        std::printf("frame %ld: %s is not finite: %g\n", frame, what, value);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string level = argc > 1 ? argv[1] : "build/models/level.obj";
    const long frames = argc > 2 ? std::atol(argv[2]) : 100000;
    const unsigned seed = argc > 3 ? static_cast<unsigned>(std::atol(argv[3])) : 1u;

    std::string error;
    if (!startHeadlessWorld(level, error)) {
        std::fprintf(stderr, "headless_soak: %s\n", error.c_str());
        return 2;
    }

    std::mt19937 random(seed);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_real_distribution<double> frameTime(1.0 / 240.0, 1.0 / 8.0);
    std::normal_distribution<double> mouseStep(0.0, 8.0);

    std::ostream quiet(nullptr);
    FrameInput input;
    input.time = 0.5;
    lastFrameTime = static_cast<float>(input.time);
    glm::vec3 lowest(std::numeric_limits<float>::max());
    glm::vec3 highest(std::numeric_limits<float>::lowest());
    long pausedFrames = 0;

    const auto started = std::chrono::steady_clock::now();
    for (long frame = 1; frame <= frames; ++frame) {
        for (const KeyOdds& odds : keyOdds)
            input.press(odds.key, input.down(odds.key) ? chance(random) >= odds.release : chance(random) < odds.press);
        input.mouseX = mouseCenterX + std::round(mouseStep(random));
        input.mouseY = mouseCenterY + std::round(mouseStep(random));
        input.time += frameTime(random);

        update(input, quiet);
        pausedFrames += paused ? 1 : 0;

        const glm::vec3& p = scene->player->position;
        if (!finite(p))
            report(frame, "the player position", p);
        else {
            lowest = glm::min(lowest, p);
            highest = glm::max(highest, p);
        }
        if (!finite(camera->position))
            report(frame, "the camera position", camera->position);
        if (!finite(camera->target))
            report(frame, "the camera target", camera->target);
        if (!std::isfinite(camera->yaw))
            report(frame, "the camera yaw", camera->yaw);
        if (!std::isfinite(camera->pitch))
            report(frame, "the camera pitch", camera->pitch);
        if (!finite(light->position))
            report(frame, "the light position", light->position);
        if (!finite(light->target))
            report(frame, "the light target", light->target);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::printf("frames: %ld (%ld paused), game time %.1f s, seed %u\n", frames, pausedFrames, input.time, seed);
    std::printf("wall time: %.1f s (%.0f frames/s)\n", seconds, frames / seconds);
    std::printf("player x: %g .. %g\n", lowest.x, highest.x);
    std::printf("player y: %g .. %g\n", lowest.y, highest.y);
    std::printf("player z: %g .. %g\n", lowest.z, highest.z);
    std::printf("non-finite values: %d\n", reported);
    stopHeadlessWorld();
    return reported == 0 ? 0 : 1;
}
