#pragma once

#include "app/FrameInput.h"

struct GLFWwindow;

// The platform side of the frame update: reads the window's keys, cursor, focus, gamepad and
// clock into a FrameInput, and carries out the update's requests.
// watchInput installs the callbacks: the key callback that catches taps between two frames,
// the window's focus and iconify, and gamepads coming and going (each announced in one line).
// It also hands the gamepad mappings in SDL_GAMECONTROLLERCONFIG, when set, to GLFW.
void watchInput(GLFWwindow* window);
FrameInput readFrameInput(GLFWwindow* window);
void applyFrameRequests(GLFWwindow* window, const FrameRequests& requests);
// The requests that change the picture (wireframe, texture filters), for runs that make
// the other changes themselves or not at all (replays, the timedemo).
void applyDisplayRequests(const FrameRequests& requests);
// Escape held now, or pressed since the last frame read the keys.
bool escapePressed(GLFWwindow* window);
