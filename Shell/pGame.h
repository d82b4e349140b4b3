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
    // Set when the draw callback left this frame undrawn: there is nothing to present.
    bool frameHeld = false;

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

    // Why the player cannot see the game; drawing stops while any of them holds.
    enum OutOfSight : unsigned { MINIMISED = 1, HIDDEN = 2, COVERED = 4 };
    void setOutOfSight(OutOfSight why, bool holds);
    bool outOfSight() const { return outOfSight_ != 0; }
    // The picture on screen may be gone or stale (an expose, a resize, input the picture may
    // answer): the next frame is drawn whatever the game says.
    void invalidatePicture() { pictureValid_ = false; }
    // Asked by the draw callback after its update step. `stillPicture` is 0 while the game's
    // picture moves, otherwise a digest of everything it shows. False (and the frame is held, the
    // last one staying on screen) when nobody can see the window, or when the picture is the
    // still one already presented.
    bool frameWanted(unsigned long stillPicture);

protected:
    static pGame* instance_;

private:
    unsigned outOfSight_ = 0;
    bool pictureValid_ = false;
    unsigned long shownPicture_ = 0;
};
