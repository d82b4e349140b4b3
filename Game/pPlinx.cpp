#include "Game/pPlinx.h"

#include "Input/pKeyboardHandler.h"
#include "Input/pMouseHandler.h"
#include "Shell/pGame.h"
#include "Utils/pTimer.h"

#include <GL/gl.h>

#include <cstdio>

pPlinx* pPlinx::instance_ = nullptr;

pPlinx* pPlinx::instance() {
    if (!instance_)
        instance_ = new pPlinx();
    return instance_;
}

// The board comes first, then the preferences (which read prefs.txt), the fades and the high
// score table (which reads scores.txt), in declaration order.
pPlinx::pPlinx()
    : initialised(false), viewWidth(0), viewHeight(0), paused(false), totalTime(0), frameTime(0),
      currentScreen(BLANK_SCREEN), menuBlipSound(-1), fxVolume(0), splashOverlay(nullptr),
      logoOverlay(nullptr), backgroundOverlay(nullptr), frameMark(0), blankScreenMark(0),
      blankScreenDuration(1200), blockTexture(nullptr), helpMarquee(nullptr), marqueeMark(0) {
    pTimer::instance();
}

void pPlinx::update() {
    pGame* game = pGame::instance();
    viewWidth = game->getViewWidth();
    viewHeight = game->getViewHeight();
    // Command+F toggles full screen; the running screen gets no update in that step.
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    if (keyboard->keyPressed(PKEY_F, 0) && keyboard->keyDown(PKEY_COMMAND, 0)) {
        if (!game->isFullscreen()) {
            std::printf("key enter\n");
            game->createFullscreenGLContext(0);
        } else {
            std::printf("key exit\n");
            pMouseHandler::instance()->showCursor(0);
            game->exitFullscreen();
        }
    }
}

void pPlinx::draw() {
    glClear(GL_COLOR_BUFFER_BIT);
}

void pPlinx::release() {
    prefs.writeFile();
}
