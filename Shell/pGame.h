#pragma once

#include "Shell/pDisplayMode.h"

#include <string>
#include <vector>

// The frame driver: owns the window or full-screen context and runs the frames.
class pGame {
public:
    bool fullscreen = false;
    int fullscreenWidth = 0;
    int fullscreenHeight = 0;
    int windowWidth = 0;
    int windowHeight = 0;
    void (*drawFunc)() = nullptr;
    void (*updateFunc)() = nullptr;
    void (*reshapeFunc)(int, int, int, int) = nullptr;
    // Run when the player switches to another program.
    void (*focusLostFunc)() = nullptr;

    virtual ~pGame() {}
    virtual bool createWindowGLContext(int left, int top, int width, int height,
                                       std::string title) = 0;
    virtual void getAvailableDisplayModes(std::vector<pDisplayMode>& modes) = 0;
    virtual bool createFullscreenGLContext(int mode) = 0;
    virtual void exitFullscreen() = 0;
    virtual void killWindow() = 0;
    virtual int getScreenWidth() = 0;
    virtual int getScreenHeight() = 0;
    virtual void makeContextCurrent() = 0;
    virtual void swapBuffer() = 0;
    virtual void run() = 0;
    // The game was asked to end while it is busy between frames (loading); none by default.
    virtual bool quitRequested() { return false; }

    // The one frame driver, the platform's.
    static pGame* instance();

    void setDrawFunc(void (*func)()) { drawFunc = func; }
    void setUpdateFunc(void (*func)()) { updateFunc = func; }
    void setReshapeFunc(void (*func)(int, int, int, int)) { reshapeFunc = func; }
    void setFocusLostFunc(void (*func)()) { focusLostFunc = func; }
    bool isFullscreen() { return fullscreen; }
    int getViewWidth() { return fullscreen ? fullscreenWidth : windowWidth; }
    int getViewHeight() { return fullscreen ? fullscreenHeight : windowHeight; }

protected:
    static pGame* instance_;
};
