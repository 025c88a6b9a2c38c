#pragma once

// Start-up in two steps, then the loop and the teardown.
// startPlatform: window, GL context and state, music. Returns false, after one line on
// standard error, when the window library, the OpenGL 3.3 core window or the GL extension
// loader is unavailable; no GL call is made then. `windowed` asks for an 800x600 window
// instead of full screen.
bool startPlatform(bool windowed = false);
// startWorld: the light, the camera, the scene with its programs and models, the timer.
// Returns false, after one line on standard error, when a model file cannot be used.
bool startWorld();
void teardown();
