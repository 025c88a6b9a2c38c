#pragma once

#include <vector>

#include "app/Replay.h"

// Plays a recording drawing every frame as fast as it can (no wait for the vertical retrace),
// then prints the frame count, the render path taken and the frame times.
void runTimedemo(const Replay& replay);

struct FrameTimes {
    double mean = 0.0;
    double median = 0.0; // the upper one of an even count
    double p99 = 0.0;    // the smallest time that 99 % of the frames do not exceed
};
FrameTimes summariseFrameTimes(std::vector<double> milliseconds);
