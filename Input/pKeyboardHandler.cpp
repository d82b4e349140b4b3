#include "Input/pKeyboardHandler.h"

#include "Input/pInputManager.h"
#include "Utils/pTimer.h"

#include <cstring>

namespace {

struct KeyName {
    PKEYCODE code;
    const char* identifier;
    char printable;
};

const KeyName keyNames[] = {
    {PKEY_A, "a", 97},
    {PKEY_S, "s", 115},
    {PKEY_D, "d", 100},
    {PKEY_F, "f", 102},
    {PKEY_H, "h", 104},
    {PKEY_G, "g", 103},
    {PKEY_Z, "z", 122},
    {PKEY_X, "x", 120},
    {PKEY_C, "c", 99},
    {PKEY_V, "v", 118},
    {PKEY_B, "b", 98},
    {PKEY_Q, "q", 113},
    {PKEY_W, "w", 119},
    {PKEY_E, "e", 101},
    {PKEY_R, "r", 114},
    {PKEY_Y, "y", 121},
    {PKEY_T, "t", 116},
    {PKEY_1, "1", 49},
    {PKEY_2, "2", 50},
    {PKEY_3, "3", 51},
    {PKEY_4, "4", 52},
    {PKEY_6, "6", 54},
    {PKEY_5, "5", 53},
    {PKEY_EQUALS, "=", 61},
    {PKEY_9, "9", 57},
    {PKEY_7, "7", 55},
    {PKEY_MINUS, "-", 45},
    {PKEY_8, "8", 56},
    {PKEY_0, "0", 48},
    {PKEY_RIGHT_BRACKET, "]", 93},
    {PKEY_O, "o", 111},
    {PKEY_U, "u", 117},
    {PKEY_LEFT_BRACKET, "[", 91},
    {PKEY_I, "i", 105},
    {PKEY_P, "p", 112},
    {PKEY_RETURN, "Return", 0},
    {PKEY_L, "l", 108},
    {PKEY_J, "j", 106},
    {PKEY_QUOTE, "'", 39},
    {PKEY_K, "k", 107},
    {PKEY_SEMICOLON, ";", 59},
    {PKEY_BACKSLASH, "\\", 92},
    {PKEY_COMMA, ",", 44},
    {PKEY_SLASH, "/", 47},
    {PKEY_N, "n", 110},
    {PKEY_M, "m", 109},
    {PKEY_PERIOD, ".", 46},
    {PKEY_TAB, "Tab", 0},
    {PKEY_SPACE, "Space", 32},
    {PKEY_GRAVE, "`", 96},
    {PKEY_BACKSPACE, "Backspace", 0},
    {PKEY_ESCAPE, "Esc", 0},
    {PKEY_COMMAND, "Command", 0},
    {PKEY_SHIFT, "Shift", 0},
    {PKEY_CAPS_LOCK, "Caps Lock", 0},
    {PKEY_OPTION, "Option", 0},
    {PKEY_CONTROL, "Control", 0},
    {PKEY_NUM_PERIOD, "Num .", 46},
    {PKEY_NUM_MULTIPLY, "Num *", 42},
    {PKEY_NUM_PLUS, "Num +", 43},
    {PKEY_NUM_SLASH, "Num /", 47},
    {PKEY_NUM_MINUS, "Num -", 45},
    {PKEY_NUM_EQUALS, "Num =", 61},
    {PKEY_NUM_0, "Num 0", 48},
    {PKEY_NUM_1, "Num 1", 49},
    {PKEY_NUM_2, "Num 2", 50},
    {PKEY_NUM_3, "Num 3", 51},
    {PKEY_NUM_4, "Num 4", 52},
    {PKEY_NUM_5, "Num 5", 53},
    {PKEY_NUM_6, "Num 6", 54},
    {PKEY_NUM_7, "Num 7", 55},
    {PKEY_NUM_8, "Num 8", 56},
    {PKEY_NUM_9, "Num 9", 57},
    {PKEY_F5, "F5", 0},
    {PKEY_F6, "F6", 0},
    {PKEY_F7, "F7", 0},
    {PKEY_F3, "F3", 0},
    {PKEY_F8, "F8", 0},
    {PKEY_F9, "F9", 0},
    {PKEY_F11, "F11", 0},
    {PKEY_F13, "F13", 0},
    {PKEY_F10, "F10", 0},
    {PKEY_F12, "F12", 0},
    {PKEY_HELP, "Help", 0},
    {PKEY_HOME, "Home", 0},
    {PKEY_PAGE_UP, "Page Up", 0},
    {PKEY_DELETE, "Delete", 0},
    {PKEY_F4, "F4", 0},
    {PKEY_END, "End", 0},
    {PKEY_F2, "F2", 0},
    {PKEY_PAGE_DOWN, "Page Down", 0},
    {PKEY_F1, "F1", 0},
    {PKEY_LEFT, "Left", 0},
    {PKEY_RIGHT, "Right", 0},
    {PKEY_DOWN, "Down", 0},
    {PKEY_UP, "Up", 0},
};

struct KeyNameTable {
    const char* identifier[pKeyboardHandler::KEY_COUNT];
    char printable[pKeyboardHandler::KEY_COUNT];

