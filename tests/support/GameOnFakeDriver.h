#pragma once

#include "Game/pPlinx.h"
#include "Input/pInputManager.h"
#include "Input/pKeyboardHandler.h"
#include "Platform/pResourceFolder.h"
#include "Sound/slSound.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeGame.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

#include <initializer_list>

// The application started (loaded, on whatever screen earlier tests left) in a 640 x 480 window
// of a frame driver without a display, on a hand-stepped clock, with the shipped resources and a
// fresh player folder. Frames run as the frame driver runs them; keys arrive as the event loop
// delivers them.
class GameOnFakeDriver : public GLTestContext {
protected:
    FakeClock clock;
    TempFolder userData;
    FakeGame driver;
    pGame* platform = nullptr;
    pPlinx* game = nullptr;

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        platform = FakeGame::install(&driver);
        driver.windowWidth = 640;
        driver.windowHeight = 480;
        driver.fullscreenWidth = 1024;
        driver.fullscreenHeight = 768;
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(userData.path());
        pInputManager::instance()->init();
        pKeyboardHandler::instance()->events.clear();
        game = pPlinx::instance();
        if (!game->initialised)
            step(0);
    }
    void TearDown() override {
        // The sound stops as it does when the game ends: a mixer still running while the
        // process exits would read torn-down tables.
        slExit();
        if (platform)
            FakeGame::install(platform);
        setResourceFolder("");
        setUserDataFolder("");
        GLTestContext::TearDown();
    }

    // One frame, `ms` after the previous one: the update callback, the end of the frame's
    // input, the draw callback.
    void step(double ms) {
        clock.advance(ms);
        game->update();
        pInputManager::instance()->update();
        game->draw();
    }
    void wait(double ms) {
        for (double t = 0; t < ms; t += 16)
            step(16);
    }
    void key(PKEYCODE k, bool down) {
        pEvent event{PEVENT_CLASS_KEYBOARD,
                     down ? PEVENT_RAW_KEY_DOWN : PEVENT_RAW_KEY_UP,
                     static_cast<uint32_t>(k),
                     0,
                     0,
                     0,
                     0,
                     0};
        keyEvent(nullptr, &event, pKeyboardHandler::instance());
    }
    // Each key pressed for a frame and let go for one.
    void tap(std::initializer_list<PKEYCODE> keys) {
        for (PKEYCODE k : keys) {
            key(k, true);
            step(16);
            key(k, false);
            step(16);
        }
    }
};
