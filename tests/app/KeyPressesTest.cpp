#include "app/KeyPresses.h"

#include <gtest/gtest.h>

namespace {

std::array<bool, keyCount> holding(std::initializer_list<Key> keys)
{
    std::array<bool, keyCount> held{};
    for (Key k : keys)
        held[static_cast<std::size_t>(k)] = true;
    return held;
}

bool down(const std::array<bool, keyCount>& keys, Key key)
{
    return keys[static_cast<std::size_t>(key)];
}

} // namespace

TEST(KeyPresses, ReleasedKeyIsUpOnTheNextFrame)
{
    KeyPresses presses;
    presses.pressed(Key::W);
    EXPECT_TRUE(down(presses.frameKeys(holding({Key::W})), Key::W));
    EXPECT_TRUE(down(presses.frameKeys(holding({Key::W})), Key::W)) << "held";
    EXPECT_FALSE(down(presses.frameKeys(holding({})), Key::W)) << "let go before this frame: not one frame more";
}

TEST(KeyPresses, TapBetweenTwoFramesCountsOnce)
{
    KeyPresses presses;
    presses.pressed(Key::F3); // down and up again before the frame looked
    EXPECT_TRUE(presses.waiting(Key::F3));
    auto keys = presses.frameKeys(holding({}));
    EXPECT_TRUE(down(keys, Key::F3));
    EXPECT_FALSE(down(keys, Key::F2));
    EXPECT_FALSE(presses.waiting(Key::F3));
    EXPECT_FALSE(down(presses.frameKeys(holding({})), Key::F3));
}
