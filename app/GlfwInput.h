#pragma once

#include "app/FrameInput.h"

struct GLFWwindow;

// The platform side of the frame update: reads the window's keys, cursor and clock into a
// FrameInput, and carries out the update's requests.
// watchKeys installs the key callback that catches taps between two frames.
void watchKeys(GLFWwindow* window);
FrameInput readFrameInput(GLFWwindow* window);
void applyFrameRequests(GLFWwindow* window, const FrameRequests& requests);
// The requests that change the picture (wireframe, texture filters), for runs that make
// the other changes themselves or not at all (replays, the timedemo).
void applyDisplayRequests(const FrameRequests& requests);
// Escape held now, or pressed since the last frame read the keys.
bool escapePressed(GLFWwindow* window);
