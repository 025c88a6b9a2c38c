// The benchmark: plays a recording as fast as it can, each frame of play followed by the floor
// frame from the same positions (the least work known to give its shadow map and a picture of
// its objects), and prints start-up and its steps, frame times, CPU time in the update, GPU
// time per pass, peak resident memory, and frame / floor in process CPU and wall time.
//   gorbeck-bench [--renderer hardware|software] [--frames N] REPLAY   (run inside the run-time tree)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <numeric>
#include <string>
#include <vector>

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <sys/resource.h>

#include "app/FrameUpdate.h"
#include "app/GlfwInput.h"
#include "app/Globals.h"
#include "app/MainLoop.h"
#include "app/Replay.h"
#include "app/Startup.h"
#include "app/Timedemo.h"
#include "bench/FloorFrame.h"
#include "bench/GpuTimer.h"
#include "bench/StartupClock.h"
#include "render/Scene.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double mean(const std::vector<double>& values)
{
    return values.empty() ? 0.0
                          : std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

// llvmpipe notes a timer query's start and end in every 64 x 64 tile of the framebuffer, and
// the shadow map has 16384 tiles that it would otherwise skip, so a timed pass costs more than
// an untimed one. So only one frame of play in this many, with its floor, is timed on the GPU,
// and the frame and floor figures come from the others.
constexpr size_t gpuTimedEvery = 4;

// Wall and process CPU time of one moment; the CPU time counts the GL driver's worker threads,
// which do llvmpipe's rendering, and is steadier than wall time on a shared machine.
struct Moment {
    Clock::time_point wall = Clock::now();
    double cpu = startupclock::processCpuMilliseconds();
};

struct Options {
    RendererChoice renderer = RendererChoice::fromDriver;
    size_t frames = 0; // 0: all of them
    std::string replay;
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string flag = argv[i];
        if (flag == "--renderer" && i + 1 < argc) {
            if (!rendererChoiceNamed(argv[++i], options.renderer))
                return false;
        } else if (flag == "--frames" && i + 1 < argc) {
            options.frames = std::strtoul(argv[++i], nullptr, 10);
        } else if (options.replay.empty() && flag.rfind("--", 0) != 0) {
            options.replay = flag;
        } else {
            return false;
        }
    }
    return !options.replay.empty();
}

} // namespace

