#pragma once

// Stand-ins for the clock, the frame driver and the player's hands.
#include "Input/pInputManager.h"
#include "Input/pKeyboardHandler.h"
#include "Input/pMouseHandler.h"
#include "Platform/pEventLoop.h"
#include "Shell/pGame.h"
#include "Utils/pTimer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

// Installs a hand-stepped clock into pTimer for the life of the object.
class FakeClock {
public:
    FakeClock() {
        now_ = 1000000.0;
        stepPerReading = 0;
        pTimer::setTimeSource(&FakeClock::read);
    }
    ~FakeClock() { pTimer::setTimeSource(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void advance(double ms) { now_ += ms; }
    double now() const { return now_; }
    // Milliseconds added after every reading, for code that spins on the clock.
    static inline double stepPerReading = 0;

private:
    static double read() { return std::exchange(now_, now_ + stepPerReading); }
    static inline double now_ = 0;
};

// A frame driver without a display: it records what the game asks of it. install() makes it
// (or the previous one again) the frame driver pGame::instance() returns.
class FakeGame : public pGame {
public:
    int entered = 0, left = 0, swaps = 0;

    bool createWindowGLContext(int, int, int, int, std::string) override { return true; }
    void getAvailableDisplayModes(std::vector<pDisplayMode>& out) override { out.clear(); }
    bool createFullscreenGLContext(int) override { return ++entered, fullscreen = true; }
    void exitFullscreen() override { ++left, fullscreen = false; }
    void killWindow() override {}
    int getScreenWidth() override { return 1440; }
    int getScreenHeight() override { return 900; }
    void makeContextCurrent() override {}
    void swapBuffer() override { swaps++; }
    void run() override {}

    static pGame* install(pGame* game) { return std::exchange(instance_, game); }
};

// Keys and the mouse, delivered to the handlers as the event loop delivers them.
inline int sendKey(uint32_t kind, uint32_t code, uint32_t eventClass = PEVENT_CLASS_KEYBOARD) {
    pEvent event{eventClass, kind, code, 0, 0, 0, 0, 0};
    return keyEvent(nullptr, &event, pKeyboardHandler::instance());
}
inline int hold(PKEYCODE k) {
    return sendKey(PEVENT_RAW_KEY_DOWN, k);
}
inline int letGo(PKEYCODE k) {
    return sendKey(PEVENT_RAW_KEY_UP, k);
}
inline int sendModifiers(uint32_t mask) {
    pEvent event{PEVENT_CLASS_KEYBOARD, PEVENT_MODIFIERS_CHANGED, 0, mask, 0, 0, 0, 0};
    return keyEvent(nullptr, &event, pKeyboardHandler::instance());
}
inline int sendMouse(uint32_t kind, int x = 0, int y = 0, uint16_t button = 0, int wheel = 0,
                     void* next = nullptr) {
    pEvent event{PEVENT_CLASS_MOUSE,      kind, 0, 0, button, static_cast<int16_t>(x),
                 static_cast<int16_t>(y), wheel};
    return mouseEvent(next, &event, pMouseHandler::instance());
}

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

// A window event of SDL's, as the desktop sends it.
inline SDL_Event windowEvent(Uint32 windowId, Uint8 what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what, event.window.windowID = windowId;
    return event;
}
// Hands the events given, then the window system's, to the handlers as the event loop does (but
// for a close request), until `done` holds or two seconds have passed.
template <typename Done> bool pumpUntil(Done done, std::vector<SDL_Event> first = {}) {
    for (int tries = 0; tries < 200 && !done(); tries++, SDL_Delay(10)) {
        for (SDL_Event event; !first.empty() || SDL_PollEvent(&event);) {
            if (!first.empty())
                event = first.front(), first.erase(first.begin());
            std::vector<pEvent> out;
            translateEvent(event, out);
            for (pEvent& e : out)
                if (e.eventClass != PEVENT_CLASS_WINDOW || e.kind != PEVENT_WINDOW_CLOSE)
                    deliverEvent(e);
        }
    }
    return done();
}
