#include "Shell/pGame.h"

#include "Shell/pOSXGame.h"

pGame* pGame::instance_ = nullptr;

pGame* pGame::instance() {
    // The platform's frame driver, made on first use so it exists before anyone asks.
    if (!instance_)
        instance_ = pOSXGame::instance();
    return instance_;
}
