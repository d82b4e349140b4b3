#include "Game/pTransitionManager.h"

#include "Game/pPlinx.h"
#include "Utils/pTimer.h"

pTransitionManager::pTransitionManager()
    : active(false), darkness(0), toScreen(BLANK_SCREEN), mark(0), duration(500) {}

void pTransitionManager::beginTransition(GameScreen target) {
    if (active)
        return;
    toScreen = target;
    active = true;
    mark = pTimer::instance()->setMark();
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
