#pragma once

#include "app/FrameInput.h"

// One frame of the game's rules: pause, timing, display modes, walking, turning, jumping,
// the light, the camera orbit, the physics step, the matrices and the game state. Reads
// only `input` and the globals; what the platform must do afterwards comes back.
FrameRequests update(const FrameInput& input);

// Steps the world once and copies the character's position into the player.
void stepPhysics();

// The game state for a player position: -1 fallen below the level, 1 inside the goal area, else 0.
int gameStateAt(float x, float y, float z);
