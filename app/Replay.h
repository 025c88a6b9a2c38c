#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/FrameInput.h"

// Recorded play: the input record of every frame, and the clock reading that start-up
// took as the first frame's "last frame time". Replaying the records through the frame
// update on the same assets reproduces the run frame for frame.
//
// The file is text, one item per line:
//   gorbeck-replay 2
//   start <seconds>
//   frame <seconds> <mouse x> <mouse y> <keys> [pad <left x> <left y> <right x> <right y> <buttons>] [unfocused]
//   ...
// <keys> names the keys held in that frame, joined by '+' (P U F2 F3 F4 F5 F6 F10 F11 W S A
// D Space Enter I J K L Escape), or '-' when none is. The pad part, written only when the
// gamepad shows anything, holds its stick axes (dead zones taken out, -1 to 1) and its
// buttons held (A Start Back, joined the same way); "unfocused" marks a frame in which the
// window had no focus. Version 1 files, without F11, the pad and the focus, read as before.
// Times and axes are written with 17 significant digits, so they read back exactly. Blank
// lines and lines starting with '#' are ignored.
struct Replay {
    double startTime = 0.0;
    std::vector<FrameInput> frames;
};

// Reads a replay file. On failure returns false and sets `error` to one line naming the
// file and the line that is wrong.
bool loadReplay(const std::string& path, Replay& replay, std::string& error);

// Writes frames as they happen; the file is complete after every frame.
class ReplayRecorder {
public:
    ~ReplayRecorder();
    // Creates the file, so an unwritable path is found before the window opens.
    bool open(const std::string& path, std::string& error);
    void start(double startTime);
    void record(const FrameInput& input);

private:
    std::FILE* file = nullptr;
};

const char* keyName(Key key);
