#pragma once

#include <chrono>

#include "app/Replay.h"

// Plays a recording drawing every frame as fast as it can (no wait for the vertical
// retrace), then the bare frame the game cannot do without, and prints the figures:
// frames, start-up time, frame times, CPU time in the update and in draw submission, GPU
// time per pass, peak resident memory, and the ratio of the real frame to the bare one.
void runTimedemo(const Replay& replay, std::chrono::steady_clock::time_point processStart);
