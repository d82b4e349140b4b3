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
    // Keys that are never bound: pressing one leaves the panel listening. Command from the
    // start, as the game's own shortcut key.
    std::vector<PKEYCODE> reservedKeys;
    // The latest reserved key pressed while listening, for the owner to say why; -1 for none.
    int refusedKey;
    // With a key here, that key or a click ends listening without a change; -1 for none.
    int cancelKey;

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
    // Listens for the selected row's key, taking the input lock, as a click on the row does.
    void startListening();
    // Ends listening without a change and lets go of the input.
    void stopListening();
    void draw(float time);

private:
    void listenForKey();
    // The captured key goes to the selected row; a row that had it takes the row's old key, so
    // no row is left without one.
    void bindSelected(PKEYCODE key);
    void trackPointer();
};
