#pragma once

#include <iosfwd>

#include "app/FrameInput.h"

// One frame of the game's rules: pause, timing, display modes, walking, turning, jumping,
// the light, the camera orbit, the physics step, the matrices and the game state. Reads
// only `input` and the globals and prints its lines (frame rate, mode changes) to `console`;
// what the platform must do afterwards comes back.
FrameRequests update(const FrameInput& input, std::ostream& console);
FrameRequests update(const FrameInput& input); // printing to standard output

// Steps the world once and copies the character's position into the player.
void stepPhysics();

// The game state for a player position: -1 fallen below the level, 1 inside the goal area, else 0.
int gameStateAt(float x, float y, float z);
