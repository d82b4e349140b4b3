#pragma once

// Keys and the mouse, delivered to the handlers as the event loop delivers them.
#include "Input/pKeyboardHandler.h"
#include "Input/pMouseHandler.h"

inline pEvent eventOf(uint32_t eventClass, uint32_t kind) {
    pEvent event{};
    event.eventClass = eventClass;
    event.kind = kind;
    return event;
}
inline int sendKey(uint32_t kind, uint32_t code, uint32_t eventClass = PEVENT_CLASS_KEYBOARD) {
    pEvent event = eventOf(eventClass, kind);
    event.keyCode = code;
    return keyEvent(nullptr, &event, pKeyboardHandler::instance());
}
inline int hold(PKEYCODE k) {
    return sendKey(PEVENT_RAW_KEY_DOWN, k);
}
inline int letGo(PKEYCODE k) {
    return sendKey(PEVENT_RAW_KEY_UP, k);
}
inline int sendModifiers(uint32_t mask) {
    pEvent event = eventOf(PEVENT_CLASS_KEYBOARD, PEVENT_MODIFIERS_CHANGED);
    event.modifiers = mask;
    return keyEvent(nullptr, &event, pKeyboardHandler::instance());
}
inline int sendMouse(uint32_t kind, int x = 0, int y = 0, uint16_t button = 0, int wheel = 0,
                     void* next = nullptr) {
    pEvent event = eventOf(PEVENT_CLASS_MOUSE, kind);
    event.mouseButton = button;
    event.x = static_cast<int16_t>(x), event.y = static_cast<int16_t>(y), event.wheelDelta = wheel;
    return mouseEvent(next, &event, pMouseHandler::instance());
}
