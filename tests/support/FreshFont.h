#pragma once

#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"

#include <string>

// Loads the game's font "Brisk.tga" under a name of its own and makes it current. Every test
// that draws text needs this: the font's texture lives in the GL context that loaded it, and
// each drawing test gets a new context while font names can never be registered twice.
inline std::string loadFreshBrisk() {
    static int loaded = 0;
    std::string name = "Brisk#" + std::to_string(++loaded);
    pTextManager* text = pTextManager::instance();
    if (!text->loadAndSetFont(getResourcePath("Brisk.tga"), name))
        return "";
    return name;
}