    KeyNameTable() {
        for (int k = 0; k < pKeyboardHandler::KEY_COUNT; k++) {
            identifier[k] = "???";
            printable[k] = 0;
        }
        for (const KeyName& name : keyNames) {
            identifier[name.code] = name.identifier;
            printable[name.code] = name.printable;
        }
    }
};

const KeyNameTable& keyNameTable() {
    static const KeyNameTable table;
    return table;
}

bool validKey(PKEYCODE k) {
    return k >= 0 && k < pKeyboardHandler::KEY_COUNT;
}

bool served(unsigned int mutex) {
    return pInputManager::instance()->validMutex(mutex);
}

// The modifier keys in the order their events are appended on a change.
struct Modifier {
    uint32_t mask;
    PKEYCODE code;
};
const Modifier modifiers[] = {
    {PMODIFIER_COMMAND, PKEY_COMMAND}, {PMODIFIER_CAPS_LOCK, PKEY_CAPS_LOCK},
    {PMODIFIER_SHIFT, PKEY_SHIFT},     {PMODIFIER_CONTROL, PKEY_CONTROL},
    {PMODIFIER_OPTION, PKEY_OPTION},
};

} // namespace

pKeyboardHandler* pKeyboardHandler::instance_ = nullptr;

pKeyboardHandler* pKeyboardHandler::instance() {
    if (!instance_)
        instance_ = new pKeyboardHandler();
    return instance_;
}

// The tables are filled and the marks made here already, so a key event that arrives before
// init() cannot reach a mark that does not exist.
pKeyboardHandler::pKeyboardHandler() {
    std::memset(keys, 0, sizeof keys);
    std::memset(oldKeys, 0, sizeof oldKeys);
    std::memset(firstRepeat, 0, sizeof firstRepeat);
    std::memset(wentDown_, 0, sizeof wentDown_);
    for (int k = 0; k < KEY_COUNT; k++)
        repeatMarks[k] = pTimer::instance()->setMark();
    repeatEnabled = false;
    repeatDelay = 0.0;
    repeatRate = 0.0;
}

void pKeyboardHandler::init() {
    clear();
    for (int k = 0; k < KEY_COUNT; k++)
        repeatMarks[k] = pTimer::instance()->setMark();
    repeatEnabled = false;
    repeatDelay = 0.0;
    repeatRate = 0.0;
}

void pKeyboardHandler::release() {}

void pKeyboardHandler::clear() {
    for (int k = 0; k < KEY_COUNT; k++) {
        keys[k] = false;
        oldKeys[k] = false;
        firstRepeat[k] = false;
        wentDown_[k] = false;
    }
}

void pKeyboardHandler::update() {
    events.clear();
    std::memcpy(oldKeys, keys, sizeof keys);
    std::memset(wentDown_, 0, sizeof wentDown_);
}

void pKeyboardHandler::noteKeyWentDown(PKEYCODE k) {
    if (validKey(k))
        wentDown_[k] = true;
}

void pKeyboardHandler::enableRepeat(double delay, double rate) {
    repeatEnabled = true;
    repeatDelay = delay;
    repeatRate = rate;
}

void pKeyboardHandler::enableRepeat() {
    repeatEnabled = true;
}

void pKeyboardHandler::disableRepeat() {
    repeatEnabled = false;
}

