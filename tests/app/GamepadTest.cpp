#include "app/Gamepad.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

std::pair<float, float> stick(float x, float y)
{
    gamepad::removeDeadZone(x, y);
    return {x, y};
}

} // namespace

// The dead zone is a quarter of the travel, measured along the push, and what lies outside
// it is spread over 0 to 1 along the same direction.
TEST(Gamepad, StickInsideTheDeadZoneRestsAndOutsideItIsRescaledAlongThePush)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float x, y, expectedX, expectedY;
    } cases[] = {
        {0.2f, 0.1f, 0.0f, 0.0f},
        {0.0f, -0.25f, 0.0f, 0.0f}, // the edge still rests
        {0.625f, 0.0f, 0.5f, 0.0f}, // (0.625 - 0.25) / 0.75
        {0.0f, -0.4f, 0.0f, -0.2f}, // (0.4 - 0.25) / 0.75
        {-1.0f, 0.0f, -1.0f, 0.0f},
        // 0.5 long: 1/3 along (0.6, 0.8). Cut axis by axis the x would stay 0.0667.
        {0.3f, 0.4f, 0.2f, 0.8f / 3.0f},
        {1.0f, -1.0f, 0.70710678f, -0.70710678f}, // a square gate's corner counts as a full push
        {nan, 0.9f, 0.0f, 0.0f},                  // broken readings rest
        {inf, 0.0f, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        auto [x, y] = stick(c.x, c.y);
        EXPECT_NEAR(x, c.expectedX, 1e-6f) << "(" << c.x << ", " << c.y << ")";
        EXPECT_NEAR(y, c.expectedY, 1e-6f) << "(" << c.x << ", " << c.y << ")";
    }
}

TEST(Gamepad, ReadingFillsEachStickAndButtonInItsPlace)
{
    const float axes[4] = {0.625f, 0.0f, 0.0f, 0.4f};
    PadInput pad = gamepad::padFromReading(axes, true, false, true);
    EXPECT_FLOAT_EQ(pad.leftX, 0.5f);
    EXPECT_EQ(pad.leftY, 0.0f);
    EXPECT_EQ(pad.rightX, 0.0f);
    EXPECT_FLOAT_EQ(pad.rightY, 0.2f);
    EXPECT_TRUE(pad.down(PadButton::A));
    EXPECT_FALSE(pad.down(PadButton::Start));
    EXPECT_TRUE(pad.down(PadButton::Back));
    EXPECT_FALSE(pad.idle());

    const float rest[4] = {0.1f, -0.1f, 0.2f, 0.0f};
    EXPECT_TRUE(gamepad::padFromReading(rest, false, false, false).idle());
}
