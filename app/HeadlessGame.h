#pragma once

#include <string>

// The game's world without a window: the globals, a scene that makes no GL call, the
// level's collision mesh and the player's mouse, registered with the physics in the same
// order as a full start. Frames then run through `update` exactly as in the game, which
// is what lets tests and the route recorder play the game without a display.
// Returns false, with one line in `error`, when the level cannot be loaded.
bool startHeadlessWorld(const std::string& levelPath, std::string& error);

// Deletes what startHeadlessWorld made and resets the globals to their start values.
void stopHeadlessWorld();
