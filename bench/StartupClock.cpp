#include "bench/StartupClock.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <sstream>

#include <unistd.h>

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

std::optional<long long> startTicksFromStat(const std::string& statLine)
{
    // The name ends at the line's last parenthesis; the third field follows it.
    size_t nameEnd = statLine.rfind(')');
    if (nameEnd == std::string::npos)
        return std::nullopt;
    std::istringstream fields(statLine.substr(nameEnd + 1));
    std::string field;
    for (int i = 3; i < 22; ++i)
        if (!(fields >> field))
            return std::nullopt;
    long long ticks = 0;
    if (!(fields >> ticks) || ticks < 0)
        return std::nullopt;
    return ticks;
}

Clock::time_point processStart()
{
    Clock::time_point now = Clock::now();
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    std::optional<long long> ticks = startTicksFromStat(line);
    long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec sinceBoot{};
    if (!ticks || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &sinceBoot) != 0)
        return now;
    double age = static_cast<double>(sinceBoot.tv_sec) + static_cast<double>(sinceBoot.tv_nsec) / 1e9
        - static_cast<double>(*ticks) / static_cast<double>(ticksPerSecond);
    if (age < 0.0)
        return now;
    return now - std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(age));
}

void start(Clock::time_point from)
{
    Marks& m = marks();
    m.steps.clear();
    m.lastWall = from;
    m.lastCpu = 0.0;
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
