// Records the demo routes by playing the generated level headless with the autopilot:
//
//   record_route win  LEVEL.obj demo/win.replay    walks the course to the cheese
//   record_route lose LEVEL.obj demo/lose.replay   jumps off the first causeway into the water

#include <cstdio>
#include <iostream>
#include <string>

#include "app/Globals.h"
#include "app/HeadlessGame.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"
#include "tools/gen/Level.h"
#include "tools/route/Autopilot.h"

namespace {

constexpr double frameTime = 1.0 / 20.0; // a steady 20 frames per second
constexpr double startTime = 0.5;        // the clock when start-up finished

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
    std::vector<Autopilot::Goal> goals;
    if (win) {
        for (const gen::Waypoint& w : gen::courseRoute())
            goals.push_back({w.x, w.z, w.jump});
    } else {
        for (const gen::Waypoint& w : gen::fallRoute())
            goals.push_back({w.x, w.z, w.jump});
    }
    Autopilot pilot(goals, frameTime, startTime);
    int state = pilot.run(40, 200.0);
    const glm::vec3& p = scene->player->position;
    std::printf("%s: %zu frames (%.1f s), player at (%g, %g, %g), gameState %d\n", argv[3],
                pilot.replay().frames.size(), pilot.seconds(), p.x, p.y, p.z, state);
    if (state != (win ? 1 : -1)) {
        std::cerr << "record_route: the route did not end " << (win ? "won" : "lost") << std::endl;
        return 1;
    }
    return write(argv[3], pilot.replay()) ? 0 : 1;
}
