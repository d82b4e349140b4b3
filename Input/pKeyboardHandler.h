#pragma once

#include "Input/pKeyIterator.h"
#include "Platform/pEvent.h"

#include <list>
#include <string>

// Key positions of a US keyboard: the raw code the keyboard reports for a physical key, not the
// character it types. Codes without a name here are still tracked.
enum PKEYCODE : int {
    PKEY_A = 0,
    PKEY_S = 1,
    PKEY_D = 2,
    PKEY_F = 3,
    PKEY_H = 4,
    PKEY_G = 5,
    PKEY_Z = 6,
    PKEY_X = 7,
    PKEY_C = 8,
    PKEY_V = 9,
    PKEY_B = 11,
    PKEY_Q = 12,
    PKEY_W = 13,
    PKEY_E = 14,
    PKEY_R = 15,
    PKEY_Y = 16,
    PKEY_T = 17,
    PKEY_1 = 18,
    PKEY_2 = 19,
    PKEY_3 = 20,
    PKEY_4 = 21,
    PKEY_6 = 22,
    PKEY_5 = 23,
    PKEY_EQUALS = 24,
    PKEY_9 = 25,
    PKEY_7 = 26,
    PKEY_MINUS = 27,
    PKEY_8 = 28,
    PKEY_0 = 29,
    PKEY_RIGHT_BRACKET = 30,
    PKEY_O = 31,
    PKEY_U = 32,
    PKEY_LEFT_BRACKET = 33,
    PKEY_I = 34,
    PKEY_P = 35,
    PKEY_RETURN = 36,
    PKEY_L = 37,
    PKEY_J = 38,
    PKEY_QUOTE = 39,
    PKEY_K = 40,
    PKEY_SEMICOLON = 41,
    PKEY_BACKSLASH = 42,
    PKEY_COMMA = 43,
    PKEY_SLASH = 44,
    PKEY_N = 45,
    PKEY_M = 46,
    PKEY_PERIOD = 47,
    PKEY_TAB = 48,
    PKEY_SPACE = 49,
    PKEY_GRAVE = 50,
    PKEY_BACKSPACE = 51,
    PKEY_ESCAPE = 53,
    PKEY_COMMAND = 55,
    PKEY_SHIFT = 56,
    PKEY_CAPS_LOCK = 57,
    PKEY_OPTION = 58,
    PKEY_CONTROL = 59,
    PKEY_NUM_PERIOD = 65,
    PKEY_NUM_MULTIPLY = 67,
    PKEY_NUM_PLUS = 69,
    PKEY_NUM_SLASH = 75,
    PKEY_NUM_MINUS = 78,
    PKEY_NUM_EQUALS = 81,
    PKEY_NUM_0 = 82,
    PKEY_NUM_1 = 83,
    PKEY_NUM_2 = 84,
    PKEY_NUM_3 = 85,
    PKEY_NUM_4 = 86,
    PKEY_NUM_5 = 87,
    PKEY_NUM_6 = 88,
    PKEY_NUM_7 = 89,
    PKEY_NUM_8 = 91,
    PKEY_NUM_9 = 92,
    PKEY_F5 = 96,
    PKEY_F6 = 97,
    PKEY_F7 = 98,
    PKEY_F3 = 99,
    PKEY_F8 = 100,
    PKEY_F9 = 101,
    PKEY_F11 = 103,
    PKEY_F13 = 105,
    PKEY_F10 = 109,
    PKEY_F12 = 111,
    PKEY_HELP = 114,
    PKEY_HOME = 115,
    PKEY_PAGE_UP = 116,
    PKEY_DELETE = 117,
    PKEY_F4 = 118,
    PKEY_END = 119,
    PKEY_F2 = 120,
    PKEY_PAGE_DOWN = 121,
    PKEY_F1 = 122,
    PKEY_LEFT = 123,
    PKEY_RIGHT = 124,
    PKEY_DOWN = 125,
    PKEY_UP = 126,
};

// Every key's state from one frame to the next, with timed auto-repeat and the raw key events of
// the frame. Every query takes a listener id (0 for code that holds no input lock).
class pKeyboardHandler {
public:
    static const int KEY_COUNT = 128;

    bool keys[KEY_COUNT];
    bool oldKeys[KEY_COUNT];
    unsigned int repeatMarks[KEY_COUNT];
    bool firstRepeat[KEY_COUNT];
    bool repeatEnabled;
    double repeatDelay;
    double repeatRate;
    std::list<pKeyEvent> events;
    // Always empty: what a locked-out listener iterates over.
    std::list<pKeyEvent> noEvents;

    static pKeyboardHandler* instance();

    void init();
    void release();
    void clear();
    void update();

    void enableRepeat(double delay, double rate);
    void enableRepeat();
    void disableRepeat();
    void resetRepeat(PKEYCODE k);
    void resetAllRepeats();

    bool keyDown(PKEYCODE k, unsigned int mutex);
    bool keyUp(PKEYCODE k, unsigned int mutex);
    bool keyWasDown(PKEYCODE k, unsigned int mutex);
    bool keyWasUp(PKEYCODE k, unsigned int mutex);
    // Went down since the previous frame (even if it is already up again: a quick tap falls
    // between two frames), or (with repeat on) held past its repeat time. Each true answer
    // restarts the key's repeat clock.
    bool keyPressed(PKEYCODE k, unsigned int mutex);
    bool keyUnpressed(PKEYCODE k, unsigned int mutex);

    pKeyIterator getKeyIterator(unsigned int mutex);

    // The character the key types unshifted; 0 for keys that type none.
    char keycodeToPrintable(PKEYCODE k);
    // The key's display name; "???" for codes without one.
    std::string keycodeToIdentifier(PKEYCODE k);

    // Called by the event callback when the key goes from up to down.
    void noteKeyWentDown(PKEYCODE k);

private:
    pKeyboardHandler();
    static pKeyboardHandler* instance_;
    // The key went from up to down since the last update().
    bool wentDown_[KEY_COUNT];
};

// The keyboard callback of the event loop: raw key down/up and modifier changes. `handler` is the
// pKeyboardHandler. Returns PEVENT_HANDLED, or PEVENT_NOT_HANDLED for anything it does not take.
int keyEvent(void* next, pEvent* event, void* handler);