int main(int argc, char** argv)
{
    Clock::time_point processStart = startupclock::processStart();
    startupclock::start(processStart);
    startupclock::mark("program loading");
    Options options;
    if (!parse(argc, argv, options)) {
        std::cerr << "usage: gorbeck-bench [--renderer hardware|software] [--frames N] REPLAY" << std::endl;
        return 2;
    }
    Replay replay;
    std::string error;
    if (!loadReplay(options.replay, replay, error)) {
        std::cerr << "gorbeck-bench: " << error << std::endl;
        return 2;
    }
    if (options.frames > 0 && options.frames < replay.frames.size())
        replay.frames.resize(options.frames);
    onStartupStep(startupclock::mark);
    // The game's own console lines would bury the report: they go to standard error here.
    std::streambuf* console = std::cout.rdbuf(std::cerr.rdbuf());
    bool started = startPlatform(true, options.renderer) && startWorld();
    std::cout.rdbuf(console);
    if (!started)
        return EXIT_FAILURE;

    glfwSwapInterval(0);
    lastFrameTime = static_cast<float>(replay.startTime);
    std::vector<double> frameTimes, updateTimes;
    // Frames of play and the floor frame drawn after each of them, from the same positions.
    std::vector<double> playWall, playCpu, floorWall, floorCpu;
    GpuTimer shadowTimer, cameraTimer, floorShadowTimer, floorCameraTimer;
    FloorFrame floor(*scene);

    double startUp = 0.0;
    Clock::time_point previousEnd = Clock::now();
    size_t framesDrawn = 0, framesOfPlay = 0;
    for (const FrameInput& input : replay.frames) {
        Moment start;
        applyDisplayRequests(update(input));
        updateTimes.push_back(millisecondsBetween(start.wall, Clock::now()));
        bool playing = gameState == 0;
        bool gpuTimed = playing && ++framesOfPlay % gpuTimedEvery == 0;
        if (playing) {
            // The camera pass ends with the swap, which its timer then includes.
            if (gpuTimed)
                shadowTimer.begin();
            scene->renderShadowPass();
            if (gpuTimed) {
                shadowTimer.end();
                cameraTimer.begin();
            }
            scene->renderCameraPass();
            if (gpuTimed)
                cameraTimer.end();
        } else {
            drawFrame();
        }
        Moment end;
        if (++framesDrawn == 1) {
            startupclock::mark("first frame");
            startUp = millisecondsBetween(processStart, end.wall) / 1000.0;
        }
        // From the end of the previous frame of the game, so the floor frames between are left out.
        if (!gpuTimed)
            frameTimes.push_back(millisecondsBetween(previousEnd, end.wall));
        if (playing && floor.ready()) {
            if (gpuTimed)
                floorShadowTimer.begin();
            floor.drawShadowMap();
            if (gpuTimed) {
                floorShadowTimer.end();
                floorCameraTimer.begin();
            }
            floor.drawCameraView();
            floor.present();
            if (gpuTimed)
                floorCameraTimer.end();
            Moment floorEnd;
            if (!gpuTimed) {
                playWall.push_back(millisecondsBetween(start.wall, end.wall));
                playCpu.push_back(end.cpu - start.cpu);
                floorWall.push_back(millisecondsBetween(end.wall, floorEnd.wall));
                floorCpu.push_back(floorEnd.cpu - end.cpu);
            }
        }
        previousEnd = Clock::now();
        if (glfwWindowShouldClose(window))
            break;
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    FrameTimes frames = summariseFrameTimes(frameTimes);
    FrameTimes floorFrames = summariseFrameTimes(floorWall);
    const GLubyte* renderer = glGetString(GL_RENDERER);
    std::printf("bench: %zu frames, %s path, renderer %s\n", framesDrawn, pathName(scene->renderPath),
                renderer ? reinterpret_cast<const char*>(renderer) : "(none given)");
    std::printf("start-up to first frame: %.2f s\n", startUp);
    std::printf("start-up steps (ms wall / process CPU):");
    const char* separator = " ";
    for (const startupclock::Step& step : startupclock::steps()) {
        std::printf("%s%s %.0f / %.0f", separator, step.name.c_str(), step.wallMilliseconds, step.cpuMilliseconds);
        separator = ", ";
    }
    std::printf("\n");
    std::printf("frame time (ms): mean %.1f, median %.1f, 99th percentile %.1f\n", frames.mean, frames.median,
                frames.p99);
    std::printf("CPU per frame (ms): update %.3f\n", mean(updateTimes));
    std::printf("GPU per pass (ms): shadow %.1f, camera %.1f\n", mean(shadowTimer.millisecondsEach()),
                mean(cameraTimer.millisecondsEach()));
    std::printf("peak resident memory: %.0f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::printf("floor: %zu frames, frame time (ms): mean %.1f, median %.1f, 99th percentile %.1f; "
                "GPU shadow %.1f, camera %.1f ms\n",
                floorWall.size(), floorFrames.mean, floorFrames.median, floorFrames.p99,
                mean(floorShadowTimer.millisecondsEach()), mean(floorCameraTimer.millisecondsEach()));
    std::printf("frames of play beside their floor (ms): process CPU %.1f / %.1f, wall %.1f / %.1f\n", mean(playCpu),
                mean(floorCpu), mean(playWall), mean(floorWall));
    if (mean(floorCpu) > 0.0 && mean(floorWall) > 0.0)
        std::printf("frame / floor: CPU %.2f, wall %.2f\n", mean(playCpu) / mean(floorCpu),
                    mean(playWall) / mean(floorWall));
    std::fflush(stdout);
    teardown();
    std::exit(EXIT_SUCCESS);
}
