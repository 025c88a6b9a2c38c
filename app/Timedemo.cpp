#include "app/Timedemo.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <vector>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/FrameUpdate.h"
#include "app/GlfwInput.h"
#include "app/Globals.h"
#include "app/MainLoop.h"
#include "render/Scene.h"

FrameTimes summariseFrameTimes(std::vector<double> milliseconds)
{
    FrameTimes times;
    if (milliseconds.empty())
        return times;
    times.mean
        = std::accumulate(milliseconds.begin(), milliseconds.end(), 0.0) / static_cast<double>(milliseconds.size());
    std::sort(milliseconds.begin(), milliseconds.end());
    times.median = milliseconds[milliseconds.size() / 2];
    // The nearest rank: the smallest time that at least 99 % of the frames do not exceed.
    size_t rank = (milliseconds.size() * 99 + 99) / 100;
    times.p99 = milliseconds[std::max<size_t>(rank, 1) - 1];
    return times;
}

void runTimedemo(const Replay& replay)
{
    using Clock = std::chrono::steady_clock;
    glfwSwapInterval(0);
    lastFrameTime = static_cast<float>(replay.startTime);
    std::vector<double> frameTimes;
    Clock::time_point previous = Clock::now();
    for (const FrameInput& input : replay.frames) {
        // The retrace wait stays off whatever F10 says: as fast as it can.
        applyDisplayRequests(update(input));
        drawFrame();
        Clock::time_point now = Clock::now();
        frameTimes.push_back(std::chrono::duration<double, std::milli>(now - previous).count());
        previous = now;
        if (glfwWindowShouldClose(window))
            break;
    }
    FrameTimes times = summariseFrameTimes(frameTimes);
    std::printf("timedemo: %zu frames, %s path\n", frameTimes.size(), pathName(scene->renderPath));
    std::printf("frame time (ms): mean %.1f, median %.1f, 99th percentile %.1f\n", times.mean, times.median, times.p99);
    std::fflush(stdout);
}
