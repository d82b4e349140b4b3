#include "Game/pGameKeys.h"

#include "File/pPreferencesManager.h"
#include "Input/pActionKeyHandler.h"
#include "Utils/pStringUtils.h"

#include <cctype>

const pGameKeys::Action pGameKeys::ACTIONS[COUNT] = {
    {"ACTION_MOVELEFT", "Move Left", PKEY_LEFT},
    {"ACTION_MOVERIGHT", "Move Right", PKEY_RIGHT},
    {"ACTION_MOVEDOWN", "Fall Fast", PKEY_DOWN},
    {"ACTION_ROTCW", "Rotate Clockwise", PKEY_X},
    {"ACTION_ROTCCW", "Rotate Anticlockwise", PKEY_Z},
};

std::string pGameKeys::keptFor(int key) {
    switch (key) {
    case PKEY_ESCAPE:
        return "pauses the game";
    case PKEY_RETURN:
        return "confirms in the menus";
    case PKEY_F11:
        return "switches full screen";
    case PKEY_COMMAND:
        return "switches full screen with F";
    default:
        return "";
    }
}

std::string pGameKeys::refusal(int key) {
    if (key < 0 || key >= pKeyboardHandler::KEY_COUNT)
        return "is no key";
    const std::string use = keptFor(key);
    return use.empty() ? "" : "is " + keyName(PKEYCODE(key)) + ", which " + use;
}

std::string pGameKeys::keyName(PKEYCODE key) {
    std::string name = pKeyboardHandler::instance()->keycodeToIdentifier(key);
    if (key == PKEY_ESCAPE)
        return "Escape"; // as the help says it
    if (name == "???")
        return "Key " + intToString(key);
    if (name.size() == 1)
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

PKEYCODE pGameKeys::boundKey(int action) {
    auto& bound = pActionKeyHandler::instance()->actionKeys;
    auto found = bound.find(ACTIONS[action].name);
    return found == bound.end() ? ACTIONS[action].defaultKey : found->second;
}

void pGameKeys::load(pPreferencesManager& prefs) {
    // What each action's saved value asks for, so that a mended key never takes a key that
    // another action keeps: -1 where nothing usable is saved.
    int wanted[COUNT];
    for (int i = 0; i < COUNT; i++) {
        std::string text = prefs.getPref(ACTIONS[i].name);
        bool usable =
            pPreferencesManager::isWholeNumber(text) && refusal(stringToInt(text)).empty();
        wanted[i] = usable ? stringToInt(text) : -1;
    }
    PKEYCODE keys[COUNT];
    for (int i = 0; i < COUNT; i++) {
        // The other action that has `key` now, or asks for it later; -1 for none.
        auto otherWith = [&](int key) {
            for (int j = 0; j < COUNT; j++)
                if (j != i && (j < i ? keys[j] : wanted[j]) == key)
                    return j;
            return -1;
        };
        // The action's default; when another action has that, the first default free (the
        // four other actions keep at most four of the five).
        int fallback = ACTIONS[i].defaultKey;
        if (otherWith(fallback) >= 0) {
            for (const Action& other : ACTIONS) {
                if (otherWith(other.defaultKey) < 0) {
                    fallback = other.defaultKey;
                    break;
                }
            }
        }
        keys[i] = static_cast<PKEYCODE>(
            prefs.getCheckedIntPref(ACTIONS[i].name, fallback, [&](int key) -> std::string {
                std::string why = refusal(key);
                // A key saved twice stays with the first action that has it.
                const int other = otherWith(key);
                if (why.empty() && other >= 0 && (other < i || key != wanted[i]))
                    why = std::string("is already the key of ") + ACTIONS[other].label;
                return why;
            }));
    }
    for (int i = 0; i < COUNT; i++)
        pActionKeyHandler::instance()->setActionKey(ACTIONS[i].name, keys[i]);
}

void pGameKeys::bindDefaults() {
    for (const Action& action : ACTIONS)
        pActionKeyHandler::instance()->setActionKey(action.name, action.defaultKey);
}

void pGameKeys::store(pPreferencesManager& prefs) {
    for (int i = 0; i < COUNT; i++)
        prefs.storePref(ACTIONS[i].name, intToString(boundKey(i)));
}

// The arrows are named in lower case inside a sentence, as the help always did.
static std::string inSentence(PKEYCODE key) {
    switch (key) {
    case PKEY_LEFT:
        return "left";
    case PKEY_RIGHT:
        return "right";
    case PKEY_DOWN:
        return "down";
    case PKEY_UP:
        return "up";
    default:
        return pGameKeys::keyName(key);
    }
}

std::string pGameKeys::moveHelp() {
    return "Use the " + inSentence(boundKey(0)) + ", " + inSentence(boundKey(1)) + " and " +
           inSentence(boundKey(2)) + " keys to move your blocks.";
}

std::string pGameKeys::rotateHelp() {
    return "Use the " + inSentence(boundKey(4)) + " and " + inSentence(boundKey(3)) +
           " keys to rotate.";
}
