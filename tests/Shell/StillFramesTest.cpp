// A frame that would show the picture already on screen is not drawn, and nothing is drawn while
// the window is out of sight; the game's own steps run on as before. Frames run through
// processFrame, events through the handlers the frame driver installs.
#include "Game/pPlinx.h"

#include "Input/pInputManager.h"
#include "Input/pKeyboardHandler.h"
#include "Platform/pDisplay.h"
#include "Platform/pEventLoop.h"
#include "Platform/pResourceFolder.h"
#include "Shell/pFrameCallbacks.h"
#include "Shell/pOSXGame.h"
#include "Sound/slSound.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeGame.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

class StillFrames : public GLTestContext {
protected:
    FakeClock clock;
    TempFolder userData;
    FakeGame driver;
    pGame* platform = nullptr;
    pPlinx* game = nullptr;
    std::vector<int> handlers;

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        platform = FakeGame::install(&driver);
        driver.windowWidth = 640;
        driver.windowHeight = 480;
        driver.setUpdateFunc(update);
        driver.setDrawFunc(draw);
        driver.setFocusLostFunc(focusLost);
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(userData.path());
        pInputManager::instance()->init();
        handlers.push_back(installEventHandler(PEVENT_CLASS_KEYBOARD,
                                               {PEVENT_RAW_KEY_DOWN, PEVENT_RAW_KEY_UP}, keyEvent,
                                               pKeyboardHandler::instance()));
        handlers.push_back(installEventHandler(PEVENT_CLASS_WINDOW, {PEVENT_WINDOW_DEACTIVATED},
                                               focusEvent, &driver));
        // Handlers run ahead of those installed before them: the picture's go first again.
        for (int ref : installPictureHandlers(&driver))
            handlers.push_back(ref);
        game = pPlinx::instance();
        if (!game->initialised)
            frames(1);
        game->transitionManager.active = false;
        game->paused = false;
        game->currentScreen = MAIN_GAME;
        srand(3);
        game->puzzle.initGame();
    }
    void TearDown() override {
        for (int ref : handlers)
            removeEventHandler(ref);
        slExit();
        if (platform)
            FakeGame::install(platform);
        setResourceFolder("");
        setUserDataFolder("");
        GLTestContext::TearDown();
    }

    // Frames as the frame driver runs them, a display frame apart; the frames presented.
    int frames(int count) {
        int before = driver.swaps;
        for (int i = 0; i < count; i++) {
            clock.advance(33);
            processFrame(&driver);
        }
        return driver.swaps - before;
    }
    void send(uint32_t eventClass, uint32_t kind, uint32_t keyCode = 0) {
        pEvent event{eventClass, kind, keyCode, 0, 0, 0, 0, 0};
        deliverEvent(event);
    }
    void press(PKEYCODE key) {
        send(PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_DOWN, key);
        frames(1);
        send(PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_UP, key);
    }
};

TEST_F(StillFrames, PausedGameDrawsNoFramesUntilSomethingChanges) {
    EXPECT_EQ(frames(10), 10) << "a running game moves every frame";
    press(PKEY_ESCAPE);
    ASSERT_TRUE(game->paused);
    EXPECT_EQ(frames(1), 1) << "the paused picture is drawn once";
    std::vector<unsigned char> paused = readAll();

    float time = game->totalTime;
    EXPECT_EQ(frames(30), 0) << "then nothing while nothing changes";
    EXPECT_NEAR(game->totalTime - time, 30 * 0.033, 1e-3) << "the game's clock runs on";
    EXPECT_EQ(readAll(), paused);

    // Whatever might change the picture draws it again, once.
    struct Case {
        uint32_t eventClass, kind;
    } const wakers[] = {
        {PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_DOWN},
        {PEVENT_CLASS_MOUSE, PEVENT_MOUSE_MOVED},
        {PEVENT_CLASS_WINDOW, PEVENT_WINDOW_UPDATE},
    };
    for (const Case& waker : wakers) {
        send(waker.eventClass, waker.kind, PKEY_LEFT);
        EXPECT_EQ(frames(5), 1) << "event kind " << waker.kind;
        send(PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_UP, PKEY_LEFT);
        frames(1);
    }
    driver.windowWidth = 800; // a resize without an event still changes the picture
    EXPECT_EQ(frames(5), 1);
    driver.windowWidth = 640;
    frames(1);

    press(PKEY_ESCAPE);
    EXPECT_FALSE(game->paused);
    EXPECT_EQ(frames(10), 10);
}

