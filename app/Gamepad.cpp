#include "app/Gamepad.h"

#include <algorithm>
#include <cmath>

namespace gamepad {

void removeDeadZone(float& x, float& y)
{
    const float length = std::hypot(x, y);
    if (!std::isfinite(length) || length <= stickDeadZone) { // a broken reading rests too
        x = 0.0f;
        y = 0.0f;
        return;
    }
    const float scale = (std::min(length, 1.0f) - stickDeadZone) / (1.0f - stickDeadZone) / length;
    x = std::clamp(x * scale, -1.0f, 1.0f);
    y = std::clamp(y * scale, -1.0f, 1.0f);
}

PadInput padFromReading(const float axes[4], bool a, bool start, bool back)
{
    PadInput pad;
    pad.leftX = axes[0];
    pad.leftY = axes[1];
    pad.rightX = axes[2];
    pad.rightY = axes[3];
    removeDeadZone(pad.leftX, pad.leftY);
    removeDeadZone(pad.rightX, pad.rightY);
    pad.press(PadButton::A, a);
    pad.press(PadButton::Start, start);
    pad.press(PadButton::Back, back);
    return pad;
}

} // namespace gamepad
