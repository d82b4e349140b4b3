#pragma once

#include "Input/pKeyboardHandler.h"

#include <string>
#include <vector>

class pPreferencesManager;

// An on-screen panel for rebinding keys: a column of action names, each followed by its key.
// Pointing at a row selects it, a click makes the panel listen, and the next key becomes that
// row's key. While listening it holds the input lock, so nothing else reacts to the key.
class pKeyConfigInterface {
public:
    // Action names end at x - textHeight, key names start at x + textHeight.
    float x;
    // Baseline of the first row; row i sits 1.75 text heights lower per row.
    float y;
    float textHeight;
    bool listening;
    unsigned int selected;
    std::vector<std::string> actionNames;
    std::vector<PKEYCODE> keyCodes;
    std::vector<std::string> keyNames;
    // The panel's listener id.
    unsigned int mutex;

    pKeyConfigInterface();
    ~pKeyConfigInterface();

    void addAction(std::string name, PKEYCODE key);
    void setDefaultActions();
    // Adds the ten default actions with the keys the preferences give them.
    void loadPrefs(pPreferencesManager& prefs);
    void bindKeysToActions();
    // 0 without rows.
    float getTotalHeight();
    void listenForEventsAndUpdate();
    void draw(float time);

private:
    void listenForKey();
    void trackPointer();
};
