#include "app/Timedemo.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <sys/resource.h>

#include "app/FrameUpdate.h"
#include "app/GlfwInput.h"
#include "app/Globals.h"
#include "app/MainLoop.h"
#include "app/StartupClock.h"
#include "render/Display.h"
#include "render/FloorFrame.h"
#include "render/GpuTimer.h"
#include "render/Scene.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Summary {
    double mean = 0.0, median = 0.0, p99 = 0.0;
};

Summary summarise(std::vector<double> values)
{
    Summary s;
    if (values.empty())
        return s;
    s.mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    std::sort(values.begin(), values.end());
    s.median = values[values.size() / 2];
    s.p99 = values[std::min(values.size() - 1, values.size() * 99 / 100)];
    return s;
}

double mean(const std::vector<double>& values)
{
    return values.empty() ? 0.0
                          : std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

// llvmpipe notes a timer query's start and end in every 64 x 64 tile of the framebuffer, and
// the shadow map has 16384 tiles that it would otherwise skip, so a timed pass costs more than
// an untimed one: beside the floor's cheap shadow pass enough to make the frame / floor
// figures read better than the truth. So only one frame of play in this many, with its floor,
// is timed on the GPU, and the frame and floor figures come from the others.
constexpr size_t gpuTimedEvery = 4;

// Wall and process CPU time of one span; the CPU time counts the GL driver's worker threads,
// which do llvmpipe's rendering, and is steadier than wall time on a shared machine.
struct Span {
    Clock::time_point wall = Clock::now();
    double cpu = startupclock::processCpuMilliseconds();
};

} // namespace

void runTimedemo(const Replay& replay, Clock::time_point processStart)
{
    glfwSwapInterval(0);
    lastFrameTime = static_cast<float>(replay.startTime);
    std::vector<double> frameTimes, updateTimes, submitTimes;
    // Frames of play and the floor frame drawn after each of them, from the same positions.
    std::vector<double> playWall, playCpu, floorWall, floorCpu;
    GpuTimer shadowTimer, cameraTimer, floorShadowTimer, floorCameraTimer;
    FloorFrame floor(*scene);
    bool timingCamera = false;
    Clock::time_point submitStart, submitEnd;
    // The camera pass and the end screens present inside their draw: the hook closes the
    // frame's measurements right before the swap.
    display::setBeforeSwap([&] {
        submitEnd = Clock::now();
        if (timingCamera)
            cameraTimer.end();
    });

    double startUp = 0.0;
    Clock::time_point previousEnd = Clock::now();
    size_t framesDrawn = 0, framesOfPlay = 0;
    for (const FrameInput& input : replay.frames) {
        Span start;
        // The retrace wait stays off whatever F10 says: as fast as it can.
        applyDisplayRequests(update(input));
        submitStart = Clock::now();
        updateTimes.push_back(millisecondsBetween(start.wall, submitStart));
        bool playing = gameState == 0;
        bool gpuTimed = playing && ++framesOfPlay % gpuTimedEvery == 0;
        if (playing) {
            if (gpuTimed)
                shadowTimer.begin();
            scene->renderShadowPass();
            if (gpuTimed) {
                shadowTimer.end();
                cameraTimer.begin();
            }
            timingCamera = gpuTimed;
            scene->renderCameraPass();
            timingCamera = false;
        } else {
            drawFrame();
        }
        Span end;
        if (++framesDrawn == 1) {
            startupclock::mark("first frame");
            startUp = millisecondsBetween(processStart, end.wall) / 1000.0;
        }
        if (!gpuTimed) {
            submitTimes.push_back(millisecondsBetween(submitStart, submitEnd));
            // From the end of the previous frame of the game, so the floor frames between are left out.
            frameTimes.push_back(millisecondsBetween(previousEnd, end.wall));
        }
        if (playing && floor.ready()) {
            if (gpuTimed)
                floorShadowTimer.begin();
            floor.drawShadowMap();
            if (gpuTimed) {
                floorShadowTimer.end();
                floorCameraTimer.begin();
            }
            floor.drawCameraView();
            if (gpuTimed)
                floorCameraTimer.end();
            floor.present();
            Span floorEnd;
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
    display::setBeforeSwap({});

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    Summary frames = summarise(frameTimes);
    Summary floorFrames = summarise(floorWall);
    std::printf("timedemo: %zu frames\n", framesDrawn);
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
    std::printf("CPU per frame (ms): update %.3f, draw submission %.3f\n", mean(updateTimes), mean(submitTimes));
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
}
