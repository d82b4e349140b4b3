#include "Platform/pDisplay.h"

#include <SDL.h>

#include <cstdio>
#include <string>

static bool fellBackToNoDesktop() {
    std::string driver = SDL_GetCurrentVideoDriver();
    return !SDL_getenv("SDL_VIDEODRIVER") && (driver == "offscreen" || driver == "dummy");
}

bool displayNamed() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
        const char* value = SDL_getenv(name);
        if (value && value[0])
            return true;
    }
    return false;
}

bool displayInit() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    // Without a desktop SDL falls back to drawing nowhere; a game nobody can see is no game.
    // Asking for such a driver by name still gets it. A busy X server can refuse a connection
    // for a moment, so the desktop is asked a few times before the game gives up; with no display
    // named at all there is nothing to wait for.
    int attempts = displayNamed() ? 5 : 1;
    for (int attempt = 0;; attempt++) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            std::printf("cannot open the display: %s\n", SDL_GetError());
            return false;
        }
        if (!fellBackToNoDesktop())
            break;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (attempt + 1 == attempts) {
            std::printf("cannot open the display: no desktop to show the game on\n");
            return false;
        }
        SDL_Delay(200);
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Not every visual offers 32 depth bits; 24 is what drivers give.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    return true;
}

// The window the game switches to must have the keys, or the player could not switch back.
static void takeKeyboard(SDL_Window* window) {
    SDL_RaiseWindow(window);
    SDL_SetWindowInputFocus(window);
}

std::string displayError() {
    return SDL_GetError();
}

SDL_Window* displayCreateWindow(const std::string& title, int left, int top, int width, int height,
                                pWindowKind kind) {
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    if (kind == WINDOW_NORMAL)
        flags |= SDL_WINDOW_RESIZABLE;
    else
        flags |= SDL_WINDOW_HIDDEN;
    if (kind == WINDOW_BORDERLESS)
        flags |= SDL_WINDOW_BORDERLESS;
    return SDL_CreateWindow(title.c_str(), left, top, width, height, flags);
}

bool displaySetFullscreen(SDL_Window* window, const pPlatformMode& mode) {
    pPlatformMode desktop = displayCurrentMode();
    // The desktop's own size needs no mode switch, which spares the player a flicker and leaves
    // the desktop untouched should the game die.
    bool sameAsDesktop = mode.width == desktop.width && mode.height == desktop.height;
    if (!sameAsDesktop) {
        SDL_DisplayMode wanted = {SDL_PIXELFORMAT_UNKNOWN, mode.width, mode.height,
                                  mode.refreshRate, nullptr};
        if (SDL_SetWindowDisplayMode(window, &wanted) != 0)
            return false;
    }
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_UNDEFINED_DISPLAY(0),
                          SDL_WINDOWPOS_UNDEFINED_DISPLAY(0));
    SDL_ShowWindow(window);
    Uint32 flag = sameAsDesktop ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_FULLSCREEN;
    if (SDL_SetWindowFullscreen(window, flag) != 0)
        return false;
    takeKeyboard(window);
    return true;
}

bool (*displayFullscreenSwitch)(SDL_Window*, const pPlatformMode&) = displaySetFullscreen;

void displayDestroyWindow(SDL_Window* window) {
    if (window)
        SDL_DestroyWindow(window);
}

static const char* const HIDDEN_BY_GAME = "plinx.hiddenByGame";

void displayShowWindow(SDL_Window* window, bool shown) {
    if (!window)
        return;
    if (shown) {
        SDL_SetWindowData(window, HIDDEN_BY_GAME, nullptr);
        SDL_ShowWindow(window);
        takeKeyboard(window);
    } else {
        SDL_SetWindowData(window, HIDDEN_BY_GAME, window);
        SDL_HideWindow(window);
    }
}

bool displayHiddenByGame(SDL_Window* window) {
    return window && SDL_GetWindowData(window, HIDDEN_BY_GAME) != nullptr;
}

void displaySetMinimumSize(SDL_Window* window, int width, int height) {
    SDL_SetWindowMinimumSize(window, width, height);
}

void displayDrawableSize(SDL_Window* window, int& width, int& height) {
    SDL_GL_GetDrawableSize(window, &width, &height);
}

void displayWindowSize(SDL_Window* window, int& width, int& height) {
    SDL_GetWindowSize(window, &width, &height);
}

pGLContext displayCreateContext(SDL_Window* window, pGLContext shareWith, SDL_Window* shareWindow) {
    if (!window)
        return nullptr;
    if (shareWith) {
        // SDL shares with whatever context is current when the new one is made.
        if (SDL_GL_MakeCurrent(shareWindow, shareWith) != 0)
            return nullptr;
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
    } else {
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    return context;
}

void displayDestroyContext(pGLContext context) {
    if (context)
        SDL_GL_DeleteContext(context);
}

bool displayMakeCurrent(SDL_Window* window, pGLContext context) {
    return SDL_GL_MakeCurrent(window, context) == 0;
}

bool displaySwap(SDL_Window* window) {
    SDL_ClearError();
    SDL_GL_SwapWindow(window);
    return SDL_GetError()[0] == '\0';
}

bool displaySetSwapInterval(int interval) {
    return SDL_GL_SetSwapInterval(interval) == 0;
}

static pPlatformMode fromSDL(const SDL_DisplayMode& mode) {
    // Bytes, not bits: a 32-bit mode with 24 bits of colour counts as 32, as displays call it.
    return pPlatformMode{mode.w, mode.h, static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8,
                         mode.refresh_rate};
}

std::vector<pPlatformMode> displayModes() {
    std::vector<pPlatformMode> modes;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; i++) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0)
            modes.push_back(fromSDL(mode));
    }
    return modes;
}

pPlatformMode displayCurrentMode() {
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(0, &mode) != 0)
        return pPlatformMode{640, 480, 32, 0};
    return fromSDL(mode);
}

int displayRefreshRate() {
    int rate = displayCurrentMode().refreshRate;
    return rate > 0 ? rate : 60;
}

bool displayGetGamma(SDL_Window* window, uint16_t* ramps) {
    return window && SDL_GetWindowGammaRamp(window, ramps, ramps + 256, ramps + 512) == 0;
}

bool displaySetGamma(SDL_Window* window, const uint16_t* ramps) {
    return window && SDL_SetWindowGammaRamp(window, ramps, ramps + 256, ramps + 512) == 0;
}

void scaleGamma(const uint16_t* ramps, double factor, uint16_t* scaled) {
    if (factor < 0)
        factor = 0;
    if (factor > 1)
        factor = 1;
    for (int i = 0; i < 3 * 256; i++)
        scaled[i] = static_cast<uint16_t>(ramps[i] * factor);
}
