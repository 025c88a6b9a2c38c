#pragma once

#include <vector>

#include <GL/glew.h>

#include "render/GlHandle.h"

// Measures GPU time spans with GL_TIME_ELAPSED queries. Results are collected at the end,
// so reading them never stalls a frame.
class GpuTimer {
public:
    void begin();
    void end();
    // Milliseconds of every span, in order; waits for the last ones to finish.
    std::vector<double> millisecondsEach();

private:
    std::vector<QueryHandle> queries;
};
