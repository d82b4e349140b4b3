// The Options screen played as a player plays it, with keys, the pointer and a gamepad, and the
// settings it keeps in prefs.txt read back as a fresh start reads them.
#include "File/cAttribs.h"
#include "Input/pActionKeyHandler.h"
#include "Platform/pGamepad.h"
#include "Widgets/pHorizontalSlider.h"
#include "tests/support/GameOnFakeDriver.h"

#include <map>

namespace {

// Settings by their key in prefs.txt, with their values as the file writes them.
using Settings = std::map<std::string, std::string>;

// The first value of every key in an attribute file.
Settings settingsIn(const std::string& path) {
    cAttribs file;
    file.readFile(path);
    Settings saved;
    for (const std::string& kind : file.kinds)
        if (!file.attribs[kind]->data.empty())
            saved[kind] = file.attribs[kind]->data[0];
    return saved;
}

// What the game runs with, under the keys it saves them under.
Settings settingsInUse(pPlinx* game) {
    Settings used = {{"fxVolume", std::to_string(game->fxVolume)},
                     {"fullScreen", game->fullScreenSaved() ? "1" : "0"},
                     {"blockMarks", game->puzzle.blockMarks ? "1" : "0"}};
    for (int i = 0; i < pGameKeys::COUNT; i++)
        used[pGameKeys::ACTIONS[i].name] = std::to_string(pGameKeys::boundKey(i));
    return used;
}

std::string asFile(const Settings& settings) {
    std::string text;
    for (const auto& [key, value] : settings)
        text += "{\n" + key + "\n" + value + "\n}\n";
    return text;
}

class OptionsScreen : public GameOnFakeDriver {
protected:
    pOptionsScreen* options = nullptr;

    void ready() override {
        GameOnFakeDriver::ready();
        if (HasFatalFailure())
            return;
        // Whatever earlier tests left: the shipped settings, the title, no fade.
        options = &game->optionsScreen;
        std::filesystem::remove(userData.file("prefs.txt"));
        game->prefs = pPreferencesManager();
        game->loadSettings();
        game->transitionManager.active = false;
        game->currentScreen = SPLASH_SCREEN;
        options->currentRow = pOptionsScreen::VOLUME;
        frame();
    }
    void TearDown() override {
        if (options)
            options->keys.stopListening();
        GameOnFakeDriver::TearDown();
    }
    void enterOptions() {
        tap({PKEY_DOWN, PKEY_DOWN});
        ASSERT_EQ(game->mainMenu.getCurrChoice(), "Options");
        tap({PKEY_RETURN});
        frames(600);
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
    // Three steps of 16 down, saved at once.
    EXPECT_EQ(game->fxVolume, 256 - 3 * 16);
    EXPECT_EQ(savedFile()["fxVolume"], "208");

    // Each row says what the game does now (the full screen the driver's, the marks the board's).
    tap({PKEY_DOWN, PKEY_RETURN});
    EXPECT_EQ(options->rowText(pOptionsScreen::FULL_SCREEN), "Full Screen: On");
    tap({PKEY_DOWN, PKEY_RIGHT});
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
    // F11 went to the listening row only.
    EXPECT_TRUE(options->keys.listening);
    EXPECT_EQ(driver.left, 0);
    EXPECT_NE(options->hint().find("F11"), std::string::npos) << options->hint();
    tap({PKEY_ESCAPE});
    EXPECT_FALSE(options->keys.listening);
    EXPECT_EQ(game->currentScreen, OPTIONS_SCREEN);
    EXPECT_EQ(options->rowText(pOptionsScreen::FIRST_KEY + 2), "Fall Fast: Down");
    // Laid out on its own, the key panel's ten rows of 20 px, 1.75 heights apart, take 335 px.
    pKeyConfigInterface panel;
    panel.textHeight = 20;
    panel.setDefaultActions();
    EXPECT_EQ(panel.getTotalHeight(), 335.0f);
    // Drawn, the selected row is at full brightness, the others at half.
    panel.x = 320, panel.y = 30, panel.selected = 1;
    makeCurrent();
    blended();
    panel.draw(0);
    EXPECT_EQ(litPixels(0, 0, 640, 40, 140) + litPixels(0, 70, 640, 480, 140), 0);
    EXPECT_GT(litPixels(0, 40, 640, 70, 140), 100);

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
    frames(600);
    EXPECT_EQ(game->currentScreen, SPLASH_SCREEN);
}

TEST_F(OptionsScreen, ThePointerWorksTheRowsAndAGamepadFollowsTheScreenAndTheKeys) {
    enterOptions();
    pMouseHandler* mouse = pMouseHandler::instance();
    auto pointer = [&](float x, float y, bool down) {
        mouse->x = static_cast<int>(x);
        mouse->y = static_cast<int>(y);
        mouse->buttons[PBUTTON_LEFT] = down;
        frame();
    };
    for (bool down : {false, true, false})
        pointer(320, options->baseline(pOptionsScreen::BLOCK_MARKS) - 5, down);
    EXPECT_TRUE(game->puzzle.blockMarks);
    // The knob dragged past the left end is saved when let go.
    const pHorizontalSlider& slider = *options->volumeSlider;
    slStopAllChannels();
    pointer(slider.x + slider.halfWidth, slider.y, true);
    pointer(0, slider.y, true);
    EXPECT_EQ(slCountSounds(game->menuBlipSound), 1) << "heard while dragged";
    // Not saved while it is held.
    EXPECT_EQ(game->fxVolume, 0);
    EXPECT_NE(savedFile()["fxVolume"], "0");
    pointer(0, slider.y, false);
    EXPECT_EQ(savedFile()["fxVolume"], "0");

    // Here A acts and B goes back; in the game each button plays its action's key.
    pGamepad pad;
    pad.setKeyQuery(padKey);
    pActionKeyHandler::instance()->setActionKey("ACTION_MOVELEFT", PKEY_A);
    pActionKeyHandler::instance()->setActionKey("ACTION_ROTCW", PKEY_LEFT);
    const std::tuple<GameScreen, uint8_t, uint32_t> cases[] = {
        {OPTIONS_SCREEN, SDL_CONTROLLER_BUTTON_A, PKEY_RETURN},
        {OPTIONS_SCREEN, SDL_CONTROLLER_BUTTON_B, PKEY_ESCAPE},
        {SPLASH_SCREEN, SDL_CONTROLLER_BUTTON_START, PKEY_RETURN},
        {MAIN_GAME, SDL_CONTROLLER_BUTTON_START, PKEY_ESCAPE},
        {MAIN_GAME, SDL_CONTROLLER_BUTTON_DPAD_LEFT, PKEY_A},
        {MAIN_GAME, SDL_CONTROLLER_BUTTON_A, PKEY_LEFT}};
    for (auto [screen, button, key] : cases) {
        game->currentScreen = screen;
        std::vector<pEvent> out;
        for (uint32_t type : {SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLERBUTTONUP}) {
            SDL_Event event{type};
            event.cbutton.button = button;
            pad.translate(event, out);
        }
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(out[0].keyCode, key) << "screen " << screen << ", button " << int(button);
    }
    // The stick plays the same keys, and lets go of key code 0 like any other.
    std::vector<pEvent> out;
    for (int16_t travel : {-30000, 0}) {
        SDL_Event event{SDL_CONTROLLERAXISMOTION};
        event.caxis.axis = SDL_CONTROLLER_AXIS_LEFTX, event.caxis.value = travel;
        pad.translate(event, out);
    }
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].keyCode, PKEY_A);
    EXPECT_EQ(out[1].kind, PEVENT_RAW_KEY_UP);
}

