#include "Shell/pOSXGame.h"

#include "Input/pInputManager.h"
#include "Input/pKeyboardHandler.h"
#include "Input/pMouseHandler.h"
#include "Platform/pAudioDevice.h"
#include "Platform/pEventLoop.h"
#include "Platform/pGamepad.h"
#include "Shell/pGlobalGLContext.h"
#include "Shell/pOGLUtil.h"
#include "Shell/pStartupMarks.h"
#include "Utils/pAssert.h"
#include "Utils/pStringUtils.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

pOSXGame* pOSXGame::instance_ = nullptr;

pOSXGame* pOSXGame::instance() {
    if (!instance_)
        instance_ = new pOSXGame();
    return instance_;
}

SDL_Window* pOSXGame::contextWindow() {
    return fullscreen ? fullscreenWindow : window;
}

bool pOSXGame::createWindowGLContext(int left, int top, int width, int height, std::string title) {
    fullscreen = false;
    windowWidth = width;
    windowHeight = height;
    if (window) {
        // A window left from an earlier, failed attempt.
        displayMakeCurrent(nullptr, nullptr);
        displayDestroyContext(context);
        context = nullptr;
        displayDestroyWindow(window);
    }
    pGlobalGLContext* shared = pGlobalGLContext::instance();
    displayKeepXErrors();
    window = displayCreateWindow(title, left, top, width, height, WINDOW_NORMAL);
    startupMark("window shown");
    if (!window) {
        contextFailure_ = displayError();
        displayStopKeepingXErrors(nullptr);
        std::printf("error creating pixel format\n");
        return false;
    }
    displaySetMinimumSize(window, 640, 480);
    displayWatchCovering(window);
    context = displayCreateContextKept(window, shared->getGLContext(), shared->getWindow(),
                                       contextFailure_);
    if (!context) {
        std::printf("error creating opengl context\n");
        return false;
    }
    // Every second retrace where the driver offers it, else every one.
    if (!displaySetSwapInterval(2))
        displaySetSwapInterval(1);
    if (!displayMakeCurrent(window, context)) {
        contextFailure_ = displayError();
        std::printf("error making context current\n");
        return false;
    }
    pOGLUtil::initGL();
    reshapeWindow();
    // A window opened again (after full screen lost its window) replaces the old handlers.
    removeEventHandler(reshapeHandlerRef);
    removeEventHandler(closeHandlerRef);
    reshapeHandlerRef = installEventHandler(PEVENT_CLASS_WINDOW,
                                            {PEVENT_WINDOW_BOUNDS_CHANGED, PEVENT_WINDOW_ZOOMED},
                                            reshapeEvent, this);
    closeHandlerRef =
        installEventHandler(PEVENT_CLASS_WINDOW, {PEVENT_WINDOW_CLOSE}, closeEvent, this);
    return true;
}

void pOSXGame::getAvailableDisplayModes(std::vector<pDisplayMode>& modes) {
    std::vector<pDisplayMode> all;
    for (const pPlatformMode& platform : displayModes()) {
        pDisplayMode mode;
        mode.width = platform.width;
        mode.height = platform.height;
        mode.bpp = platform.bpp;
        mode.refreshRate = platform.refreshRate;
        all.push_back(mode);
    }
    filterDisplayModes(all, modes);
}

void pOSXGame::filterDisplayModes(std::vector<pDisplayMode>& all, std::vector<pDisplayMode>& out) {
    // Deep colour first; 16-bit modes only for a display that has nothing better.
    for (int minimumBpp : {32, 16}) {
        for (size_t i = 0; i < all.size(); i++) {
            pDisplayMode mode = all[i];
            if (mode.height > 479 && mode.width > 639 && mode.bpp >= minimumBpp) {
                mode.index = static_cast<int>(i);
                mode.name = intToString(mode.width) + " x " + intToString(mode.height);
                if (!listAlreadyHasMode(out, mode))
                    out.push_back(mode);
            }
        }
        sortModes(out);
        if (!out.empty())
            return;
    }
}

