#include "Input/pKeyConfigInterface.h"

#include "File/pPreferencesManager.h"
#include "Input/pActionKeyHandler.h"
#include "Input/pInputManager.h"
#include "Input/pMouseHandler.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"
#include "Widgets/pWidgetKit.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdio>

namespace {

const float ROW_STEP = 1.75f;

struct DefaultAction {
    const char* name;
    PKEYCODE key;
};

const DefaultAction DEFAULT_ACTIONS[] = {
    {"Player 1 Rotate CW", PKEY_OPTION},    {"Player 1 Rotate CCW", PKEY_CONTROL},
    {"Player 1 Left", PKEY_LEFT},           {"Player 1 Down", PKEY_DOWN},
    {"Player 1 Right", PKEY_RIGHT},         {"Player 2 Rotate CW", PKEY_NUM_0},
    {"Player 2 Rotate CCW", PKEY_NUM_PLUS}, {"Player 2 Left", PKEY_NUM_4},
    {"Player 2 Down", PKEY_NUM_5},          {"Player 2 Right", PKEY_NUM_6},
};

} // namespace

pKeyConfigInterface::pKeyConfigInterface()
    : x(0), y(0), textHeight(0), listening(false), selected(0),
      mutex(pInputManager::instance()->getMutex()), reservedKeys{PKEY_COMMAND}, refusedKey(-1),
      cancelKey(-1) {}

pKeyConfigInterface::~pKeyConfigInterface() {
    // A panel that goes away mid-capture must not leave the rest of the game deaf.
    if (listening)
        pInputManager::instance()->unlock(mutex);
    actionNames.clear();
    keyCodes.clear();
    keyNames.clear();
}

void pKeyConfigInterface::addAction(std::string name, PKEYCODE key) {
    std::printf("addAction %s code=%d\n", name.c_str(), static_cast<int>(key));
    actionNames.push_back(name);
    keyCodes.push_back(key);
    keyNames.push_back(pKeyboardHandler::instance()->keycodeToIdentifier(key));
}

void pKeyConfigInterface::setDefaultActions() {
    actionNames.clear();
    keyCodes.clear();
    keyNames.clear();
    for (const DefaultAction& action : DEFAULT_ACTIONS)
        addAction(action.name, action.key);
}

void pKeyConfigInterface::loadPrefs(pPreferencesManager& prefs) {
    for (const DefaultAction& action : DEFAULT_ACTIONS)
        addAction(action.name, static_cast<PKEYCODE>(stringToInt(prefs.getPref(action.name))));
}

void pKeyConfigInterface::bindKeysToActions() {
    pActionKeyHandler* actions = pActionKeyHandler::instance();
    for (size_t i = 0; i < actionNames.size(); i++)
        actions->setActionKey(actionNames[i], keyCodes[i]);
}

float pKeyConfigInterface::getTotalHeight() {
    const size_t n = actionNames.size();
    if (n == 0)
        return 0;
    return n * textHeight + (n - 1) * 0.75f * textHeight;
}

void pKeyConfigInterface::listenForEventsAndUpdate() {
    if (listening)
        listenForKey();
    else
        trackPointer();
}

void pKeyConfigInterface::trackPointer() {
    pMouseHandler* mouse = pMouseHandler::instance();
    const float px = static_cast<float>(mouse->getX(0));
    const float py = static_cast<float>(mouse->getY(0));
    if (!(px > 0 && px < 100000))
        return;
    for (size_t i = 0; i < actionNames.size(); i++) {
        const float top = (y - textHeight) + i * ROW_STEP * textHeight;
        if (py > top && py < top + textHeight) {
            selected = static_cast<unsigned int>(i);
            if (mouse->buttonPressed(PBUTTON_LEFT, 0))
                startListening();
            return;
        }
    }
}

void pKeyConfigInterface::startListening() {
    if (listening)
        return;
    playMenuBlip();
    listening = true;
    refusedKey = -1;
    pInputManager::instance()->lock(mutex);
}

void pKeyConfigInterface::stopListening() {
    if (!listening)
        return;
    listening = false;
    pInputManager::instance()->unlock(mutex);
}

void pKeyConfigInterface::listenForKey() {
    if (cancelKey >= 0) {
        // The lock holder reads the plain states: the composite queries answer as idle.
        pMouseHandler* mouse = pMouseHandler::instance();
        if (mouse->buttonDown(PBUTTON_LEFT, mutex) && mouse->buttonWasUp(PBUTTON_LEFT, mutex)) {
            stopListening();
            return;
        }
    }
    pKeyIterator events = pKeyboardHandler::instance()->getKeyIterator(mutex);
    while (events.hasMoreDownEvents()) {
        const PKEYCODE key = events.getNextDown().code;
        if (key == cancelKey) {
            stopListening();
            return;
        }
        bool reserved = false;
        for (PKEYCODE kept : reservedKeys)
            reserved = reserved || kept == key;
        if (reserved) {
            refusedKey = key;
            continue;
        }
        bindSelected(key);
        stopListening();
        return;
    }
}

void pKeyConfigInterface::bindSelected(PKEYCODE key) {
    if (selected >= keyCodes.size())
        return;
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    for (size_t i = 0; i < keyCodes.size(); i++) {
        if (i != selected && keyCodes[i] == key) {
            keyCodes[i] = keyCodes[selected];
            keyNames[i] = keyboard->keycodeToIdentifier(keyCodes[i]);
        }
    }
    keyCodes[selected] = key;
    keyNames[selected] = keyboard->keycodeToIdentifier(key);
}

void pKeyConfigInterface::draw(float time) {
    pTextManager* text = pTextManager::instance();
    const size_t n = actionNames.size();
    for (size_t i = 0; i < n; i++) {
        const float f = static_cast<float>(i) / n;
        const float b = i == selected ? 1.0f : 0.5f;
        const float phase = 0.3f * time;
        // Each row drifts slowly through its own pale tint.
        glColor4f(b * (0.8f + 0.2f * std::cos(f * 946794 + 734 + phase)),
                  b * (0.8f + 0.2f * std::cos(f * 2634627 + 234243 + phase)),
                  b * (0.8f + 0.2f * std::cos(f * 7645 + 354534 + phase)), 1.0f);
        const float baseline = y + i * ROW_STEP * textHeight;
        text->drawStringFromRight(actionNames[i] + ":", x - textHeight, baseline, textHeight);
        if (!(listening && i == selected))
            text->drawString(keyNames[i], x + textHeight, baseline, textHeight);
    }
}
