#include "Game/pPlinx.h"

#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

// The switch at the fade's middle shows in the screen flow; here what the flow cannot reach.
TEST(pTransitionManager, TheFirstRequestWinsAndALateStepSwitchesAndEnds) {
    FakeClock clock;
    pPlinx* game = pPlinx::instance();
    pTransitionManager fade;
    game->currentScreen = BLANK_SCREEN;
    fade.beginTransition(SPLASH_SCREEN);
    clock.advance(100);
    fade.beginTransition(MAIN_GAME); // neither restarts nor retargets
    clock.advance(150);
    fade.update();
    EXPECT_EQ(game->currentScreen, BLANK_SCREEN) << "250 ms is still the first half";
    clock.advance(1);
    fade.update();
    EXPECT_EQ(game->currentScreen, SPLASH_SCREEN);
    EXPECT_TRUE(fade.active);
    clock.advance(250);
    fade.update();
    EXPECT_FALSE(fade.active);

    fade.beginTransition(HIGH_SCORE_SCREEN);
    clock.advance(600);
    fade.update();
    EXPECT_EQ(game->currentScreen, HIGH_SCORE_SCREEN);
    EXPECT_FALSE(fade.active);
    game->currentScreen = BLANK_SCREEN;
}