void pOSXGame::sortModes(std::vector<pDisplayMode>& list) {
    for (size_t p = 0; p + 1 < list.size(); p++) {
        size_t largest = p;
        for (size_t i = p + 1; i < list.size(); i++) {
            const pDisplayMode& a = list[i];
            const pDisplayMode& b = list[largest];
            if (a.width > b.width || (a.width == b.width && a.height > b.height))
                largest = i;
        }
        if (largest != p)
            std::swap(list[p], list[largest]);
    }
}

bool pOSXGame::listAlreadyHasMode(const std::vector<pDisplayMode>& list, const pDisplayMode& mode) {
    for (const pDisplayMode& listed : list)
        if (listed.width == mode.width && listed.height == mode.height)
            return true;
    return false;
}

void pOSXGame::fadeToBlack() {
    if (!displayGetGamma(window, savedGamma_))
        return; // this display keeps its gamma to itself
    gammaSaved_ = true;
    // Real time, not the game's clock: the fade is for the eye, and the game's clock may be held
    // still through a frame (a recorded game) or be stepped by hand.
    Uint64 begin = SDL_GetTicks64();
    uint16_t dimmed[3 * 256];
    double t;
    while ((t = static_cast<double>(SDL_GetTicks64() - begin)) < 500.0) {
        scaleGamma(savedGamma_, 1.0 - t / 500.0, dimmed);
        if (!displaySetGamma(window, dimmed))
            return;   // refused: no fade, and nothing to wait for
        SDL_Delay(5); // a display shows no more than this, and the core stays free
    }
    scaleGamma(savedGamma_, 0.0, dimmed);
    displaySetGamma(window, dimmed);
}

void pOSXGame::restoreGamma() {
    if (gammaSaved_)
        displaySetGamma(window, savedGamma_);
    gammaSaved_ = false;
}

// A game that ends while full screen (closed, or quit from its menu) gives the desktop back its
// own mode rather than leave it in the game's.
static void leaveFullscreenAtExit() {
    pOSXGame* game = pOSXGame::instance();
    if (game->fullscreen)
        game->exitFullscreen();
}

bool pOSXGame::createFullscreenGLContext(int modeIndex) {
    if (fullscreen)
        return true;
    static bool exitHookInstalled = false;
    if (!exitHookInstalled && this == instance_)
        exitHookInstalled = std::atexit(leaveFullscreenAtExit) == 0;
    windowContext = context;
    std::vector<pPlatformMode> modes = displayModes();
    desktopMode = displayCurrentMode();
    if (modeIndex < 0 || modeIndex >= static_cast<int>(modes.size())) {
        std::printf("error getting display device handle\n");
        abandonFullscreen();
        return false;
    }
    pPlatformMode mode = modes[modeIndex];
    fullscreenWindow =
        displayCreateWindow("Plinx", 0, 0, mode.width, mode.height, WINDOW_BORDERLESS);
    if (!fullscreenWindow) {
        std::printf("error creating pixel format: %s\n", displayError().c_str());
        abandonFullscreen();
        return false;
    }
    pGlobalGLContext* shared = pGlobalGLContext::instance();
    context = displayCreateContext(fullscreenWindow, shared->getGLContext(), shared->getWindow());
    if (!context) {
        std::printf("error creating context\n");
        abandonFullscreen();
        return false;
    }
    displayWatchCovering(fullscreenWindow);
    fadeToBlack();
    if (!displayFullscreenSwitch(fullscreenWindow, mode)) {
        std::printf("error setting fullscreen drawable\n");
        abandonFullscreen();
        return false;
    }
    displayShowWindow(window, false);
    restoreGamma();
    if (!displayMakeCurrent(fullscreenWindow, context)) {
        std::printf("error making context current\n");
        abandonFullscreen();
        return false;
    }
    if (!displaySetSwapInterval(2))
        displaySetSwapInterval(1);
    fullscreen = true;
    int width = 0, height = 0;
    displayDrawableSize(fullscreenWindow, width, height);
    fullscreenWidth = width;
    fullscreenHeight = height;
    pOGLUtil::initGL();
    reshapeWindow();
    return true;
}

