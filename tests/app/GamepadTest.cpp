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

// The dead zone is a quarter of the travel, and what lies outside it is spread over 0 to 1.
TEST(Gamepad, StickInsideTheDeadZoneRestsAndOutsideItIsRescaled)
{
    EXPECT_EQ(stick(0.2f, 0.1f), std::make_pair(0.0f, 0.0f));
    EXPECT_EQ(stick(0.0f, -0.25f), std::make_pair(0.0f, 0.0f)) << "the edge still rests";
    // (0.625 - 0.25) / 0.75 = 0.5; (0.4 - 0.25) / 0.75 = 0.2.
    auto [x, y] = stick(0.625f, 0.0f);
    EXPECT_FLOAT_EQ(x, 0.5f);
    EXPECT_EQ(y, 0.0f);
    std::tie(x, y) = stick(0.0f, -0.4f);
    EXPECT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, -0.2f);
    std::tie(x, y) = stick(-1.0f, 0.0f);
    EXPECT_FLOAT_EQ(x, -1.0f);
}

TEST(Gamepad, DeadZoneIsMeasuredAlongThePushNotPerAxis)
{
    // (0.3, 0.4) is 0.5 long: (0.5 - 0.25) / 0.75 = 1/3 along (0.6, 0.8), so (0.2, 0.2667).
    // Cut axis by axis the x would stay 0.0667.
    auto [x, y] = stick(0.3f, 0.4f);
    EXPECT_NEAR(x, 0.2f, 1e-6f);
    EXPECT_NEAR(y, 0.8f / 3.0f, 1e-6f);
    // A square gate's corner, 1.41 long, counts as a full push: 0.7071 each way.
    std::tie(x, y) = stick(1.0f, -1.0f);
    EXPECT_NEAR(x, 0.70710678f, 1e-6f);
    EXPECT_NEAR(y, -0.70710678f, 1e-6f);
}

TEST(Gamepad, BrokenReadingRests)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(stick(nan, 0.9f), std::make_pair(0.0f, 0.0f));
    EXPECT_EQ(stick(inf, 0.0f), std::make_pair(0.0f, 0.0f));
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
