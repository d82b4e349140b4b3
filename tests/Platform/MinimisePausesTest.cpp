// A window put out of sight (minimised, or hidden by the window manager) tells the game, as losing
// the keyboard does; the game's own hiding of its window for full screen does not.
#include "Platform/pDisplay.h"
#include "Platform/pEventLoop.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

TEST(pEventLoop, MinimisedOrHiddenWindowIsReportedUnlessTheGameHidItItself) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        GTEST_SKIP() << "needs an X server (run under xvfb-run -a)";
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("minimise", 0, 0, 64, 64, 0);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    auto reported = [&](Uint8 what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        event.window.windowID = SDL_GetWindowID(window);
        std::vector<pEvent> out;
        translateEvent(event, out);
        // The window going out of sight comes with it (Shell/pOSXGame stops drawing for it).
        int deactivated = 0;
        for (const pEvent& e : out)
            deactivated +=
                e.eventClass == PEVENT_CLASS_WINDOW && e.kind == PEVENT_WINDOW_DEACTIVATED;
        return deactivated == 1;
    };
    EXPECT_TRUE(reported(SDL_WINDOWEVENT_MINIMIZED));
    EXPECT_TRUE(reported(SDL_WINDOWEVENT_HIDDEN));

    displayShowWindow(window, false); // as on the way into full screen
    EXPECT_FALSE(reported(SDL_WINDOWEVENT_HIDDEN));
    displayShowWindow(window, true);
    EXPECT_TRUE(reported(SDL_WINDOWEVENT_HIDDEN));

    SDL_DestroyWindow(window); // the full-screen window, on the way back
    EXPECT_FALSE(reported(SDL_WINDOWEVENT_HIDDEN));
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
