// Records the demo routes by playing the game headless: a steering driver holds W, A, D
// and Space and moves the mouse the way a player would, frame by frame through the game's
// own frame update, and every input record goes to a replay file.
//
//   record_route win  LEVEL.obj demo/win.replay    walks the course to the cheese
//   record_route lose LEVEL.obj demo/lose.replay   walks off the causeway into the water

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/Camera.h"
#include "app/FrameUpdate.h"
#include "app/Globals.h"
#include "app/HeadlessGame.h"
#include "app/Replay.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"
#include "tools/gen/Level.h"

namespace {

constexpr double frameTime = 1.0 / 20.0; // a steady 20 frames per second
constexpr double startTime = 0.5;        // the clock when start-up finished
constexpr float reachDistance = 1.5f;
constexpr float turnTolerance = 2.0f;    // degrees the heading may be off before A or D
constexpr float walkTolerance = 25.0f;   // degrees off at which the mouse stops to turn
constexpr float mouseDegreesPerPixel = 0.2f;
constexpr int maxMousePixels = 12;       // how far the hand moves the mouse in one frame
constexpr int maxFrames = 20 * 200;

struct Goal {
    float x, z;
    bool jump;
};

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

class Driver {
public:
    Driver(std::vector<Goal> goals, Replay& replay) : goals(std::move(goals)), replay(replay) {}

    // Plays until the game is won or lost, or the goals run out; returns the final game state.
    int run(int settleFrames)
    {
        for (int i = 0; i < settleFrames; ++i)
            step(FrameInput());
        while (next < goals.size() && gameState == 0 && replay.frames.size() < maxFrames)
            step(steer());
        // A few more frames, so the end screen is seen.
        for (int i = 0; i < 20; ++i)
            step(FrameInput());
        return gameState;
    }

private:
    FrameInput steer()
    {
        FrameInput input;
        const Gorbeck& player = *scene->player;
        const Goal& goal = goals[next];
        float dx = goal.x - player.position.x, dz = goal.z - player.position.z;
        if (std::sqrt(dx * dx + dz * dz) < reachDistance) {
            // Jump marks sit in front of a ledge: jump while walking on.
            jumpFrames = goal.jump ? 3 : 0;
            ++next;
            return next < goals.size() ? steer() : input;
        }
        // Walking forward moves along (sin h, cos h) for heading h.
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
        // The camera looks the way the mouse walks: yaw follows the heading, a little behind.
        float lag = wrap(player.rotation.y - camera->yaw);
        int pixels = static_cast<int>(std::lround(-lag / mouseDegreesPerPixel * 0.25f));
        pixels = std::max(-maxMousePixels, std::min(maxMousePixels, pixels));
        input.mouseX = 400 + pixels;
        input.mouseY = 300;
        return input;
    }

    void step(FrameInput input)
    {
        clock += frameTime;
        input.time = clock;
        replay.frames.push_back(input);
        update(input);
        if (getenv("ROUTE_DEBUG") && replay.frames.size() % 20 == 0)
            std::printf("%zu next %zu pos %.3f %.3f %.3f h %.1f keys W%d A%d D%d\n", replay.frames.size(), next,
                        scene->player->position.x, scene->player->position.y, scene->player->position.z,
                        scene->player->rotation.y, input.down(Key::W), input.down(Key::A), input.down(Key::D));
    }

    std::vector<Goal> goals;
    Replay& replay;
    size_t next = 0;
    int jumpFrames = 0;
    double clock = startTime;
};

bool write(const std::string& path, const Replay& replay)
{
    ReplayRecorder recorder;
    std::string error;
    if (!recorder.open(path, error)) {
        std::cerr << "record_route: " << error << std::endl;
        return false;
    }
    recorder.start(replay.startTime);
    for (const FrameInput& input : replay.frames)
        recorder.record(input);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || (std::string(argv[1]) != "win" && std::string(argv[1]) != "lose")) {
        std::cerr << "usage: record_route win|lose LEVEL.obj OUTPUT.replay" << std::endl;
        return 2;
    }
    bool win = std::string(argv[1]) == "win";
    std::string error;
    if (!startHeadlessWorld(argv[2], error)) {
        std::cerr << "record_route: " << error << std::endl;
        return 1;
    }
    lastFrameTime = static_cast<float>(startTime);

    std::vector<Goal> goals;
    if (win) {
        for (const gen::Waypoint& w : gen::courseRoute())
            goals.push_back({w.x, w.z, w.jump});
    } else {
        // Down the causeway, then off its side.
        goals = {{0.0f, 50.0f, false}, {25.0f, 55.0f, false}};
    }
    Replay replay;
    replay.startTime = startTime;
    Driver driver(goals, replay);
    int state = driver.run(40);
    const glm::vec3& p = scene->player->position;
    std::printf("%s: %zu frames (%.1f s), player at (%g, %g, %g), gameState %d\n", argv[3], replay.frames.size(),
                replay.frames.size() * frameTime, p.x, p.y, p.z, state);
    bool ok = state == (win ? 1 : -1);
    if (!ok)
        std::cerr << "record_route: the route did not end " << (win ? "won" : "lost") << std::endl;
    return ok && write(argv[3], replay) ? 0 : 1;
}
