#pragma once

#include "app/FrameInput.h"

struct GLFWwindow;

// The platform side of the frame update: reads the window's keys, cursor and clock into a
// FrameInput, and carries out the update's requests.
FrameInput readFrameInput(GLFWwindow* window);
void applyFrameRequests(GLFWwindow* window, const FrameRequests& requests);
