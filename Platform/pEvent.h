#pragma once

#include <cstdint>

// One window-system event as the event loop hands it to the game's handlers. The codes are the
// ones the game has always used for them, so handlers and tests read like the rest of the input
// code whatever library delivers the events.
struct pEvent {
    uint32_t eventClass;  // PEVENT_CLASS_*
    uint32_t kind;        // PEVENT_* of that class
    uint32_t keyCode;     // raw key: the key position, a PKEYCODE (0 to 127)
    uint32_t modifiers;   // modifiers changed: the PMODIFIER_* bits held now
    uint16_t mouseButton; // mouse down/up: PMOUSE_BUTTON_PRIMARY, PMOUSE_BUTTON_SECONDARY, ...
    int16_t x;            // mouse moved/dragged: pointer position in global screen coordinates
    int16_t y;
    int32_t wheelDelta; // wheel moved: positive away from the user
};

constexpr uint32_t pFourCharCode(const char (&code)[5]) {
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

constexpr uint32_t PEVENT_CLASS_KEYBOARD = pFourCharCode("keyb");
constexpr uint32_t PEVENT_CLASS_MOUSE = pFourCharCode("mous");
constexpr uint32_t PEVENT_CLASS_WINDOW = pFourCharCode("wind");

// Keyboard kinds. The system's own key repeat is never delivered to the game.
constexpr uint32_t PEVENT_RAW_KEY_DOWN = 1;
constexpr uint32_t PEVENT_RAW_KEY_REPEAT = 2;
constexpr uint32_t PEVENT_RAW_KEY_UP = 3;
constexpr uint32_t PEVENT_MODIFIERS_CHANGED = 4;

// Mouse kinds.
constexpr uint32_t PEVENT_MOUSE_DOWN = 1;
constexpr uint32_t PEVENT_MOUSE_UP = 2;
constexpr uint32_t PEVENT_MOUSE_MOVED = 5;
constexpr uint32_t PEVENT_MOUSE_DRAGGED = 6;
constexpr uint32_t PEVENT_MOUSE_WHEEL_MOVED = 10;

// Window kinds.
// Part of the window's content was lost (an expose) and wants drawing again.
constexpr uint32_t PEVENT_WINDOW_UPDATE = 1;
// The game's window lost the keyboard to another program (or was minimised).
constexpr uint32_t PEVENT_WINDOW_DEACTIVATED = 6;
constexpr uint32_t PEVENT_WINDOW_SHOWN = 24;
// Hidden by the player or the desktop, not by the game itself (for full screen).
constexpr uint32_t PEVENT_WINDOW_HIDDEN = 25;
// Minimised, and back from it.
constexpr uint32_t PEVENT_WINDOW_COLLAPSED = 67;
constexpr uint32_t PEVENT_WINDOW_EXPANDED = 70;
// Wholly covered by other windows, and partly or wholly in sight again. The desktop reports these
// only where it knows (not under a compositing window manager, which keeps every window drawn).
constexpr uint32_t PEVENT_WINDOW_COVERED = 1001;
constexpr uint32_t PEVENT_WINDOW_UNCOVERED = 1002;
constexpr uint32_t PEVENT_WINDOW_BOUNDS_CHANGED = 27;
constexpr uint32_t PEVENT_WINDOW_CLOSE = 72;
constexpr uint32_t PEVENT_WINDOW_ZOOMED = 76;

// Modifier mask bits. Modifier keys arrive only as a changed mask, never as raw key events.
constexpr uint32_t PMODIFIER_COMMAND = 0x0100;
constexpr uint32_t PMODIFIER_SHIFT = 0x0200;
constexpr uint32_t PMODIFIER_CAPS_LOCK = 0x0400;
constexpr uint32_t PMODIFIER_OPTION = 0x0800;
constexpr uint32_t PMODIFIER_CONTROL = 0x1000;

// Mouse button numbers.
constexpr uint16_t PMOUSE_BUTTON_PRIMARY = 1;
constexpr uint16_t PMOUSE_BUTTON_SECONDARY = 2;
constexpr uint16_t PMOUSE_BUTTON_TERTIARY = 3;

// Handler results.
constexpr int PEVENT_HANDLED = 0;
constexpr int PEVENT_NOT_HANDLED = -9874;

// A handler: `next` is the rest of the chain for this event (a pEventHandlerCall, or null at the
// end), `userData` what the handler was installed with.
typedef int (*pEventHandler)(void* next, pEvent* event, void* userData);

// One link of a handler chain, as the event loop builds it for each event.
struct pEventHandlerCall {
    pEventHandler handler;
    void* userData;
    pEventHandlerCall* next;
};

// Passes the event on to the rest of the chain and gives its result; nobody left means the
// event stays unhandled.
inline int callNextEventHandler(void* next, pEvent* event) {
    pEventHandlerCall* call = static_cast<pEventHandlerCall*>(next);
    if (!call || !call->handler)
        return PEVENT_NOT_HANDLED;
    return call->handler(call->next, event, call->userData);
}
