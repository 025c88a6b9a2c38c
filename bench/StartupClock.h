#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// Where start-up spends its time. The benchmark marks the end of each start-up step and
// prints the steps' spans.
namespace startupclock {

struct Step {
    std::string name;
    double wallMilliseconds;
    double cpuMilliseconds; // the whole process's, the GL driver's worker threads included
};

// Process CPU time in milliseconds: every thread of the process, the driver's included.
double processCpuMilliseconds();

// The process's start time in clock ticks after boot, the 22nd field of a /proc/PID/stat
// line; nothing when the line does not have it. The second field, the program's name in
// parentheses, may itself hold spaces and parentheses.
std::optional<long long> startTicksFromStat(const std::string& statLine);

// When the kernel started this process, on the steady clock: before the program and its
// libraries were loaded. The kernel keeps
// the time in whole ticks (10 ms), rounded down, so this is never later than the true start.
// Now, when the kernel does not say.
std::chrono::steady_clock::time_point processStart();

// Starts the first step at `from`, with the process's CPU time counted from zero; main calls
// it first thing.
void start(std::chrono::steady_clock::time_point from);
// Remembers that the step called `name` ended now; its span runs from the previous mark (or
// from start(), for the first).
void mark(const char* name);
const std::vector<Step>& steps();

} // namespace startupclock
