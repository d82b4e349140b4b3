#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Windows, GL contexts and the main display, over SDL. Callers hold SDL's window type opaquely.
struct SDL_Window;
using pGLContext = void*;

struct pPlatformMode {
    int width = 0;
    int height = 0;
    int bpp = 0;
    int refreshRate = 0;
};

// True when the environment names a display (DISPLAY, WAYLAND_DISPLAY) or a video driver.
bool displayNamed();

// Starts SDL's video once; false (with SDL's reason on standard output) when there is no display.
bool displayInit();

// The reason of the latest failure, for messages.
std::string displayError();

enum pWindowKind { WINDOW_HIDDEN, WINDOW_NORMAL, WINDOW_BORDERLESS };
// A GL-capable window; `left`/`top` place its content area on the desktop. A normal window is
// shown and resizable, a borderless one stays hidden until it goes full screen.
SDL_Window* displayCreateWindow(const std::string& title, int left, int top, int width, int height,
                                pWindowKind kind);
// Shows `window` full screen on the main display, switched to `mode` when it differs from the
// desktop's. SDL puts the desktop back when the window is destroyed.
bool displaySetFullscreen(SDL_Window* window, const pPlatformMode& mode);
// What full-screen entry calls to switch: displaySetFullscreen, unless a test stands in for it to
// see the game recover from a display that refuses.
extern bool (*displayFullscreenSwitch)(SDL_Window* window, const pPlatformMode& mode);
void displayDestroyWindow(SDL_Window* window);
void displayShowWindow(SDL_Window* window, bool shown);
// The window is hidden because the game hid it with displayShowWindow (for full screen), not
// because the player put it away.
bool displayHiddenByGame(SDL_Window* window);
void displaySetMinimumSize(SDL_Window* window, int width, int height);
// Asks the desktop to say when `window` is wholly covered by others and when it is in sight
// again (PEVENT_WINDOW_COVERED, PEVENT_WINDOW_UNCOVERED); nothing where it cannot tell.
void displayWatchCovering(SDL_Window* window);
// The size of the window's GL drawable in pixels (larger than the window on HiDPI screens).
void displayDrawableSize(SDL_Window* window, int& width, int& height);
// The window's size in desktop coordinates (what mouse positions are measured in).
void displayWindowSize(SDL_Window* window, int& width, int& height);

// A double-buffered RGBA context for `window` that shares its GL objects with `shareWith`
// (current on `shareWindow` while the new one is made); null on failure.
pGLContext displayCreateContext(SDL_Window* window, pGLContext shareWith, SDL_Window* shareWindow);
void displayDestroyContext(pGLContext context);
bool displayMakeCurrent(SDL_Window* window, pGLContext context);
// False when the window cannot be presented (SDL reports an error).
bool displaySwap(SDL_Window* window);
// Buffer swaps wait for that many vertical retraces; false when the driver refuses.
bool displaySetSwapInterval(int interval);

// The main display's modes in SDL's order, and its current one.
std::vector<pPlatformMode> displayModes();
pPlatformMode displayCurrentMode();
// The main display's refresh rate, 60 when it reports none.
int displayRefreshRate();

// Gamma ramps of the display under `window`: 3 × 256 entries, red then green then blue.
bool displayGetGamma(SDL_Window* window, uint16_t* ramps);
bool displaySetGamma(SDL_Window* window, const uint16_t* ramps);
// Each ramp entry times `factor` (0 to 1): the display at that fraction of its brightness.
void scaleGamma(const uint16_t* ramps, double factor, uint16_t* scaled);

// X errors raised while OpenGL is being set up are kept instead of ending the game in Xlib's own
// handler, which prints a raw report and exits: a driver that cannot be loaded leaves Mesa with
// indirect contexts, and most servers refuse those. Calls nest.
void displayKeepXErrors();
// Waits for the server to answer `window`'s requests (null: none to wait for), puts the previous
// handler back and gives the first error kept, as text ("" when there was none).
std::string displayStopKeepingXErrors(SDL_Window* window);
// displayCreateContext, then displayStopKeepingXErrors(window): null, with the reason in
// `failure`, when the context could not be made or the server refused anything on the way.
pGLContext displayCreateContextKept(SDL_Window* window, pGLContext shareWith,
                                    SDL_Window* shareWindow, std::string& failure);
