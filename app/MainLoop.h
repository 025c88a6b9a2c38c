#pragma once

#include "app/CommandLine.h"
#include "app/Replay.h"

// Draws one frame by the game state: the two passes while playing, else an end screen.
void drawFrame();

// Plays from the keyboard and mouse until Escape or the window closes. With a recorder,
// every frame's input record is written to it.
void runMainLoop(ReplayRecorder* recorder);

// Plays a recording frame for frame, drawing as the options say, then prints one line with
// the frame count, the player's position and the game state.
void runReplay(const Replay& replay, const CommandLine& options);
