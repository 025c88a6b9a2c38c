#pragma once

#include "render/RenderPath.h"

// Start-up in two steps, then the loop and the teardown.
// startPlatform: window, GL context and state, the render path, music. Returns false, after
// one line on standard error, when the window library, the OpenGL 3.3 core window or the GL
// extension loader is unavailable; no GL call is made then. `windowed` asks for an 800x600
// window instead of full screen; `renderer` forces a render path instead of the driver's.
bool startPlatform(bool windowed = false, RendererChoice renderer = RendererChoice::fromDriver);
// startWorld: the light, the camera, the scene with its programs and models, the timer.
// Returns false, after one line on standard error, when a model file cannot be used.
bool startWorld();
void teardown();

// Called with each start-up step's name as it ends (the benchmark times them); by default
// nothing.
using StartupStepDone = void (*)(const char* step);
void onStartupStep(StartupStepDone done);
