#include "Shell/pFrameCallbacks.h"

#include "Game/pPlinx.h"
#include "Input/pInputManager.h"

void draw() {
    pPlinx::instance()->draw();
}

void update() {
    // The game reads this frame's input before the input manager makes it the previous frame's.
    pPlinx::instance()->update();
    pInputManager::instance()->update();
}

void release() {
    pPlinx::instance()->release();
}

void reshape(int, int, int, int) {}

void focusLost() {
    pPlinx::instance()->focusLost();
}

bool gameRunning() {
    return pPlinx::instance()->currentScreen == MAIN_GAME;
}