void pOSXGame::dropFullscreenContext() {
    displayMakeCurrent(nullptr, nullptr);
    if (context != windowContext)
        displayDestroyContext(context);
    // Destroying the full-screen window gives the display its desktop mode back.
    displayDestroyWindow(fullscreenWindow);
    fullscreenWindow = nullptr;
    context = windowContext;
    windowContext = nullptr;
    fullscreen = false;
}

void pOSXGame::abandonFullscreen() {
    dropFullscreenContext();
    restoreGamma();
    displayShowWindow(window, true);
    displayMakeCurrent(window, context);
}

void pOSXGame::exitFullscreen() {
    if (!fullscreen)
        return;
    dropFullscreenContext();
    if (!context) {
        createWindowGLContext(0, 0, 640, 480, "Plinx");
    } else {
        displayShowWindow(window, true);
        reshapeWindow();
    }
}

void pOSXGame::killWindow() {
    displayMakeCurrent(nullptr, nullptr);
    displayDestroyContext(context);
    context = nullptr;
    displayDestroyWindow(window);
    window = nullptr;
}

int pOSXGame::getScreenWidth() {
    return displayCurrentMode().width;
}

int pOSXGame::getScreenHeight() {
    return displayCurrentMode().height;
}

// The start-up goes on when the window's context fails, but nothing can be drawn without one:
// rather than stop at the first frame's assertion, the game says why and ends.
void pOSXGame::requireContext() {
    if (context)
        return;
    std::printf("OpenGL could not be started: the game window has no OpenGL context%s%s\n",
                contextFailure_.empty() ? "" : ": ", contextFailure_.c_str());
    std::fflush(stdout);
    std::exit(1);
}

void pOSXGame::makeContextCurrent() {
    requireContext();
    bool made = displayMakeCurrent(contextWindow(), context);
    P_ASSERT_TEXT("Shell/pOSXGame", made, "displayMakeCurrent(contextWindow(), context)");
}

bool pOSXGame::quitRequested() {
    return ::quitRequested();
}

void pOSXGame::swapBuffer() {
    requireContext();
    bool swapped = displaySwap(contextWindow());
    static bool first = true;
    if (first)
        startupMark("first frame presented");
    first = false;
    P_ASSERT_TEXT("Shell/pOSXGame", swapped, "displaySwap(contextWindow())");
}

void pOSXGame::reshapeWindow() {
    // A new size, or a new drawable: what was on screen is no longer the picture.
    invalidatePicture();
    SDL_Window* drawable = contextWindow();
    if (!drawable || !context)
        return;
    makeContextCurrent();
    int width = 0, height = 0;
    displayDrawableSize(drawable, width, height);
    if (fullscreen) {
        fullscreenWidth = width;
        fullscreenHeight = height;
    } else {
        windowWidth = width;
        windowHeight = height;
    }
    glViewport(0, 0, width, height);
}

void pOSXGame::run() {
    pInputManager::instance()->init();
    makeContextCurrent();
    glClearColor(0, 0, 0, 0);
    frameTimerRef = installFrameTimer(processFrame, this);
    keyHandlerRef = installEventHandler(
        PEVENT_CLASS_KEYBOARD, {PEVENT_RAW_KEY_DOWN, PEVENT_RAW_KEY_UP, PEVENT_MODIFIERS_CHANGED},
        keyEvent, pKeyboardHandler::instance());
    mouseHandlerRef = installEventHandler(PEVENT_CLASS_MOUSE,
                                          {PEVENT_MOUSE_DOWN, PEVENT_MOUSE_UP, PEVENT_MOUSE_MOVED,
                                           PEVENT_MOUSE_WHEEL_MOVED, PEVENT_MOUSE_DRAGGED},
                                          mouseEvent, pMouseHandler::instance());
    pGamepad::instance()->start();
    focusHandlerRef =
        installEventHandler(PEVENT_CLASS_WINDOW, {PEVENT_WINDOW_DEACTIVATED}, focusEvent, this);
    installPictureHandlers(this);
    runEventLoop();
}

