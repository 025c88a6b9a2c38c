#pragma once

#include <string>
#include <vector>

// Where start-up spends its time. Start-up marks the end of each of its steps; the timedemo
// prints the steps' spans. Marks are silent, so the console lines stay as they are.
namespace startupclock {

struct Step {
    std::string name;
    double wallMilliseconds;
    double cpuMilliseconds; // the whole process's, the GL driver's worker threads included
};

// Process CPU time in milliseconds: every thread of the process, the driver's included.
double processCpuMilliseconds();

// Starts the first step; main calls it first thing.
void start();
// Remembers that the step called `name` ended now; its span runs from the previous mark (or
// from start(), for the first).
void mark(const char* name);
const std::vector<Step>& steps();

} // namespace startupclock