TEST_F(StillFrames, WindowOutOfSightDrawsNothingAndTheGameKeepsItsState) {
    struct Case {
        uint32_t away, back;
        bool pauses; // put away by the player, as minimising is, rather than merely covered
    } const cases[] = {
        {PEVENT_WINDOW_COLLAPSED, PEVENT_WINDOW_EXPANDED, true},
        {PEVENT_WINDOW_HIDDEN, PEVENT_WINDOW_SHOWN, true},
        {PEVENT_WINDOW_COVERED, PEVENT_WINDOW_UNCOVERED, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.away);
        game->paused = false;
        frames(3);
        if (c.pauses)
            send(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_DEACTIVATED);
        send(PEVENT_CLASS_WINDOW, c.away);
        frames(1);
        pPuzzle board = game->puzzle;
        float time = game->totalTime;
        EXPECT_EQ(frames(60), 0);
        // Keys pressed while out of sight are read but draw nothing.
        send(PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_DOWN, PKEY_Z);
        EXPECT_EQ(frames(1), 0);
        send(PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_UP, PKEY_Z);
        EXPECT_NEAR(game->totalTime - time, 61 * 0.033, 1e-3);
        EXPECT_EQ(game->paused, c.pauses);
        if (c.pauses) {
            EXPECT_EQ(game->puzzle.pieceY, board.pieceY);
            EXPECT_EQ(game->puzzle.sweepTime, board.sweepTime);
            EXPECT_EQ(std::vector<int>(game->puzzle.piece, game->puzzle.piece + 4),
                      std::vector<int>(board.piece, board.piece + 4))
                << "the Z key turned nothing";
        } else {
            EXPECT_GT(game->puzzle.sweepTime, board.sweepTime) << "a covered game plays on";
        }
        send(PEVENT_CLASS_WINDOW, c.back);
        EXPECT_EQ(frames(1), 1) << "drawn again as soon as it is back";
    }
}

// The background (and the title image, outside fades) comes from a copy after the first frame
// of a screen: the title from the copy is the title drawn afresh.
TEST_F(StillFrames, TitleFromTheBackgroundCopyIsTheTitleDrawnAfresh) {
    game->currentScreen = SPLASH_SCREEN;
    for (int width : {640, 800}) {
        driver.windowWidth = width;
        frames(1); // a new screen or size: drawn afresh, then copied
        std::vector<unsigned char> fresh = readAll();
        processFrame(&driver); // no time passes: the same picture, from the copy
        EXPECT_EQ(readAll(), fresh) << width;
    }
    driver.windowWidth = 640;
}

// The desktop's own words for it: SDL's window events, and X's visibility for a covered window.
TEST_F(StillFrames, DesktopEventsTakeTheWindowOutOfSightAndBack) {
    SDL_Window* window = SDL_CreateWindow("sight", 0, 0, 64, 64, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    auto deliver = [&](const SDL_Event& sdl) {
        std::vector<pEvent> out;
        translateEvent(sdl, out);
        for (pEvent& event : out)
            deliverEvent(event);
    };
    auto windowEvent = [&](Uint8 what) {
        SDL_Event sdl{};
        sdl.type = SDL_WINDOWEVENT;
        sdl.window.event = what;
        sdl.window.windowID = SDL_GetWindowID(window);
        deliver(sdl);
    };
    game->paused = true;
    frames(1);
    const Uint8 away[] = {SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_HIDDEN};
    const Uint8 back[] = {SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_SHOWN};
    for (int i = 0; i < 2; i++) {
        windowEvent(away[i]);
        EXPECT_TRUE(driver.outOfSight()) << int(away[i]);
        windowEvent(back[i]);
        EXPECT_FALSE(driver.outOfSight()) << int(back[i]);
    }

    // A real cover: a second window over the first, then gone.
    SDL_Event sdl;
    while (SDL_PollEvent(&sdl))
        deliver(sdl);
    displayWatchCovering(window);
    SDL_Window* cover = SDL_CreateWindow("cover", 0, 0, 200, 200, SDL_WINDOW_SHOWN);
    ASSERT_NE(cover, nullptr) << SDL_GetError();
    auto pumpUntil = [&](bool outOfSight) {
        for (int tries = 0; tries < 200 && driver.outOfSight() != outOfSight; tries++) {
            while (SDL_PollEvent(&sdl))
                deliver(sdl);
            SDL_Delay(10);
        }
        return driver.outOfSight() == outOfSight;
    };
    EXPECT_TRUE(pumpUntil(true)) << "covered";
    EXPECT_EQ(frames(3), 0);
    SDL_DestroyWindow(cover);
    EXPECT_TRUE(pumpUntil(false)) << "uncovered";
    EXPECT_EQ(frames(3), 1);
    SDL_DestroyWindow(window);
    SDL_EventState(SDL_SYSWMEVENT, SDL_IGNORE);
}

} // namespace
