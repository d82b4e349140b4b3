#pragma once

// The whole application as the player meets it, started once per process (unless a test starts
// it in a process of its own), on a frame driver without a display, in a 640 x 480 window, on a
// hand-stepped clock, with the shipped resources and a fresh player folder. Frames run as the
// frame driver runs them (the update and draw callbacks); keys arrive as the event loop delivers
// them. What a screen shows is read from the strings it draws and where.
#include "Game/pGameKeys.h"
#include "Game/pPlinx.h"
#include "Shell/pFrameCallbacks.h"
#include "Shell/pOSXGame.h"
#include "Sound/slSound.h"
#include "Text/pTextManager.h"
#include "Widgets/pHorizontalMarquee.h"
#include "tests/support/Fakes.h"
#include "tests/support/Files.h"
#include "tests/support/GLTestContext.h"

#include <initializer_list>

class GameOnFakeDriver : public GLTestContext {
protected:
    FakeClock clock;
    TempFolder userData;
    FakeGame driver;
    pGame* platform = nullptr;
    pTextManager* text = pTextManager::instance();
    pPlinx* game = nullptr;
    // What start-up drew and said; the game starts once per process, in SetUp unless the test
    // starts it in a process of its own.
    static inline std::string startUp, startUpSaid;
    static inline int startUpSwaps = 0, startUpVolume = 0;
    bool startsTheGame = true;

    void ready() override {
        platform = pGame::instance(); // the real one, made if need be, to put back
        FakeGame::install(&driver);
        driver.windowWidth = 640, driver.windowHeight = 480;
        driver.fullscreenWidth = 1024, driver.fullscreenHeight = 768;
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(userData.path());
        pInputManager::instance()->init();
        pKeyboardHandler::instance()->events.clear();
        game = pPlinx::instance();
        if (!game->initialised && startsTheGame) {
            writeFileBytes(userData.file("prefs.txt"), "{\nfxVolume\n77\n}\n");
            game->prefs = pPreferencesManager();
            auto brisk = text->fonts.find("Brisk"); // another test's copy: the game loads its own
            if (brisk != text->fonts.end()) {
                text->currentFont = nullptr;
                text->fonts.erase(brisk);
            }
            testing::internal::CaptureStdout();
            startUp = shows(0);
            startUpSaid = testing::internal::GetCapturedStdout();
            startUpSwaps = driver.swaps;
            startUpVolume = game->fxVolume;
        }
        // Earlier tests of this process ran on clocks, screens and sounds of their own.
        for (unsigned int mark : {game->frameMark, game->blankScreenMark, game->marqueeMark})
            pTimer::instance()->resetMark(mark);
        game->transitionManager.active = game->paused = false;
        game->fxVolume = startUpVolume;
        game->currentScreen = BLANK_SCREEN;
        game->puzzle = pPuzzle();
        game->mainMenu.currChoice = 0;
        if (game->helpMarquee)
            game->helpMarquee->makeReady();
        game->nameEntry.clear();
        if (game->initialised) { // the shipped keys, and the help that names them
            pGameKeys::bindDefaults();
            game->updateHelpTexts();
        }
        game->highScoreList.~pHighScoreList(); // the shipped table, no failed save
        new (&game->highScoreList) pHighScoreList();
        if (game->initialised && (!gNumChannels || !slGetSoundDuration(game->menuBlipSound))) {
            slInit(4);
            slLoadSoundFromBundle("", "menublip.mp3", &game->menuBlipSound);
        }
    }
    void TearDown() override {
        text->drawn = nullptr;
        slStopAllChannels();
        if (platform)
            FakeGame::install(platform);
        setResourceFolder("");
        setUserDataFolder("");
    }

    // One frame as the frame driver runs it, `ms` after the previous one.
    void frame(double ms = 16) {
        clock.advance(ms);
        update();
        draw();
    }
    void frames(double totalMs) {
        for (double t = 0; t < totalMs; t += 16)
            frame();
    }
    // The strings one frame draws, one a line as "text @x,y hH" and L, C or R for left, centred
    // or right, to a tenth; the menus' slow breathing is held at its start.
    std::string shows(double ms = 16) {
        std::vector<pTextManager::DrawnString> drawn;
        text->drawn = &drawn;
        driver.invalidatePicture(); // a still screen is drawn again
        game->totalTime = 0;
        frame(ms);
        text->drawn = nullptr;
        std::string out;
        for (const auto& s : drawn) {
            char place[64];
            std::snprintf(place, sizeof place, " @%.1f,%.1f h%.1f %c\n", s.x, s.y, s.h,
                          "LCR"[static_cast<int>(s.align)]);
            out += s.text + place;
        }
        return out;
    }
    // The player switches to another program, as the frame driver passes it on.
    void loseFocus() {
        driver.setFocusLostFunc(focusLost);
        pEvent event{PEVENT_CLASS_WINDOW, PEVENT_WINDOW_DEACTIVATED, 0, 0, 0, 0, 0, 0};
        focusEvent(nullptr, &event, &driver);
        frame();
    }
    // Each key held for a frame and let go for one.
    void tap(std::initializer_list<PKEYCODE> keys) {
        for (PKEYCODE k : keys) {
            hold(k);
            frame();
            letGo(k);
            frame();
        }
    }
    // To the title, the fade over: from the start-up screen by waiting, from the table by
    // "Continue".
    void reachTitle() {
        if (game->currentScreen == HIGH_SCORE_SCREEN) {
            frames(300);
            tap({PKEY_RETURN});
        }
        frames(1900);
        ASSERT_EQ(game->currentScreen, SPLASH_SCREEN);
    }
    void startGame() {
        reachTitle();
        game->mainMenu.currChoice = 0;
        tap({PKEY_RETURN});
        frames(600);
        ASSERT_EQ(game->currentScreen, MAIN_GAME);
    }
    // A game with that score, its well filled so that the next piece cannot land, run until its
    // fade has left the board; neither Escape nor losing the focus pauses after the end.
    void playToGameOver(int score) {
        startGame();
        game->puzzle.score = score;
        for (int cell = 0; cell < pPuzzle::WIDTH * pPuzzle::HEIGHT; cell++)
            game->puzzle.cells[cell] = {0, 1 + cell % 2};
        bool over = false;
        for (int i = 0; i < 1000 && game->currentScreen == MAIN_GAME; i++) {
            frame();
            if (!game->puzzle.playing && !over) {
                over = true;
                tap({PKEY_ESCAPE});
                loseFocus();
                EXPECT_FALSE(game->paused);
            }
        }
        ASSERT_TRUE(over);
    }
    std::vector<int> piece() {
        return std::vector<int>(game->puzzle.piece, game->puzzle.piece + 4);
    }
};
