#include "tests/app/PlayFixture.h"

using WalkAnimation = PlayFixture;

// The walk cycle runs at 10 radians a second while W or S is held; standing still puts the
// legs back at rest at once and leaves the sway and the wag where they were.
TEST_F(WalkAnimation, PhasesAdvanceTenRadiansASecondAndTheLegsRestWhenStanding)
{
    land();
    EXPECT_EQ(player->swingPhase, 0.0f);
    for (Key key : {Key::W, Key::S}) {
        float sway = player->swayPhase, wag = player->wagPhase;
        for (int i = 0; i < 30; ++i) // half a second
            frame({key});
        EXPECT_NEAR(player->swingPhase, 5.0f, 1e-3f);
        EXPECT_NEAR(player->swayPhase - sway, 5.0f, 1e-3f);
        EXPECT_NEAR(player->wagPhase - wag, 5.0f, 1e-3f);

        float swayBefore = player->swayPhase, wagBefore = player->wagPhase;
        frame();
        EXPECT_EQ(player->swingPhase, 0.0f);
        EXPECT_EQ(player->swayPhase, swayBefore);
        EXPECT_EQ(player->wagPhase, wagBefore);
    }
}
