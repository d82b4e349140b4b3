#pragma once

#include "Platform/pDisplay.h"
#include "Shell/pGame.h"

#include <cstdint>
#include <string>
#include <vector>

struct pEvent;

// The desktop frame driver: the game window and its GL context, the full-screen context, the
// display modes, and the loop that runs the frames.
class pOSXGame : public pGame {
public:
    SDL_Window* window = nullptr;
    pGLContext context = nullptr;
    pGLContext windowContext = nullptr;
    // The window the full-screen context draws to; kept hidden until it takes the screen.
    SDL_Window* fullscreenWindow = nullptr;
    pPlatformMode desktopMode;
    int frameTimerRef = 0;
    int reshapeHandlerRef = 0;
    int closeHandlerRef = 0;
    int keyHandlerRef = 0;
    int mouseHandlerRef = 0;
    int focusHandlerRef = 0;

    pOSXGame() {}
    ~pOSXGame() override {}

    bool createWindowGLContext(int left, int top, int width, int height,
                               std::string title) override;
    void getAvailableDisplayModes(std::vector<pDisplayMode>& modes) override;
    bool createFullscreenGLContext(int mode) override;
    void exitFullscreen() override;
    void killWindow() override;
    int getScreenWidth() override;
    int getScreenHeight() override;
    void makeContextCurrent() override;
    void swapBuffer() override;
    void run() override;
    bool quitRequested() override;

    static pOSXGame* instance();
    SDL_Window* getWindow() { return window; }
    // The viewport and the view size follow the drawable in use (in pixels, also on HiDPI).
    void reshapeWindow();
    // Dims the display to black over 500 ms where the display lets its gamma be set.
    void fadeToBlack();
    void filterDisplayModes(std::vector<pDisplayMode>& all, std::vector<pDisplayMode>& out);
    void sortModes(std::vector<pDisplayMode>& list);
    bool listAlreadyHasMode(const std::vector<pDisplayMode>& list, const pDisplayMode& mode);

private:
    static pOSXGame* instance_;
    // The drawable `context` belongs to.
    SDL_Window* contextWindow();
    // Destroys the full-screen context and window and takes the window's context back.
    void dropFullscreenContext();
    // Back to the window after a failed full-screen entry, with nothing of it left behind.
    void abandonFullscreen();
    void restoreGamma();
    // Ends the game with a message when there is no context to draw with.
    void requireContext();
    // Why the window's context could not be made.
    std::string contextFailure_;
    bool gammaSaved_ = false;
    uint16_t savedGamma_[3 * 256] = {};
};

// Start-up: lists the modes and opens the 640×480 window.
void chooseDisplaySettings();
void chooseDisplaySettings(pGame& game);
// One frame: update, draw, swap. `userData` is the frame driver.
void processFrame(void* userData);
int reshapeEvent(void* next, pEvent* event, void* userData);
// Input and window events that change what the player sees or can see: the next frame is drawn,
// and drawing stops while the window is minimised, hidden or wholly covered. Input events go on
// to the handlers behind it. `userData` is the frame driver.
int pictureEvent(void* next, pEvent* event, void* userData);
// Installs pictureEvent for those events, as `run` does; the references for removeEventHandler.
std::vector<int> installPictureHandlers(pGame* game);
int closeEvent(void* next, pEvent* event, void* userData);
// The window lost the keyboard, or was minimised or hidden: tells the game through its focus-lost
// function. `userData` is the frame driver.
int focusEvent(void* next, pEvent* event, void* userData);
