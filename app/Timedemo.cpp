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
#include "render/BareFrame.h"
#include "render/Display.h"
#include "render/GpuTimer.h"
#include "render/Scene.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int bareFrames = 60;

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

} // namespace

void runTimedemo(const Replay& replay, Clock::time_point processStart)
{
    glfwSwapInterval(0);
    lastFrameTime = static_cast<float>(replay.startTime);
    std::vector<double> frameTimes, updateTimes, submitTimes;
    GpuTimer shadowTimer, cameraTimer;
    bool playing = false;
    Clock::time_point submitStart, submitEnd;
    // The camera pass and the end screens present inside their draw: the hook closes the
    // frame's measurements right before the swap.
    display::setBeforeSwap([&] {
        submitEnd = Clock::now();
        if (playing)
            cameraTimer.end();
    });

    double startUp = 0.0;
    Clock::time_point frameStart = Clock::now();
    for (const FrameInput& input : replay.frames) {
        Clock::time_point updateStart = Clock::now();
        // The retrace wait stays off whatever F10 says: as fast as it can.
        applyDisplayRequests(update(input));
        submitStart = Clock::now();
        updateTimes.push_back(millisecondsBetween(updateStart, submitStart));
        playing = gameState == 0;
        if (playing) {
            shadowTimer.begin();
            scene->renderShadowPass();
            shadowTimer.end();
            cameraTimer.begin();
            scene->renderCameraPass();
        } else {
            drawFrame();
        }
        Clock::time_point frameEnd = Clock::now();
        submitTimes.push_back(millisecondsBetween(submitStart, submitEnd));
        if (frameTimes.empty() && startUp == 0.0)
            startUp = millisecondsBetween(processStart, frameEnd) / 1000.0;
        frameTimes.push_back(millisecondsBetween(frameStart, frameEnd));
        frameStart = frameEnd;
        if (glfwWindowShouldClose(window))
            break;
    }
    display::setBeforeSwap({});

    std::vector<double> bareTimes;
    GpuTimer bareTimer;
    BareFrame bare(scene->shadowFramebuffer);
    if (bare.ready()) {
        frameStart = Clock::now();
        for (int i = 0; i < bareFrames; ++i) {
            bareTimer.begin();
            bare.drawDepthLayer();
            bareTimer.end();
            bare.finishFrame();
            Clock::time_point frameEnd = Clock::now();
            bareTimes.push_back(millisecondsBetween(frameStart, frameEnd));
            frameStart = frameEnd;
        }
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    Summary frames = summarise(frameTimes);
    Summary floor = summarise(bareTimes);
    std::printf("timedemo: %zu frames\n", frameTimes.size());
    std::printf("start-up to first frame: %.2f s\n", startUp);
    std::printf("frame time (ms): mean %.1f, median %.1f, 99th percentile %.1f\n", frames.mean, frames.median,
                frames.p99);
    std::printf("CPU per frame (ms): update %.3f, draw submission %.3f\n", mean(updateTimes), mean(submitTimes));
    std::printf("GPU per pass (ms): shadow %.1f, camera %.1f\n", mean(shadowTimer.millisecondsEach()),
                mean(cameraTimer.millisecondsEach()));
    std::printf("peak resident memory: %.0f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::printf("floor: %d bare frames, frame time (ms): mean %.1f, median %.1f, 99th percentile %.1f; "
                "GPU depth layer %.1f ms\n",
                static_cast<int>(bareTimes.size()), floor.mean, floor.median, floor.p99,
                mean(bareTimer.millisecondsEach()));
    if (floor.mean > 0.0)
        std::printf("frame / floor: %.2f\n", frames.mean / floor.mean);
    std::fflush(stdout);
}