void processFrame(void* userData) {
    pGame* game = static_cast<pGame*>(userData);
    // Sounds that finished since the last frame free their channels before the game looks.
    pAudioDevice::deliverNotifications();
    game->makeContextCurrent();
    game->frameHeld = false;
    if (game->updateFunc)
        game->updateFunc();
    if (game->drawFunc)
        game->drawFunc();
    // A held frame drew nothing: the last one stays on screen.
    if (!game->frameHeld)
        game->swapBuffer();
}

std::vector<int> installPictureHandlers(pGame* game) {
    // Ahead of the input handlers, which it passes every event on to.
    return {installEventHandler(PEVENT_CLASS_KEYBOARD,
                                {PEVENT_RAW_KEY_DOWN, PEVENT_RAW_KEY_UP, PEVENT_MODIFIERS_CHANGED},
                                pictureEvent, game),
            installEventHandler(PEVENT_CLASS_MOUSE,
                                {PEVENT_MOUSE_DOWN, PEVENT_MOUSE_UP, PEVENT_MOUSE_MOVED,
                                 PEVENT_MOUSE_WHEEL_MOVED, PEVENT_MOUSE_DRAGGED},
                                pictureEvent, game),
            installEventHandler(PEVENT_CLASS_WINDOW,
                                {PEVENT_WINDOW_UPDATE, PEVENT_WINDOW_SHOWN, PEVENT_WINDOW_HIDDEN,
                                 PEVENT_WINDOW_COLLAPSED, PEVENT_WINDOW_EXPANDED,
                                 PEVENT_WINDOW_COVERED, PEVENT_WINDOW_UNCOVERED},
                                pictureEvent, game)};
}

int pictureEvent(void* next, pEvent* event, void* userData) {
    pGame* game = static_cast<pGame*>(userData);
    game->invalidatePicture();
    if (event->eventClass != PEVENT_CLASS_WINDOW)
        return callNextEventHandler(next, event);
    switch (event->kind) {
    case PEVENT_WINDOW_COLLAPSED:
    case PEVENT_WINDOW_EXPANDED:
        game->setOutOfSight(pGame::MINIMISED, event->kind == PEVENT_WINDOW_COLLAPSED);
        break;
    case PEVENT_WINDOW_HIDDEN:
    case PEVENT_WINDOW_SHOWN:
        game->setOutOfSight(pGame::HIDDEN, event->kind == PEVENT_WINDOW_HIDDEN);
        break;
    case PEVENT_WINDOW_COVERED:
    case PEVENT_WINDOW_UNCOVERED:
        game->setOutOfSight(pGame::COVERED, event->kind == PEVENT_WINDOW_COVERED);
        break;
    }
    return PEVENT_HANDLED;
}

int reshapeEvent(void*, pEvent*, void* userData) {
    static_cast<pOSXGame*>(userData)->reshapeWindow();
    return PEVENT_HANDLED;
}

int focusEvent(void*, pEvent*, void* userData) {
    pGame* game = static_cast<pGame*>(userData);
    if (game->focusLostFunc)
        game->focusLostFunc();
    return PEVENT_HANDLED;
}

int closeEvent(void*, pEvent*, void*) {
    std::exit(0);
}

void chooseDisplaySettings() {
    chooseDisplaySettings(*pGame::instance());
}

void chooseDisplaySettings(pGame& game) {
    std::printf("-1 windowed\n");
    std::vector<pDisplayMode> modes;
    game.getAvailableDisplayModes(modes);
    for (size_t i = 0; i < modes.size(); i++) {
        std::printf("%zu ", i);
        modes[i].print();
    }
    std::printf("crunch on mode -1, biotch\n");
    if (!game.createWindowGLContext(game.getScreenWidth() / 2 - 400,
                                    game.getScreenHeight() / 2 - 300, 640, 480, "Plinx"))
        std::printf("error switching\n");
}
