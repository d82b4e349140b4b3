// The application's screen flow, driven frame by frame as the frame driver does it, on a
// hand-stepped clock with keys injected as the event loop delivers them.
#include "Game/pPlinx.h"

#include "Input/pInputManager.h"
#include "Input/pKeyboardHandler.h"
#include "Platform/pGamepad.h"
#include "Platform/pResourceFolder.h"
#include "Shell/pFrameCallbacks.h"
#include "Shell/pGame.h"
#include "Shell/pOSXGame.h"
#include "Sound/slSound.h"
#include "Utils/pTimer.h"
#include "Widgets/pImageOverlay.h"
#include "Widgets/pVerticalMenu.h"
#include "tests/support/FakeClock.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/FakeGame.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

// A frame driver, a clock and the keyboard for the application; nothing started yet.
class PlinxFixture : public GLTestContext {
protected:
    FakeClock clock;
    TempFolder userData;
    FakeGame driver;
    pGame* platform = nullptr;
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    pPlinx* game = nullptr;

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        platform = FakeGame::install(&driver);
        driver.windowWidth = 640;
        driver.windowHeight = 480;
        driver.fullscreenWidth = 1024;
        driver.fullscreenHeight = 768;
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(userData.path());
        pInputManager::instance()->init();
        keyboard->events.clear();
    }
    void TearDown() override {
        // The game's sound stops as it does when the game ends: a mixer still running while the
        // process exits would read torn-down tables.
        slExit();
        if (platform)
            FakeGame::install(platform);
        setResourceFolder("");
        setUserDataFolder("");
        GLTestContext::TearDown();
    }

    // One frame as the frame driver runs it, `ms` after the previous one.
    void frame(double ms) {
        clock.advance(ms);
        pPlinx::instance()->update();
        pInputManager::instance()->update();
        pPlinx::instance()->draw();
    }
    void frames(double totalMs, double step = 16) {
        for (double t = 0; t < totalMs; t += step)
            frame(step);
    }
    void key(PKEYCODE k, bool down) {
        pEvent event{PEVENT_CLASS_KEYBOARD,
                     down ? PEVENT_RAW_KEY_DOWN : PEVENT_RAW_KEY_UP,
                     static_cast<uint32_t>(k),
                     0,
                     0,
                     0,
                     0,
                     0};
        keyEvent(nullptr, &event, keyboard);
    }
    void modifiers(uint32_t mask) {
        pEvent event{PEVENT_CLASS_KEYBOARD, PEVENT_MODIFIERS_CHANGED, 0, mask, 0, 0, 0, 0};
        keyEvent(nullptr, &event, keyboard);
    }
    void tap(PKEYCODE k) {
        key(k, true);
        frame(16);
        key(k, false);
        frame(16);
    }
};

// The application started and standing on its blank screen, its clocks restarted.
class PlinxFlow : public PlinxFixture {
protected:
    static inline int swapsDuringInit = -1;

