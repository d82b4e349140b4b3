#include "Shell/pFrameCallbacks.h"

#include "Game/pPlinx.h"
#include "Input/pInputManager.h"
#include "Shell/pInputRecorder.h"

void draw() {
    pPlinx::instance()->draw();
}

void update() {
    // A recorded session's clock stands at the frame's start for the whole frame.
    if (pInputRecorder* recorder = pInputRecorder::active())
        recorder->frameOnWallClock();
    // The game reads this frame's input before the input manager makes it the previous frame's.
    pPlinx::instance()->update();
    pInputManager::instance()->update();
}

void release() {
    if (pInputRecorder* recorder = pInputRecorder::active())
        recorder->flush();
    pPlinx::instance()->release();
}

void reshape(int, int, int, int) {}

void focusLost() {
    pPlinx::instance()->focusLost();
}

bool gameRunning() {
    return pPlinx::instance()->currentScreen == MAIN_GAME;
}

int padKey(int gameKey) {
    return pPlinx::instance()->padKey(gameKey);
}
