#pragma once

#include "app/FrameInput.h"

// The gamepad's readings as the frame update takes them, worked out without the window
// library so that tests can check them.
namespace gamepad {

// A stick at rest reads up to this far off its centre on a worn pad, as a share of its
// travel; inside it the stick reads 0.
constexpr float stickDeadZone = 0.25f;

// One stick's axes with the dead zone taken out: a push is measured by its length, so a
// diagonal is not cut more than a straight one, and the travel left outside the dead zone is
// spread from 0 to 1 again, so a slight push past it walks slowly instead of jumping to a
// quarter speed. A push past the stick's circle (square gates report up to 1.41) counts as 1.
void removeDeadZone(float& x, float& y);

// The pad from GLFW's raw axes (left x, left y, right x, right y) and its three buttons.
PadInput padFromReading(const float axes[4], bool a, bool start, bool back);

} // namespace gamepad
