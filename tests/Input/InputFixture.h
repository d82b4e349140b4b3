#pragma once

#include "Input/pInputManager.h"
#include "tests/support/Events.h"
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
    void TearDown() override { input->init(); }
    // The end of a frame's update.
    void frame() { input->update(); }
};
