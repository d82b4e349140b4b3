#include "Shell/pGame.h"

#include "Shell/pOSXGame.h"

pGame* pGame::instance_ = nullptr;

pGame* pGame::instance() {
    // The platform's frame driver, made on first use so it exists before anyone asks.
    if (!instance_)
        instance_ = pOSXGame::instance();
    return instance_;
}

void pGame::setOutOfSight(OutOfSight why, bool holds) {
    outOfSight_ = holds ? outOfSight_ | why : outOfSight_ & ~unsigned{why};
}

bool pGame::frameWanted(unsigned long stillPicture) {
    // Out of sight the back buffer is drawn for nobody; coming back, the first frame is drawn.
    if (outOfSight_) {
        pictureValid_ = false;
        frameHeld = true;
        return false;
    }
    if (stillPicture != 0 && pictureValid_ && stillPicture == shownPicture_) {
        frameHeld = true;
        return false;
    }
    shownPicture_ = stillPicture;
    pictureValid_ = true;
    return true;
}
