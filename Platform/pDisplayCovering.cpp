#include "Platform/pDisplay.h"

#include <SDL.h>
#include <SDL_syswm.h>
// After SDL: Xlib's macros clash with little, but keep them last.
#include <X11/Xlib.h>

// SDL does not ask X for visibility changes; the window's own event mask gets them added, and
// SDL hands the events on as window-system messages.
void displayWatchCovering(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes))
        return;
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    XSelectInput(info.info.x11.display, info.info.x11.window,
                 attributes.your_event_mask | VisibilityChangeMask);
}
