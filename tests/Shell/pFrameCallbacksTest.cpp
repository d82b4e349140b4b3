#include "Game/pPlinx.h"
#include "Input/pInputManager.h"
#include "Input/pKeyboardHandler.h"
#include "Platform/pResourceFolder.h"
#include "Shell/pFrameCallbacks.h"
#include "Shell/pGame.h"
#include "tests/support/FakeGame.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class FrameCallbacksTest : public ::testing::Test {
protected:
    TempFolder userData;
    FakeGame game;
    pGame* platform = nullptr;
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();

    void SetUp() override {
        setUserDataFolder(userData.path());
        platform = FakeGame::install(&game);
        pInputManager::instance()->init();
    }
    void TearDown() override {
        FakeGame::install(platform);
        setUserDataFolder("");
    }
    void hold(PKEYCODE k, bool down) { keyboard->keys[k] = down; }
};

} // namespace

TEST_F(FrameCallbacksTest, GameSeesThePressBeforeTheInputManagerEndsTheFrame) {
    hold(PKEY_COMMAND, true);
    hold(PKEY_F, true);
    testing::internal::CaptureStdout();
    update(); // were the input manager first, F would already count as held, not pressed
    update(); // still held: no second switch
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "key enter\n");
    EXPECT_EQ(game.entered, 1);
    EXPECT_TRUE(keyboard->oldKeys[PKEY_F]);

    hold(PKEY_F, false);
    update();
    hold(PKEY_F, true);
    testing::internal::CaptureStdout();
    update();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "key exit\n");
    EXPECT_EQ(game.left, 1);

    // F alone does nothing.
    hold(PKEY_COMMAND, false);
    hold(PKEY_F, false);
    update();
    hold(PKEY_F, true);
    update();
    EXPECT_EQ(game.entered, 1);
    EXPECT_EQ(game.left, 1);
}

TEST_F(FrameCallbacksTest, ReleaseWritesThePreferences) {
    release();
    EXPECT_TRUE(std::filesystem::exists(userData.file("prefs.txt")));
}
