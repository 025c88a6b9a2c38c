#pragma once

#include <chrono>

#include "app/Replay.h"

// Plays a recording drawing every frame as fast as it can (no wait for the vertical
// retrace), each frame of play followed by the floor frame from the same positions (the
// least work known to give its shadow map and a picture of its objects), and prints the
// figures: frames, start-up time and its steps, frame times, CPU time in the update and in
// draw submission, GPU time per pass, peak resident memory, and the ratio of the frames of
// play to their floor frames in process CPU time and in wall time.
void runTimedemo(const Replay& replay, std::chrono::steady_clock::time_point processStart);