// A player's prefs.txt with one setting missing or broken: that setting alone takes its
// default, with one line naming the file, and every other setting keeps the player's value.
TEST(SettingsFile, AMissingOrBrokenSettingTakesItsDefaultAndTheOthersStay) {
    PlayerFolders folders;
    std::filesystem::copy_file(PLINX_SOURCE_DIR "/Resources/prefs.txt",
                               folders.shipped.file("prefs.txt"));
    const std::string mine = folders.player.file("prefs.txt");
    // None of them the shipped value: A, D, S move, W and Q rotate.
    const Settings player = {{"fxVolume", "100"},       {"fullScreen", "1"},
                             {"blockMarks", "1"},       {"ACTION_MOVELEFT", "0"},
                             {"ACTION_MOVERIGHT", "2"}, {"ACTION_MOVEDOWN", "1"},
                             {"ACTION_ROTCW", "13"},    {"ACTION_ROTCCW", "12"}};
    // Over the player's: a key, the value written (an empty value leaves the key out) and the one
    // used, what is said after the file's path, and another key written and used as given.
    using Text = std::string;
    const std::tuple<Text, Text, Text, Text, Text, Text> cases[] = {
        {"fullScreen", "", "0", " has no fullScreen; using the default 0.\n", "", ""},
        {"blockMarks", "2", "0", ": blockMarks 2 is not 0 or 1; using 0.\n", "", ""},
        {"ACTION_MOVELEFT", "53", "123",
         ": ACTION_MOVELEFT 53 is Escape, which pauses the game; using 123.\n", "", ""},
        {"ACTION_MOVEDOWN", "128", "125", ": ACTION_MOVEDOWN 128 is no key; using 125.\n", "", ""},
        // Saved twice: the first action keeps it.
        {"ACTION_MOVERIGHT", "0", "124",
         ": ACTION_MOVERIGHT 0 is already the key of Move Left; using 124.\n", "", ""},
        // The default is another action's key: the first default free instead.
        {"ACTION_ROTCW", "103", "123",
         ": ACTION_ROTCW 103 is F11, which switches full screen; using 123.\n", "ACTION_MOVELEFT",
         "7"},
        {"ACTION_MOVELEFT", "x", "124", ": ACTION_MOVELEFT \"x\" is not a number; using 124.\n",
         "ACTION_MOVERIGHT", "123"},
    };
    pPlinx* game = pPlinx::instance();
    for (const auto& [key, value, use, said, otherKey, otherValue] : cases) {
        Settings written = player, expected = player;
        written[key] = value;
        expected[key] = use;
        if (value.empty())
            written.erase(key);
        if (!otherKey.empty())
            written[otherKey] = expected[otherKey] = otherValue;
        SCOPED_TRACE(asFile(written));
        writeFileBytes(mine, asFile(written));

        testing::internal::CaptureStdout();
        game->prefs = pPreferencesManager();
        game->loadSettings();
        EXPECT_EQ(settingsInUse(game), expected);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), mine + said);
        // Saved is what the game uses.
        game->prefs.writeFile();
        EXPECT_EQ(settingsIn(mine), expected);
    }
    pGameKeys::bindDefaults();
}
