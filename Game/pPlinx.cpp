#include "Game/pPlinx.h"

#include "Utils/pTimer.h"

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
