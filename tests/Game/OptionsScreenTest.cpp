// The Options screen played as a player plays it: frames on a hand-stepped clock, keys, the
// pointer and a gamepad delivered as the event loop delivers them, and prefs.txt read back.
#include "Input/pActionKeyHandler.h"
#include "Input/pMouseHandler.h"
#include "Platform/pGamepad.h"
#include "Shell/pFrameCallbacks.h"
#include "Widgets/pHorizontalMarquee.h"
#include "Widgets/pHorizontalSlider.h"
#include "tests/support/GameOnFakeDriver.h"
#include "tests/support/GameSettings.h"

#include <gtest/gtest.h>

namespace {

class OptionsScreen : public GameOnFakeDriver {
protected:
    pOptionsScreen* options = nullptr;

    void SetUp() override {
        GameOnFakeDriver::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // Whatever earlier tests left: the shipped settings, the title, no fade.
        options = &game->optionsScreen;
        game->prefs = pPreferencesManager();
        game->loadSettings();
        game->transitionManager.active = false;
        game->currentScreen = SPLASH_SCREEN;
        game->mainMenu.currChoice = 0;
        options->currentRow = pOptionsScreen::VOLUME;
        step(16);
    }
    void TearDown() override {
        if (options) {
            options->keys.stopListening();
            pGameKeys::bindDefaults();
            game->updateHelpTexts();
            game->fxVolume = 256;
            game->puzzle.blockMarks = false;
        }
        GameOnFakeDriver::TearDown();
    }
    void enterOptions() {
        tap({PKEY_DOWN, PKEY_DOWN});
        ASSERT_EQ(game->mainMenu.getCurrChoice(), "Options");
        tap({PKEY_RETURN});
        wait(600);
        ASSERT_EQ(game->currentScreen, OPTIONS_SCREEN);
    }

    Settings savedFile() { return settingsIn(userData.file("prefs.txt")); }
    // What a fresh start of the game makes of the saved file.
    Settings freshStart() {
        testing::internal::CaptureStdout();
        game->prefs = pPreferencesManager();
        game->fxVolume = -1;
        game->puzzle.blockMarks = false;
        for (const pGameKeys::Action& action : pGameKeys::ACTIONS)
            pActionKeyHandler::instance()->setActionKey(action.name, PKEY_Q);
        game->loadSettings();
        Settings read = settingsInUse(game);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "nothing to mend";
        return read;
    }
    std::string help(int message) { return game->helpMarquee->messages.at(message).first; }
};

} // namespace