void pKeyboardHandler::resetRepeat(PKEYCODE k) {
    if (!repeatEnabled || !validKey(k))
        return;
    firstRepeat[k] = true;
    pTimer::instance()->resetMark(repeatMarks[k]);
}

void pKeyboardHandler::resetAllRepeats() {
    for (int k = 0; k < KEY_COUNT; k++)
        resetRepeat(PKEYCODE(k));
}

bool pKeyboardHandler::keyDown(PKEYCODE k, unsigned int mutex) {
    return validKey(k) && served(mutex) && keys[k];
}

bool pKeyboardHandler::keyUp(PKEYCODE k, unsigned int mutex) {
    return !keyDown(k, mutex);
}

bool pKeyboardHandler::keyWasDown(PKEYCODE k, unsigned int mutex) {
    return validKey(k) && served(mutex) && oldKeys[k];
}

bool pKeyboardHandler::keyWasUp(PKEYCODE k, unsigned int mutex) {
    return !keyWasDown(k, mutex);
}

// The state is read as listener 0 once the caller has been let through, so while anybody holds
// the lock nobody, the holder included, sees presses. A key that went down since the previous
// frame is a fresh press even when it is up again by now: at 30 frames a second a quick tap
// (or a scripted one) often goes down and up between two frames.
bool pKeyboardHandler::keyPressed(PKEYCODE k, unsigned int mutex) {
    if (!served(mutex) || !validKey(k))
        return false;
    bool tapped = served(0) && wentDown_[k];
    if (!keyDown(k, 0) && !tapped)
        return false;
    pTimer* timer = pTimer::instance();
    if (tapped || keyWasUp(k, 0)) {
        firstRepeat[k] = true;
        timer->resetMark(repeatMarks[k]);
        return true;
    }
    if (!repeatEnabled)
        return false;
    double wait = firstRepeat[k] ? repeatDelay : repeatRate;
    if (timer->timeSinceMark(repeatMarks[k]) > wait) {
        firstRepeat[k] = false;
        timer->resetMark(repeatMarks[k]);
        return true;
    }
    return false;
}

bool pKeyboardHandler::keyUnpressed(PKEYCODE k, unsigned int mutex) {
    return served(mutex) && keyUp(k, 0) && keyWasDown(k, 0);
}

pKeyIterator pKeyboardHandler::getKeyIterator(unsigned int mutex) {
    return pKeyIterator(served(mutex) ? events : noEvents);
}

char pKeyboardHandler::keycodeToPrintable(PKEYCODE k) {
    return validKey(k) ? keyNameTable().printable[k] : 0;
}

std::string pKeyboardHandler::keycodeToIdentifier(PKEYCODE k) {
    return validKey(k) ? keyNameTable().identifier[k] : "???";
}

int keyEvent(void*, pEvent* event, void* userData) {
    pKeyboardHandler* handler = static_cast<pKeyboardHandler*>(userData);
    if (!event || !handler || event->eventClass != PEVENT_CLASS_KEYBOARD)
        return PEVENT_NOT_HANDLED;
    switch (event->kind) {
    case PEVENT_RAW_KEY_DOWN:
    case PEVENT_RAW_KEY_UP: {
        // The tables hold the keyboard's 128 positions; anything beyond is not a key we know.
        if (event->keyCode >= uint32_t(pKeyboardHandler::KEY_COUNT))
            return PEVENT_NOT_HANDLED;
        bool down = event->kind == PEVENT_RAW_KEY_DOWN;
        PKEYCODE code = PKEYCODE(event->keyCode);
        if (down && !handler->keys[code])
            handler->noteKeyWentDown(code);
        handler->keys[code] = down;
        handler->events.push_back(pKeyEvent(down, code));
        return PEVENT_HANDLED;
    }
    case PEVENT_MODIFIERS_CHANGED:
        // Every modifier reports its state on every change, changed or not.
        for (const Modifier& modifier : modifiers) {
            bool down = (event->modifiers & modifier.mask) != 0;
            if (down && !handler->keys[modifier.code])
                handler->noteKeyWentDown(modifier.code);
            handler->keys[modifier.code] = down;
            handler->events.push_back(pKeyEvent(down, modifier.code));
        }
        return PEVENT_HANDLED;
    default:
        return PEVENT_NOT_HANDLED;
    }
}
