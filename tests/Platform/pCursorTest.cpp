#include "Input/pInputManager.h"
#include "Input/pMouseHandler.h"
#include "Platform/pCursor.h"

#include <SDL.h>
#include <gtest/gtest.h>

static void moveTo(int16_t x, int16_t y) {
    pEvent event{PEVENT_CLASS_MOUSE, PEVENT_MOUSE_MOVED, 0, 0, 0, x, y, 0};
    mouseEvent(nullptr, &event, pMouseHandler::instance());
}

TEST(pCursor, PointerIsReadRelativeToTheWindowContent) {
    int left = -1, top = -1;
    EXPECT_FALSE(platformWindowContentOrigin(left, top));
    platformShowCursor(false); // no window system yet: nothing to do, nothing to break

    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("pointer", 100, 60, 200, 150, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_WarpMouseInWindow(window, 10, 10);
    for (int i = 0; i < 400 && SDL_GetMouseFocus() != window; i++) {
        SDL_PumpEvents();
        SDL_Delay(5);
    }
    ASSERT_TRUE(platformWindowContentOrigin(left, top));
    EXPECT_EQ(left, 100);
    EXPECT_EQ(top, 60);

    pInputManager::instance()->init();
    pMouseHandler* mouse = pMouseHandler::instance();
    moveTo(100, 60);
    EXPECT_EQ(mouse->getX(0), 0);
    EXPECT_EQ(mouse->getY(0), 0);
    moveTo(95, 58);
    EXPECT_EQ(mouse->getX(0), -5);
    EXPECT_EQ(mouse->getY(0), -2);

    // Hidden and shown only through the handler, and only by a served listener.
    mouse->showCursor(0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    mouse->hideCursor(0);
    mouse->hideCursor(0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    pInputManager::instance()->lock(7);
    mouse->showCursor(0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    pInputManager::instance()->unlock(7);
    mouse->showCursor(0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
