#include "Game/pPlinx.h"
#include "Input/pInputManager.h"
#include "Input/pKeyboardHandler.h"
#include "Platform/pResourceFolder.h"
#include "Shell/pFrameCallbacks.h"
#include "Shell/pGame.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Stands in for the platform's frame driver and counts the full-screen switches asked of it.
class SwitchCountingGame : public pGame {
public:
    int entered = 0, left = 0;

    bool createWindowGLContext(int, int, int, int, std::string) override { return true; }
    void getAvailableDisplayModes(std::vector<pDisplayMode>&) override {}
    bool createFullscreenGLContext(int mode) override {
        entered++;
        fullscreen = mode == 0;
        return true;
    }
    void exitFullscreen() override {
        left++;
        fullscreen = false;
    }
    void killWindow() override {}
    int getScreenWidth() override { return 1440; }
    int getScreenHeight() override { return 900; }
    void makeContextCurrent() override {}
    void swapBuffer() override {}
    void run() override {}

    static pGame* install(pGame* game) {
        pGame* previous = instance_;
        instance_ = game;
        return previous;
    }
};

class FrameCallbacksTest : public ::testing::Test {
protected:
    TempFolder userData;
    SwitchCountingGame game;
    pGame* platform = nullptr;
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();

    void SetUp() override {
        setUserDataFolder(userData.path());
        platform = SwitchCountingGame::install(&game);
        pInputManager::instance()->init();
    }
    void TearDown() override {
        SwitchCountingGame::install(platform);
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
