// The running application on a hand-stepped clock: how far one update step may reach, and what
// the title's help tells a player on this platform.
#include "Game/pPlinx.h"

#include "Input/pInputManager.h"
#include "Platform/pResourceFolder.h"
#include "Sound/slSound.h"
#include "Utils/pTimer.h"
#include "Widgets/pHorizontalMarquee.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeGame.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class PlinxRuntimeTest : public GLTestContext {
protected:
    FakeClock clock;
    TempFolder userData;
    FakeGame driver;
    pGame* platform = nullptr;
    pPlinx* game = nullptr;

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        platform = FakeGame::install(&driver);
        driver.windowWidth = 640;
        driver.windowHeight = 480;
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(userData.path());
        pInputManager::instance()->init();
        game = pPlinx::instance();
        if (!game->initialised)
            game->update();
    }
    void TearDown() override {
        slExit();
        if (platform)
            FakeGame::install(platform);
        setResourceFolder("");
        setUserDataFolder("");
        GLTestContext::TearDown();
    }
};

TEST_F(PlinxRuntimeTest, AStalledProcessResumesWithAQuarterSecondStepAtMost) {
    game->transitionManager.active = false;
    game->currentScreen = MAIN_GAME;
    game->paused = false;
    game->puzzle = pPuzzle();
    game->puzzle.initGame();
    pTimer::instance()->resetMark(game->frameMark);
    for (double ms : {16.0, 10000.0, 250.0, 400.0, 33.0}) {
        clock.advance(ms);
        game->update();
        EXPECT_FLOAT_EQ(game->frameTime, static_cast<float>(std::min(ms, 250.0) / 1000.0)) << ms;
    }
}

TEST_F(PlinxRuntimeTest, HelpNamesTheFullScreenKeyOfThisKeyboard) {
    auto& messages = game->helpMarquee->messages;
    auto says = [&](const std::string& text) {
        return std::any_of(messages.begin(), messages.end(),
                           [&](const auto& message) { return message.first == text; });
    };
    EXPECT_TRUE(says("Press F11 to toggle full screen."));
    EXPECT_FALSE(says("Press Apple-F to toggle full screen."));
    EXPECT_EQ(messages.size(), 6u);
}

} // namespace