TEST_F(OptionsScreen, KeysAloneSetEveryOptionAndAFreshStartReadsThemBack) {
    enterOptions();
    testing::internal::CaptureStdout();
    tap({PKEY_LEFT, PKEY_LEFT, PKEY_LEFT});
    EXPECT_EQ(game->fxVolume, 256 - 3 * 16);
    EXPECT_EQ(savedFile()["fxVolume"], "208") << "saved at once";

    tap({PKEY_DOWN, PKEY_RETURN});
    EXPECT_TRUE(driver.isFullscreen());
    EXPECT_EQ(options->rowText(pOptionsScreen::FULL_SCREEN), "Full Screen: On");
    tap({PKEY_DOWN, PKEY_RIGHT});
    EXPECT_TRUE(game->puzzle.blockMarks);
    EXPECT_EQ(options->rowText(pOptionsScreen::BLOCK_MARKS), "Block Marks: On");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "key enter\n") << "as F11 does it";

    // Move Left takes A; then Move Right takes A too, and Move Left gets Right in exchange.
    tap({PKEY_DOWN, PKEY_RETURN});
    EXPECT_EQ(options->rowText(pOptionsScreen::FIRST_KEY), "Move Left: ?");
    tap({PKEY_A});
    EXPECT_EQ(options->rowText(pOptionsScreen::FIRST_KEY), "Move Left: A");
    tap({PKEY_DOWN, PKEY_RETURN, PKEY_A});
    EXPECT_EQ(options->rowText(pOptionsScreen::FIRST_KEY), "Move Left: Right");
    EXPECT_EQ(options->rowText(pOptionsScreen::FIRST_KEY + 1), "Move Right: A");
    EXPECT_EQ(help(0), "Use the right, A and down keys to move your blocks.");

    // Keys the game needs elsewhere are refused, and Escape cancels without leaving.
    tap({PKEY_DOWN, PKEY_RETURN, PKEY_F11});
    EXPECT_TRUE(options->keys.listening);
    EXPECT_EQ(driver.left, 0) << "F11 went to the listening row only";
    EXPECT_NE(options->hint().find("F11"), std::string::npos) << options->hint();
    tap({PKEY_ESCAPE});
    EXPECT_FALSE(options->keys.listening);
    EXPECT_EQ(game->currentScreen, OPTIONS_SCREEN);
    EXPECT_EQ(options->rowText(pOptionsScreen::FIRST_KEY + 2), "Fall Fast: Down");

    const Settings rebound = {{"fxVolume", "208"},       {"fullScreen", "1"},
                              {"blockMarks", "1"},       {"ACTION_MOVELEFT", "124"},
                              {"ACTION_MOVERIGHT", "0"}, {"ACTION_MOVEDOWN", "125"},
                              {"ACTION_ROTCW", "7"},     {"ACTION_ROTCCW", "6"}};
    EXPECT_EQ(savedFile(), rebound);
    EXPECT_EQ(freshStart(), rebound);

    // Rotate Clockwise, Rotate Anticlockwise, then Reset Controls.
    tap({PKEY_DOWN, PKEY_DOWN, PKEY_DOWN, PKEY_RETURN});
    Settings reset = rebound;
    reset["ACTION_MOVELEFT"] = "123";
    reset["ACTION_MOVERIGHT"] = "124";
    EXPECT_EQ(savedFile(), reset);
    EXPECT_EQ(help(0), "Use the left, right and down keys to move your blocks.");
    EXPECT_EQ(help(1), "Use the Z and X keys to rotate.");
    EXPECT_EQ(freshStart(), reset);

    tap({PKEY_ESCAPE});
    wait(600);
    EXPECT_EQ(game->currentScreen, SPLASH_SCREEN);
}

TEST_F(OptionsScreen, ThePointerWorksTheRowsAndAGamepadFollowsTheScreenAndTheKeys) {
    enterOptions();
    pMouseHandler* mouse = pMouseHandler::instance();
    auto pointer = [&](float x, float y, bool down) {
        mouse->x = static_cast<int>(x);
        mouse->y = static_cast<int>(y);
        mouse->buttons[PBUTTON_LEFT] = down;
        step(16);
    };
    for (bool down : {false, true, false})
        pointer(320, options->baseline(pOptionsScreen::BLOCK_MARKS) - 5, down);
    EXPECT_TRUE(game->puzzle.blockMarks);
    // The knob dragged past the left end is saved when let go.
    const pHorizontalSlider& slider = *options->volumeSlider;
    pointer(slider.x + slider.halfWidth, slider.y, true);
    pointer(0, slider.y, true);
    EXPECT_EQ(game->fxVolume, 0);
    EXPECT_NE(savedFile()["fxVolume"], "0") << "not while it is held";
    pointer(0, slider.y, false);
    EXPECT_EQ(savedFile()["fxVolume"], "0");

    // Here A acts and B goes back; in the game each button plays its action's key.
    pGamepad pad;
    pad.setKeyQuery(padKey);
    pActionKeyHandler::instance()->setActionKey("ACTION_MOVELEFT", PKEY_A);
    pActionKeyHandler::instance()->setActionKey("ACTION_ROTCW", PKEY_LEFT);
    const struct {
        GameScreen screen;
        uint8_t button;
        uint32_t key;
    } cases[] = {{OPTIONS_SCREEN, SDL_CONTROLLER_BUTTON_A, PKEY_RETURN},
                 {OPTIONS_SCREEN, SDL_CONTROLLER_BUTTON_B, PKEY_ESCAPE},
                 {MAIN_GAME, SDL_CONTROLLER_BUTTON_DPAD_LEFT, PKEY_A},
                 {MAIN_GAME, SDL_CONTROLLER_BUTTON_A, PKEY_LEFT}};
    for (const auto& c : cases) {
        game->currentScreen = c.screen;
        std::vector<pEvent> out;
        for (uint32_t type : {SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLERBUTTONUP}) {
            SDL_Event event{};
            event.type = type;
            event.cbutton.button = c.button;
            pad.translate(event, out);
        }
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(out[0].keyCode, c.key) << "screen " << c.screen << ", button " << int(c.button);
    }
}
