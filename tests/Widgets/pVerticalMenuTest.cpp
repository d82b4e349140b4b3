#include "Widgets/pVerticalMenu.h"

#include "Game/pPlinx.h"
#include "Platform/pAudioDevice.h"
#include "Platform/pResourceFolder.h"
#include "Sound/slSound.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"
#include "Input/pInputManager.h"
#include "Input/pKeyboardHandler.h"
#include "Input/pMouseHandler.h"
#include "tests/support/FakeClock.h"
#include "tests/support/GLTestContext.h"

#include <gtest/gtest.h>

namespace {

// The title menu at a 640 x 480 view: entries centred on x 320, rows 42 px apart from y 300.
class MenuTest : public GLTestContext {
protected:
    FakeClock clock;
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    pMouseHandler* mouse = pMouseHandler::instance();
    pVerticalMenu menu;

    pPlinx* app = nullptr;
    int blipsCounted = 0;

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        pInputManager::instance()->init();
        keyboard->events.clear();
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(PLINX_SOURCE_DIR "/tests/data/no-such-folder");
        app = pPlinx::instance();
        pTextManager::instance()->loadFont(getResourcePath("Brisk.tga"), "Brisk");
        ASSERT_TRUE(pTextManager::instance()->setCurrentFont("Brisk"));
        // The mix is never pulled, so every blip stays on its channel until counted.
        pAudioDevice::setManualOutput(true, 44100);
        ASSERT_EQ(slInit(4), 0);
        ASSERT_EQ(slLoadSoundFromBundle("", "menublip.mp3", &app->menuBlipSound), 0);
        app->fxVolume = 200;
        place(menu);
        for (const char* entry : {"Start Game", "High Scores", "Quit Game"})
            menu.addChoice(entry);
    }

    static void place(pVerticalMenu& m) {
        m.x = 320;
        m.y = 300;
        m.fontSize = 24;
    }
    void press(PKEYCODE k) { send(PEVENT_RAW_KEY_DOWN, k); }
    void release(PKEYCODE k) { send(PEVENT_RAW_KEY_UP, k); }
    void send(uint32_t kind, PKEYCODE k) {
        pEvent event{PEVENT_CLASS_KEYBOARD, kind, static_cast<uint32_t>(k), 0, 0, 0, 0, 0};
        keyEvent(nullptr, &event, keyboard);
    }
    void frame() { pInputManager::instance()->update(); }
    // One update step followed by the end of the frame.
    std::string step(pVerticalMenu& m) {
        m.listenForEventsAndUpdate();
        std::string confirmed = m.getConfirmedChoice();
        frame();
        return confirmed;
    }
    std::string tap(pVerticalMenu& m, PKEYCODE k) {
        press(k);
        std::string confirmed = step(m);
        release(k);
        frame();
        return confirmed;
    }
    // Puts the pointer at (x, y); `moved` decides whether it got there during this frame.
    void pointAt(int x, int y, bool moved) {
        mouse->x = x;
        mouse->y = y;
        mouse->lastX = moved ? x - 3 : x;
        mouse->lastY = y;
    }
    void click() {
        mouse->buttons[PBUTTON_LEFT] = true;
        mouse->oldButtons[PBUTTON_LEFT] = false;
    }
    void TearDown() override {
        GLTestContext::TearDown();
        if (!app)
            return;
        slExit();
        pAudioDevice::setManualOutput(false, 0);
        app->menuBlipSound = -1;
        setResourceFolder("");
        setUserDataFolder("");
    }
    // Blips played so far; each is stopped once counted so the channels stay free.
    int blips() {
        blipsCounted += slCountSounds(app->menuBlipSound);
        for (short c = 0; c < gNumChannels; c++) {
            if (gChanArray[c].soundID == app->menuBlipSound) {
                EXPECT_EQ(gChanArray[c].volume, 200);
            }
        }
        slStopAllChannels();
        return blipsCounted;
    }
};

