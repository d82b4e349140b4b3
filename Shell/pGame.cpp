#include "Shell/pGame.h"

// Set during static initialisation by the platform's frame driver.
pGame* pGame::instance_ = nullptr;

pGame* pGame::instance() { return instance_; }
