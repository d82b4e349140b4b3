#pragma once

#include "Input/pKeyboardHandler.h"

#include <string>

class pPreferencesManager;

// The five actions the player steers with. Their keys live in the action key handler; this reads
// them from prefs.txt (each under its action's name, as a key code), keeps them apart and names
// them for the player.
class pGameKeys {
public:
    struct Action {
        // The action key handler's name, and the preference it is kept under.
        const char* name;
        // What the Options screen calls it.
        const char* label;
        PKEYCODE defaultKey;
    };
    static const int COUNT = 5;
    static const Action ACTIONS[COUNT];

    // What keeps `key` from being bound ("is Escape, which pauses the game"); empty when it can
    // be. The keys the game needs elsewhere, and codes that are no key, cannot.
    static std::string refusal(int key);
    // What the game needs a key for elsewhere ("pauses the game"); empty for a key it can bind.
    static std::string keptFor(int key);
    // A key as players name it: letters in capitals, "Key 52" for a key without a name.
    static std::string keyName(PKEYCODE key);

    // The key bound to ACTIONS[action] now.
    static PKEYCODE boundKey(int action);
    // Binds the keys saved in `prefs`. A key that is missing, no key, one the game keeps, or one
    // an earlier action already has, takes the action's default (or, when another action has
    // that, the first free default) and is named on standard output. No two actions share a key.
    static void load(pPreferencesManager& prefs);
    // Left, Right, Down, X and Z.
    static void bindDefaults();
    // The bound keys into `prefs` (not yet to the file).
    static void store(pPreferencesManager& prefs);

    // The help texts that name the moving and the rotating keys.
    static std::string moveHelp();
    static std::string rotateHelp();
};
