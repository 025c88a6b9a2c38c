#pragma once

#include <string>
#include <vector>

#include "render/RenderPath.h"

// The game's optional flags. With none it plays from the keyboard, mouse and gamepad.
struct CommandLine {
    bool help = false;
    std::string recordFile;   // --record FILE: write every frame's input record
    std::string replayFile;   // --replay FILE: play FILE instead of the keyboard, mouse and gamepad
    std::string timedemoFile; // --timedemo FILE: replay drawing every frame as fast as possible, print timings
    bool windowed = false;    // --windowed: an 800 x 600 window instead of full screen
    RendererChoice renderer = RendererChoice::fromDriver; // --renderer hardware|software
    int drawEvery = 1;                                    // --draw-every N: during a replay, draw only every Nth frame
    struct Screenshot {
        std::string frame; // "start", "mid", "end", or a frame number counted from 1
        std::string path;
    };
    std::vector<Screenshot> screenshots; // --screenshot FRAME=FILE.png, during a replay
};

// Returns false with one line in `error` for an unknown flag or a missing or bad value.
bool parseCommandLine(int argc, const char* const* argv, CommandLine& options, std::string& error);

const char* usageText();