TEST_F(MenuTest, UpAndDownWrapAroundWithABlip) {
    EXPECT_EQ(tap(menu, PKEY_UP), "nothing_confirmed");
    EXPECT_EQ(menu.currChoice, 2);
    EXPECT_EQ(blips(), 1);
    tap(menu, PKEY_DOWN);
    EXPECT_EQ(menu.currChoice, 0);
    tap(menu, PKEY_DOWN);
    EXPECT_EQ(menu.currChoice, 1);
    tap(menu, PKEY_UP);
    EXPECT_EQ(menu.currChoice, 0);
    EXPECT_EQ(blips(), 4);

    EXPECT_EQ(tap(menu, PKEY_RETURN), "Start Game");
    EXPECT_EQ(blips(), 5);
    tap(menu, PKEY_DOWN);
    EXPECT_EQ(tap(menu, PKEY_SPACE), "High Scores");
    EXPECT_EQ(menu.getCurrChoice(), "High Scores");
}

TEST_F(MenuTest, PointerTakesTheHighlightOnlyWhenItMoves) {
    // Row 1 spans y 318 to 342 on screen; its text is centred on 320.
    pointAt(320, 330, false);
    step(menu);
    EXPECT_TRUE(menu.mouseOver);
    EXPECT_EQ(menu.currChoice, 0);

    pointAt(320, 330, true);
    step(menu);
    EXPECT_EQ(menu.currChoice, 1);

    // The box is strictly inside: its top edge is outside.
    pointAt(320, 318, true);
    step(menu);
    EXPECT_FALSE(menu.mouseOver);

    // A resting pointer over entry 2 with entry 1 highlighted: a click confirms entry 1.
    tap(menu, PKEY_DOWN);
    tap(menu, PKEY_UP);
    pointAt(320, 372, false);
    click();
    EXPECT_EQ(step(menu), "High Scores");
}

TEST_F(MenuTest, ClickAwayFromEveryEntryDoesNothing) {
    const float half = pTextManager::instance()->getStringWidth("Start Game", 24) / 2;
    for (auto [x, y] : {std::pair{320, 200}, std::pair{static_cast<int>(320 + half + 1), 290},
                        std::pair{320, 310}}) {
        pointAt(x, y, true);
        click();
        EXPECT_EQ(step(menu), "nothing_confirmed") << x << "," << y;
        EXPECT_FALSE(menu.mouseOver);
    }
    EXPECT_EQ(blips(), 0);

    pointAt(static_cast<int>(320 + half - 1), 290, true);
    click();
    EXPECT_EQ(step(menu), "Start Game");
    EXPECT_EQ(blips(), 1);
}

TEST_F(MenuTest, OneEntryMenuIsSilentOnUpAndDown) {
    pVerticalMenu one;
    place(one);
    one.addChoice("Continue");
    tap(one, PKEY_UP);
    tap(one, PKEY_DOWN);
    EXPECT_EQ(one.currChoice, 0);
    EXPECT_EQ(blips(), 0);
    EXPECT_EQ(tap(one, PKEY_RETURN), "Continue");
    EXPECT_EQ(blips(), 1);
}

TEST_F(MenuTest, HeldReturnConfirmsOnce) {
    press(PKEY_RETURN);
    int confirmations = 0;
    for (int i = 0; i < 60; i++) {
        if (step(menu) != "nothing_confirmed")
            confirmations++;
        clock.advance(16);
    }
    EXPECT_EQ(confirmations, 1);
    EXPECT_EQ(blips(), 1);
    // Collected once even if the owner asks again.
    EXPECT_EQ(menu.getConfirmedChoice(), "nothing_confirmed");
}

TEST_F(MenuTest, EmptyMenuNeverReadsPastItsList) {
    pVerticalMenu empty;
    place(empty);
    pointAt(320, 290, true);
    click();
    for (PKEYCODE k : {PKEY_UP, PKEY_DOWN, PKEY_RETURN, PKEY_SPACE})
        EXPECT_EQ(tap(empty, k), "nothing_confirmed");
    EXPECT_EQ(empty.currChoice, 0);
    EXPECT_EQ(empty.getCurrChoice(), "");
    empty.draw(1.0f);
}

} // namespace
