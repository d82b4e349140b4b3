#pragma once

#include "Input/pInputManager.h"
#include "Input/pKeyboardHandler.h"
#include "Input/pMouseHandler.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

// Fresh, unlocked input on a hand-stepped clock; events go in as the event loop delivers them.
class InputTest : public ::testing::Test {
protected:
    FakeClock clock;
    pInputManager* input = pInputManager::instance();
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    pMouseHandler* mouse = pMouseHandler::instance();

    void SetUp() override {
        input->init();
        keyboard->events.clear(); // init() leaves the event list to the next frame
    }

    int sendKey(uint32_t kind, uint32_t code) {
        pEvent event{PEVENT_CLASS_KEYBOARD, kind, code, 0, 0, 0, 0, 0};
        return keyEvent(nullptr, &event, keyboard);
    }
    void press(PKEYCODE k) { sendKey(PEVENT_RAW_KEY_DOWN, k); }
    void release(PKEYCODE k) { sendKey(PEVENT_RAW_KEY_UP, k); }
    int modifiers(uint32_t mask) {
        pEvent event{PEVENT_CLASS_KEYBOARD, PEVENT_MODIFIERS_CHANGED, 0, mask, 0, 0, 0, 0};
        return keyEvent(nullptr, &event, keyboard);
    }
    int sendMouse(uint32_t kind, uint16_t button, int16_t x, int16_t y, int32_t wheel,
                  void* next = nullptr) {
        pEvent event{PEVENT_CLASS_MOUSE, kind, 0, 0, button, x, y, wheel};
        return mouseEvent(next, &event, mouse);
    }
    // The end of a frame's update.
    void frame() { input->update(); }
};
