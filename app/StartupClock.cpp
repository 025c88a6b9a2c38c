#include "app/StartupClock.h"

#include <chrono>
#include <ctime>

namespace startupclock {

namespace {

using Clock = std::chrono::steady_clock;

struct Marks {
    Clock::time_point lastWall;
    double lastCpu = 0.0;
    std::vector<Step> steps;
};

Marks& marks()
{
    static Marks theMarks;
    return theMarks;
}

} // namespace

double processCpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void start()
{
    Marks& m = marks();
    m.steps.clear();
    m.lastWall = Clock::now();
    m.lastCpu = processCpuMilliseconds();
}

void mark(const char* name)
{
    Marks& m = marks();
    Clock::time_point wall = Clock::now();
    double cpu = processCpuMilliseconds();
    m.steps.push_back({name, std::chrono::duration<double, std::milli>(wall - m.lastWall).count(), cpu - m.lastCpu});
    m.lastWall = wall;
    m.lastCpu = cpu;
}

const std::vector<Step>& steps()
{
    return marks().steps;
}

} // namespace startupclock
