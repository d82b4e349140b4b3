#pragma once

#include "File/cAttribs.h"
#include "Game/pGameKeys.h"
#include "Game/pPlinx.h"

#include <map>
#include <string>

// Settings by their key in prefs.txt, with their values as the file writes them.
using Settings = std::map<std::string, std::string>;

// The first value of every key in an attribute file.
inline Settings settingsIn(const std::string& path) {
    cAttribs file;
    file.readFile(path);
    Settings saved;
    for (const std::string& kind : file.kinds)
        if (!file.attribs[kind]->data.empty())
            saved[kind] = file.attribs[kind]->data[0];
    return saved;
}

// What the game runs with, under the keys it saves them under.
inline Settings settingsInUse(pPlinx* game) {
    Settings used = {{"fxVolume", std::to_string(game->fxVolume)},
                     {"fullScreen", game->fullScreenSaved() ? "1" : "0"},
                     {"blockMarks", game->puzzle.blockMarks ? "1" : "0"}};
    for (int i = 0; i < pGameKeys::COUNT; i++)
        used[pGameKeys::ACTIONS[i].name] = std::to_string(pGameKeys::boundKey(i));
    return used;
}
