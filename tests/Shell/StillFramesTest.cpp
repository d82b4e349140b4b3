// A frame that would show the picture already on screen is not drawn, nor is any while the window
// is out of sight; the game's own steps run on. Frames run through processFrame, events through
// the frame driver's handlers.
#include "Platform/pDisplay.h"
#include "tests/support/GameOnFakeDriver.h"

namespace {

class StillFrames : public GameOnFakeDriver {
protected:
    std::vector<int> handlers;

    void ready() override {
        GameOnFakeDriver::ready();
        if (HasFatalFailure())
            return;
        driver.setUpdateFunc(update);
        driver.setDrawFunc(draw);
        driver.setFocusLostFunc(focusLost);
        handlers = {installEventHandler(PEVENT_CLASS_KEYBOARD,
                                        {PEVENT_RAW_KEY_DOWN, PEVENT_RAW_KEY_UP}, keyEvent,
                                        pKeyboardHandler::instance()),
                    installEventHandler(PEVENT_CLASS_WINDOW, {PEVENT_WINDOW_DEACTIVATED},
                                        focusEvent, &driver)};
        for (int ref : installPictureHandlers(&driver)) // ahead of those, as in the game
            handlers.push_back(ref);
        game->currentScreen = MAIN_GAME;
        game->puzzle.initGame();
    }
    void TearDown() override {
        for (int ref : handlers)
            removeEventHandler(ref);
        GameOnFakeDriver::TearDown();
    }

    // Frames a display frame apart, as the frame driver runs them; how many were presented.
    int presented(int count) {
        int before = driver.swaps;
        for (int i = 0; i < count; i++)
            clock.advance(33), processFrame(&driver);
        return driver.swaps - before;
    }
    void send(uint32_t eventClass, uint32_t kind, uint32_t keyCode = PKEY_LEFT) {
        pEvent event{eventClass, kind, keyCode, 0, 0, 0, 0, 0};
        deliverEvent(event);
    }
    void press(PKEYCODE key) {
        send(PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_DOWN, key);
        presented(1);
        send(PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_UP, key);
        presented(1);
    }
};

TEST_F(StillFrames, PausedGameDrawsOnceThenOnlyWhenSomethingHappens) {
    EXPECT_EQ(presented(5), 5);
    press(PKEY_ESCAPE);
    ASSERT_TRUE(game->paused);
    // Not only is nothing shown: nothing is drawn, and the back buffer keeps what it had.
    glClearColor(1, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    std::vector<unsigned char> untouched = readAll();
    float time = game->totalTime;
    EXPECT_EQ(presented(30), 0);
    EXPECT_NEAR(game->totalTime - time, 30 * 0.033, 1e-3) << "the game's clock runs on";
    EXPECT_EQ(readAll(), untouched);

    const uint32_t wakers[][2] = {{PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_DOWN},
                                  {PEVENT_CLASS_MOUSE, PEVENT_MOUSE_MOVED},
                                  {PEVENT_CLASS_WINDOW, PEVENT_WINDOW_UPDATE}};
    for (const auto& waker : wakers) {
        send(waker[0], waker[1]);
        EXPECT_EQ(presented(5), 1) << "event kind " << waker[1];
        send(PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_UP);
        presented(1);
    }
    driver.windowWidth = 800; // a new size changes the picture, event or none
    EXPECT_EQ(presented(5), 1);
    driver.windowWidth = 640;
    press(PKEY_ESCAPE);
    EXPECT_EQ(presented(5), 5);
}

TEST_F(StillFrames, OutOfSightNothingIsDrawnAndTheGameKeepsItsState) {
    const uint32_t cases[][2] = {{PEVENT_WINDOW_COLLAPSED, PEVENT_WINDOW_EXPANDED},
                                 {PEVENT_WINDOW_HIDDEN, PEVENT_WINDOW_SHOWN},
                                 {PEVENT_WINDOW_COVERED, PEVENT_WINDOW_UNCOVERED}};
    for (const auto& c : cases) {
        // Minimised or hidden, the desktop also says the game lost the player (it pauses);
        // covered, it plays on unseen.
        bool putAway = c[0] != PEVENT_WINDOW_COVERED;
        game->paused = false;
        presented(1);
        if (putAway)
            send(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_DEACTIVATED);
        send(PEVENT_CLASS_WINDOW, c[0]);
        pPuzzle board = game->puzzle;
        float time = game->totalTime;
        EXPECT_EQ(presented(60), 0) << c[0];
        EXPECT_NEAR(game->totalTime - time, 60 * 0.033, 1e-3);
        EXPECT_EQ(game->paused, putAway);
        EXPECT_EQ(game->puzzle.sweepTime == board.sweepTime, putAway);
        if (putAway) {
            EXPECT_EQ(game->puzzle.pieceY, board.pieceY);
        }
        send(PEVENT_CLASS_WINDOW, c[1]);
        EXPECT_EQ(presented(1), 1) << "drawn as soon as it is back";
    }

    // The desktop's own events: SDL's for minimising, X's visibility for a real cover.
    SDL_Window* window = SDL_CreateWindow("sight", 0, 0, 64, 64, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    auto away = [&] { return driver.outOfSight(); };
    auto back = [&] { return !driver.outOfSight(); };
    const Uint32 id = SDL_GetWindowID(window);
    EXPECT_TRUE(pumpUntil(away, {windowEvent(id, SDL_WINDOWEVENT_MINIMIZED)}));
    EXPECT_TRUE(pumpUntil(back, {windowEvent(id, SDL_WINDOWEVENT_RESTORED)}));
    displayWatchCovering(window);
    SDL_Window* cover = SDL_CreateWindow("cover", 0, 0, 200, 200, SDL_WINDOW_SHOWN);
    EXPECT_TRUE(pumpUntil(away)) << "covered";
    SDL_DestroyWindow(cover);
    EXPECT_TRUE(pumpUntil(back)) << "uncovered";
    SDL_DestroyWindow(window);
    SDL_EventState(SDL_SYSWMEVENT, SDL_IGNORE);
}

// After a screen's first frame its background (with the standing title image on the title
// screen) comes from a copy: the title from the copy is the title drawn afresh.
TEST_F(StillFrames, TitleFromTheBackgroundCopyIsTheTitleDrawnAfresh) {
    game->currentScreen = SPLASH_SCREEN;
    for (int width : {640, 800}) {
        driver.windowWidth = width;
        presented(1);
        std::vector<unsigned char> fresh = readAll();
        processFrame(&driver); // no time passes: the same picture, from the copy
        EXPECT_EQ(readAll(), fresh) << width;
    }
    driver.windowWidth = 640;
}

} // namespace
