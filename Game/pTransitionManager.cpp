#include "Game/pTransitionManager.h"

#include "Game/pPlinx.h"
#include "Shell/pOGLUtil.h"
#include "Utils/pTimer.h"

#include <GL/gl.h>

pTransitionManager::pTransitionManager()
    : active(false), darkness(0), toScreen(BLANK_SCREEN), mark(pTimer::instance()->setMark()),
      duration(500) {}

void pTransitionManager::beginTransition(GameScreen target) {
    if (active)
        return;
    toScreen = target;
    active = true;
    // One mark for the life of the fade: marks are never released, and a new one per screen
    // change would grow the timer through a long session.
    pTimer::instance()->resetMark(mark);
}

void pTransitionManager::update() {
    if (!active)
        return;
    float t = static_cast<float>(pTimer::instance()->timeSinceMark(mark));
    // Both tests in one call: a late step past the end still switches before the fade ends.
    if (duration / 2 < t)
        pPlinx::instance()->currentScreen = toScreen;
    if (duration < t)
        active = false;
}

void pTransitionManager::draw() {
    if (!active)
        return;
    float t = static_cast<float>(pTimer::instance()->timeSinceMark(mark));
    float half = duration / 2;
    // Not clamped: a frame just past the end gets a little below 0, which GL reads as clear.
    darkness = t < half ? t / half : 1 - (t - half) / half;
    pPlinx::instance()->drawDarkenScreen(darkness);
}

// The veil belongs with the fade that draws it.
void pPlinx::drawDarkenScreen(float alpha) {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    pOGLUtil::setOrthographicProjection(viewWidth, viewHeight);
    glColor4f(0, 0, 0, alpha);
    float w = static_cast<float>(viewWidth);
    float h = static_cast<float>(viewHeight);
    glBegin(GL_TRIANGLE_STRIP);
    glVertex2f(0, 0);
    glVertex2f(w, 0);
    glVertex2f(0, h);
    glVertex2f(w, h);
    glEnd();
    glEnable(GL_TEXTURE_2D);
}
