#include "Platform/pCursor.h"

#include <SDL.h>

void platformShowCursor(bool show) {
    // Without the video subsystem there is no pointer to show; SDL would only touch stale state.
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

bool platformWindowContentOrigin(int& left, int& top) {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    SDL_Window* window = SDL_GetMouseFocus();
    if (!window)
        window = SDL_GetKeyboardFocus();
    if (!window)
        return false;
    // SDL places windows by their content area, so this is already the content's corner.
    SDL_GetWindowPosition(window, &left, &top);
    return true;
}