    void SetUp() override {
        PlinxFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        game = pPlinx::instance();
        if (!game->initialised) {
            frame(0);
            swapsDuringInit = driver.swaps;
        }
        // Earlier tests in this process ran on clocks of their own: start every timer afresh.
        pTimer* timer = pTimer::instance();
        timer->resetMark(game->frameMark);
        timer->resetMark(game->blankScreenMark);
        timer->resetMark(game->marqueeMark);
        game->transitionManager.active = false;
        game->currentScreen = BLANK_SCREEN;
        game->paused = false;
        game->puzzle = pPuzzle();
    }
    // To the title, the fade over: from the blank screen by waiting, from the table by
    // "Continue".
    void reachTitle() {
        if (game->currentScreen == HIGH_SCORE_SCREEN) {
            frames(300); // a choice made while the fade runs is not taken
            tap(PKEY_RETURN);
        }
        frames(game->currentScreen == BLANK_SCREEN ? 1900 : 600);
        ASSERT_EQ(game->currentScreen, SPLASH_SCREEN);
    }
    // Starts a game from the title menu, fills the well so that the next piece cannot land, and
    // runs frames until the game is over and its fade has left the board.
    void playToGameOver(int score) {
        reachTitle();
        game->mainMenu.currChoice = 0;
        tap(PKEY_RETURN);
        frames(600);
        ASSERT_EQ(game->currentScreen, MAIN_GAME);
        game->puzzle.score = score;
        for (int row = 0; row < pPuzzle::HEIGHT; row++)
            for (int column = 0; column < pPuzzle::WIDTH; column++)
                game->puzzle.cells[row * pPuzzle::WIDTH + column] = {0, 1 + (row + column) % 2};
        for (int i = 0; i < 1000 && game->currentScreen == MAIN_GAME; i++) {
            frame(16);
            if (!game->puzzle.playing && !gameOverSeen) {
                gameOverSeen = true;
                tap(PKEY_ESCAPE); // too late to pause
                EXPECT_FALSE(game->paused);
            }
        }
        ASSERT_TRUE(gameOverSeen);
        gameOverSeen = false;
    }
    bool gameOverSeen = false;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST_F(PlinxFlow, StartsOnTheBlankScreenAndFadesToTheTitleAfter1200ms) {
    EXPECT_EQ(swapsDuringInit, 6) << "six loading frames, each presented at once";
    EXPECT_EQ(game->mainMenu.choices,
              (std::vector<std::string>{"Start Game", "High Scores", "Options", "Quit Game"}));
    EXPECT_EQ(game->highScoreMenu.choices, std::vector<std::string>{"Continue"});

    frames(1200);
    EXPECT_EQ(game->currentScreen, BLANK_SCREEN);
    EXPECT_FALSE(game->transitionManager.active) << "not before 1200 ms have passed";
    frame(16);
    ASSERT_TRUE(game->transitionManager.active);
    frames(240);
    EXPECT_EQ(game->currentScreen, BLANK_SCREEN) << "switches at the black middle";
    frames(32);
    EXPECT_EQ(game->currentScreen, SPLASH_SCREEN);
    frames(300);
    EXPECT_FALSE(game->transitionManager.active);

    // The title menu follows the view: text size 30 and first baseline 224 at 640 x 480.
    EXPECT_FLOAT_EQ(game->mainMenu.fontSize, 30.0f);
    EXPECT_FLOAT_EQ(game->mainMenu.y, 224.0f);
    EXPECT_FLOAT_EQ(game->mainMenu.x, 320.0f);
}

TEST_F(PlinxFlow, StartGameStartsTheBoardAtOnceAndSwitchesAtTheFadesMiddle) {
    reachTitle();
    game->mainMenu.currChoice = 0;
    key(PKEY_RETURN, true);
    frame(16);
    EXPECT_TRUE(game->puzzle.playing) << "the board starts while the title still shows";
    EXPECT_EQ(game->currentScreen, SPLASH_SCREEN);
    EXPECT_TRUE(game->transitionManager.active);
    key(PKEY_RETURN, false);
    frames(224);
    EXPECT_EQ(game->currentScreen, SPLASH_SCREEN);
    frames(48);
    EXPECT_EQ(game->currentScreen, MAIN_GAME);

    // Escape pauses and resumes; while paused the board stands still.
    frames(300);
    tap(PKEY_ESCAPE);
    ASSERT_TRUE(game->paused);
    int row = game->puzzle.pieceY;
    frames(2000);
    EXPECT_EQ(game->puzzle.pieceY, row);
    tap(PKEY_ESCAPE);
    EXPECT_FALSE(game->paused);
    frames(1000);
    EXPECT_NE(game->puzzle.pieceY, row);
}

TEST_F(PlinxFlow, HighScoresFromTheTitleAndContinueBackToIt) {
    reachTitle();
    game->mainMenu.currChoice = 1;
    tap(PKEY_RETURN);
    frames(600);
    ASSERT_EQ(game->currentScreen, HIGH_SCORE_SCREEN);
    EXPECT_FALSE(game->puzzle.playing);
    tap(PKEY_RETURN);
    frames(600);
    EXPECT_EQ(game->currentScreen, SPLASH_SCREEN);
}

TEST_F(PlinxFlow, GameOverLeadsToTheEntryOrTheTableAndAScoreIsEnteredOnce) {
    playToGameOver(0);
    EXPECT_EQ(game->currentScreen, HIGH_SCORE_SCREEN) << "0 beats no row of the table";

    playToGameOver(1000);
    ASSERT_EQ(game->currentScreen, HIGH_SCORE_ENTRY_SCREEN);
    EXPECT_FALSE(game->paused);
    frames(300);
    game->nameEntry.clear();
    tap(PKEY_Q);
    tap(PKEY_Z);
    EXPECT_EQ(game->nameEntry.getName(), "qz");
    // Return held for a second: this screen's key repeat presses it again and again.
    key(PKEY_RETURN, true);
    frames(1000);
    key(PKEY_RETURN, false);
    frames(100);
    EXPECT_EQ(game->currentScreen, HIGH_SCORE_SCREEN);
    EXPECT_EQ(game->highScoreList.getName(0), "qz");
    EXPECT_EQ(game->highScoreList.getScore(0), 1000);
    EXPECT_NE(game->highScoreList.getScore(1), 1000) << "the score went in twice";
    std::string saved = readFile(userData.file("scores.txt"));
    EXPECT_NE(saved.find("qz"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("qz"), saved.rfind("qz")) << saved;
}

TEST_F(PlinxFlow, ReturnWhileTheEntryScreenIsStillFadingInLeavesItOnceTheFadeEnds) {
    playToGameOver(5000);
    ASSERT_EQ(game->currentScreen, HIGH_SCORE_ENTRY_SCREEN);
    ASSERT_TRUE(game->transitionManager.active) << "the fade that brought the screen runs on";
    tap(PKEY_RETURN);
    EXPECT_EQ(game->highScoreList.getScore(0), 5000);
    frames(800);
    EXPECT_EQ(game->currentScreen, HIGH_SCORE_SCREEN);
    EXPECT_NE(game->highScoreList.getScore(1), 5000);

    // The next game's score is entered too.
    playToGameOver(6000);
    ASSERT_EQ(game->currentScreen, HIGH_SCORE_ENTRY_SCREEN);
    frames(300);
    tap(PKEY_RETURN);
    frames(600);
    EXPECT_EQ(game->currentScreen, HIGH_SCORE_SCREEN);
    EXPECT_EQ(game->highScoreList.getScore(0), 6000);
}

// Frames are drawn over whatever the last one left: each must cover the whole window. With the
// background that is the background's job; without it the frame starts black.
TEST_F(PlinxFlow, EachFrameReplacesTheWholeWindow) {
    reachTitle();
    auto frameOver = [&](float r, float g, float b) {
        glClearColor(r, g, b, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);
        frame(0);
        return readAll();
    };
    EXPECT_TRUE(frameOver(1, 0, 0) == frameOver(0, 0, 1));

    pImageOverlay* background = game->backgroundOverlay;
    game->backgroundOverlay = nullptr;
    frameOver(1, 0, 0);
    EXPECT_EQ(pixel(0, 0)[0], 0);
    game->backgroundOverlay = background;
}

TEST_F(PlinxFlow, CommandFTogglesFullScreenOncePerPressAndFAloneNothing) {
    reachTitle();
    tap(PKEY_F);
    EXPECT_EQ(driver.entered, 0);

    modifiers(PMODIFIER_COMMAND);
    key(PKEY_F, true);
    game->mainMenu.currChoice = 0;
    key(PKEY_RETURN, true);
    frames(1000); // held: key repeat must not toggle again
    EXPECT_EQ(driver.entered, 1);
    EXPECT_FALSE(game->puzzle.playing) << "the title got no update in the toggling step";
    EXPECT_TRUE(driver.isFullscreen());
    EXPECT_EQ(game->viewWidth, 1024);
    key(PKEY_F, false);
    key(PKEY_RETURN, false);
    frame(16);
    tap(PKEY_F);
    EXPECT_EQ(driver.left, 1);
    EXPECT_FALSE(driver.isFullscreen());
    modifiers(0);
    EXPECT_EQ(driver.entered, 1);
}

TEST_F(PlinxFlow, F11TogglesFullScreenOncePerPressWithTheCommandFLines) {
    reachTitle();
    testing::internal::CaptureStdout();
    key(PKEY_F11, true);
    frames(1000); // held: key repeat must not toggle again
    EXPECT_EQ(driver.entered, 1);
    EXPECT_TRUE(driver.isFullscreen());
    key(PKEY_F11, false);
    frame(16);
    tap(PKEY_F11);
    EXPECT_EQ(driver.left, 1);
    EXPECT_FALSE(driver.isFullscreen());
    modifiers(PMODIFIER_COMMAND);
    tap(PKEY_F);
    modifiers(0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "key enter\nkey exit\nkey enter\n");
}

TEST_F(PlinxFlow, LosingFocusPausesARunningGameOnly) {
    // Through the frame driver's window handler, as the event loop delivers it.
    driver.setFocusLostFunc(focusLost);
    auto loseFocus = [this] {
        pEvent event{PEVENT_CLASS_WINDOW, PEVENT_WINDOW_DEACTIVATED, 0, 0, 0, 0, 0, 0};
        focusEvent(nullptr, &event, &driver);
        frame(16);
    };
    reachTitle();
    loseFocus();
    EXPECT_FALSE(game->paused) << "nothing to pause on the title";

    // Lost while the fade into the game still shows the title: the game arrives paused.
    game->mainMenu.currChoice = 0;
    tap(PKEY_RETURN);
    ASSERT_EQ(game->currentScreen, SPLASH_SCREEN);
    loseFocus();
    frames(600);
    ASSERT_EQ(game->currentScreen, MAIN_GAME);
    EXPECT_TRUE(game->paused);
    tap(PKEY_ESCAPE);
    ASSERT_FALSE(game->paused);

    frames(300);
    loseFocus();
    ASSERT_TRUE(game->paused);
    int row = game->puzzle.pieceY;
    frames(2000);
    EXPECT_EQ(game->puzzle.pieceY, row) << "the piece waits for the player";
    loseFocus();
    EXPECT_TRUE(game->paused) << "a second loss does not resume like a second Escape";
    tap(PKEY_ESCAPE);
    EXPECT_FALSE(game->paused);

    // Game over: nothing left to pause.
    for (int cell = 0; cell < pPuzzle::WIDTH * pPuzzle::HEIGHT; cell++)
        game->puzzle.cells[cell] = {0, 1 + cell % 2};
    for (int i = 0; i < 1000 && game->puzzle.playing; i++)
        frame(16);
    ASSERT_FALSE(game->puzzle.playing);
    loseFocus();
    EXPECT_FALSE(game->paused);
}

TEST_F(PlinxFlow, GamepadStartsTheGameFromTheTitleAndRotatesInIt) {
    pGamepad pad;
    pad.setGameQuery(gameRunning);
    auto button = [&](int which, bool down) {
        SDL_Event event{};
        event.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
        event.cbutton.button = static_cast<uint8_t>(which);
        std::vector<pEvent> out;
        pad.translate(event, out);
        for (pEvent& translated : out)
            keyEvent(nullptr, &translated, keyboard);
        frame(16);
    };
    reachTitle();
    game->mainMenu.currChoice = 0;
    button(SDL_CONTROLLER_BUTTON_A, true);
    button(SDL_CONTROLLER_BUTTON_A, false);
    frames(600);
    ASSERT_EQ(game->currentScreen, MAIN_GAME);
    frames(300);
    button(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(game->paused);
    button(SDL_CONTROLLER_BUTTON_START, false);
    button(SDL_CONTROLLER_BUTTON_START, true);
    button(SDL_CONTROLLER_BUTTON_START, false);
    ASSERT_FALSE(game->paused);
    EXPECT_FALSE(keyboard->keys[PKEY_RETURN]) << "no Return pressed in the game";
    button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(keyboard->keys[PKEY_X]);
    button(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_FALSE(keyboard->keys[PKEY_X]);
}

TEST_F(PlinxFlow, QuitGameExitsWithStatusZeroHavingWrittenThePreferences) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs this test again from the start; it writes where the parent looks.
    setenv("PLINX_QUIT_TEST_FOLDER", userData.path().c_str(), 0);
    std::string folder = std::getenv("PLINX_QUIT_TEST_FOLDER");
    std::string prefs = folder + "/prefs.txt";
    EXPECT_EXIT(
        {
            setUserDataFolder(folder);
            std::atexit([] { pPlinx::instance()->release(); });
            reachTitle();
            game->mainMenu.currChoice = 3;
            tap(PKEY_RETURN);
            std::abort();
        },
        ::testing::ExitedWithCode(0), "");
    std::string saved = readFile(prefs);
    EXPECT_NE(saved.find("fxVolume"), std::string::npos) << "prefs.txt: " << saved;
}

using PlinxAssets = PlinxFixture;

TEST_F(PlinxAssets, EveryMissingAssetIsNamedOnceAndTheGameRunsWithoutIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempFolder bare;
    std::filesystem::copy_file(PLINX_SOURCE_DIR "/Resources/prefs.txt", bare.file("prefs.txt"));
    std::ofstream(bare.file("splash.tga")) << "not a picture";
    EXPECT_EXIT(
        {
            dup2(2, 1); // the messages go to standard output; let the check see them
            setResourceFolder(bare.path());
            frames(2500);
            key(PKEY_RETURN, true);
            frames(3000);
            if (pPlinx::instance()->currentScreen == MAIN_GAME &&
                pPlinx::instance()->puzzle.playing) {
                slExit();
                std::exit(0);
            }
            std::abort();
        },
        ::testing::ExitedWithCode(0),
        "Error, cannot load Brisk.tga.\nIt belongs in .*plinx-test.*\n"
        "(.*\n)*Error, cannot load tallowbrook.tga.*\n"
        "(.*\n)*Error, cannot load menublip\\.mp3\\.\nIt belongs in .*\n"
        "(.*\n)*Error, cannot load splash.tga.\n.*splash.tga is not a file the game can read.*\n"
        "(.*\n)*Error, cannot load bg.tga.*\n"
        "(.*\n)*Error, cannot load block.tga.*\n");
}
