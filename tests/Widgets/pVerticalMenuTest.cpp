#include "Widgets/pVerticalMenu.h"

#include "Game/pPlinx.h"
#include "Input/pInputManager.h"
#include "Platform/pAudioDevice.h"
#include "Platform/pResourceFolder.h"
#include "Sound/slSound.h"
#include "Text/pTextManager.h"
#include "tests/support/Events.h"
#include "tests/support/FakeClock.h"
#include "tests/support/GLTestContext.h"

#include <cmath>

namespace {

// The title menu at a 640 x 480 view: entries centred on x 320, rows 42 px apart from y 300.
// Blips play on channels whose mix is never pulled, so each stays until counted.
class MenuTest : public GLTestContext {
protected:
    FakeClock clock;
    pMouseHandler* mouse = pMouseHandler::instance();
    pVerticalMenu menu, one, empty;
    pPlinx* app = pPlinx::instance();
    short gameBlip = app->menuBlipSound;
    int gameVolume = app->fxVolume, blipsCounted = 0;

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        pInputManager::instance()->init();
        pKeyboardHandler::instance()->events.clear();
        pTextManager* text = pTextManager::instance();
        ASSERT_TRUE(text->setCurrentFont("Brisk") ||
                    text->loadAndSetFont(PLINX_SOURCE_DIR "/Resources/Brisk.tga", "Brisk"));
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        pAudioDevice::setManualOutput(true, 44100);
        ASSERT_EQ(slInit(4), 0);
        ASSERT_EQ(slLoadSoundFromBundle("", "menublip.mp3", &app->menuBlipSound), 0);
        app->fxVolume = 200;
        for (pVerticalMenu* m : {&menu, &one, &empty})
            m->x = 320, m->y = 300, m->fontSize = 24;
        for (const char* entry : {"Start Game", "High Scores", "Quit Game"})
            menu.addChoice(entry);
        one.addChoice("Continue");
    }
    void TearDown() override {
        // The game's own sound, if it was started, plays on afterwards.
        slStopAllChannels();
        pAudioDevice::setManualOutput(false, 0);
        gameBlip >= 0 ? void(slInit(4)) : slExit();
        app->menuBlipSound = gameBlip;
        app->fxVolume = gameVolume;
        setResourceFolder("");
        pInputManager::instance()->init();
    }
    // One update step followed by the end of the frame.
    std::string step(pVerticalMenu& m) {
        m.listenForEventsAndUpdate();
        std::string confirmed = m.getConfirmedChoice();
        pInputManager::instance()->update();
        return confirmed;
    }
    std::string tap(pVerticalMenu& m, PKEYCODE k) {
        hold(k);
        std::string confirmed = step(m);
        letGo(k);
        pInputManager::instance()->update();
        return confirmed;
    }
    // The pointer at (x, y) for the next step, moved there in this frame or resting, its button
    // pressed or not; then that step.
    std::string pointAt(int x, int y, bool moved, bool click = false) {
        mouse->x = x, mouse->y = y, mouse->lastX = moved ? x - 3 : x, mouse->lastY = y;
        mouse->buttons[PBUTTON_LEFT] = click;
        mouse->oldButtons[PBUTTON_LEFT] = false;
        return step(menu);
    }
    // Blips played so far, centred at the game's effects volume; each is stopped once counted.
    int blips() {
        blipsCounted += slCountSounds(app->menuBlipSound);
        for (short c = 0; c < gNumChannels; c++) {
            if (gChanArray[c].soundID == app->menuBlipSound) {
                EXPECT_EQ(gChanArray[c].volume * 1000 + gChanArray[c].stereoPosition, 200000);
            }
        }
        slStopAllChannels();
        return blipsCounted;
    }
};

} // namespace

TEST_F(MenuTest, KeysMoveWithABlipAndWrapAroundAndConfirmOnce) {
    std::string moves;
    for (PKEYCODE key : {PKEY_UP, PKEY_DOWN, PKEY_DOWN, PKEY_UP, PKEY_DOWN}) {
        moves += tap(menu, key);
        moves += " " + std::to_string(menu.currChoice) + ",";
        blips();
    }
    EXPECT_EQ(moves, "nothing_confirmed 2,nothing_confirmed 0,nothing_confirmed 1,"
                     "nothing_confirmed 0,nothing_confirmed 1,");
    EXPECT_EQ(tap(menu, PKEY_SPACE) + tap(menu, PKEY_RETURN), "High ScoresHigh Scores");
    EXPECT_EQ(menu.getCurrChoice(), "High Scores");
    EXPECT_EQ(blips(), 7);
    // Held Return confirms once, and a confirmation is collected once.
    hold(PKEY_RETURN);
    int confirmations = 0;
    for (int i = 0; i < 60; i++, clock.advance(16))
        confirmations += step(menu) != "nothing_confirmed";
    EXPECT_EQ(confirmations, 1);
    EXPECT_EQ(blips(), 8);
    EXPECT_EQ(menu.getConfirmedChoice(), "nothing_confirmed");
    letGo(PKEY_RETURN);
    // A one-entry menu does not blip on Up and Down; an empty one reads nothing.
    tap(one, PKEY_UP);
    tap(one, PKEY_DOWN);
    EXPECT_EQ(one.currChoice, 0);
    EXPECT_EQ(blips(), 8);
    EXPECT_EQ(tap(one, PKEY_RETURN), "Continue");
    EXPECT_EQ(blips(), 9);
    for (PKEYCODE k : {PKEY_UP, PKEY_DOWN, PKEY_RETURN, PKEY_SPACE})
        EXPECT_EQ(tap(empty, k), "nothing_confirmed");
    EXPECT_EQ(empty.getCurrChoice() + std::to_string(empty.currChoice), "0");
    empty.draw(1.0f);
}

TEST_F(MenuTest, EntriesAreDrawnCentredBreathingWithTheHighlightedOneLarger) {
    std::vector<pTextManager::DrawnString> drawn;
    pTextManager::instance()->drawn = &drawn;
    menu.currChoice = 1;
    menu.draw(0);
    menu.draw(static_cast<float>(M_PI / 0.3)); // half a breath later
    one.draw(0);                               // a lone entry is not highlighted
    pTextManager::instance()->drawn = nullptr;
    ASSERT_EQ(drawn.size(), 7u);
    const float sizes[] = {25.2f, 28.8f, 25.2f, 22.8f, 26.4f, 22.8f, 25.2f};
    for (int i = 0; i < 7; i++) {
        EXPECT_EQ(drawn[i].text, i < 6 ? menu.choices[i % 3] : "Continue");
        EXPECT_TRUE(drawn[i].x == 320 && drawn[i].y == 300 + (i % 3) * 42.0f &&
                    drawn[i].align == pTextManager::Align::CENTRE)
            << i;
        EXPECT_NEAR(drawn[i].h, sizes[i], 1e-4) << i;
    }
}

TEST_F(MenuTest, ThePointerTakesTheHighlightOnlyWhenItMovesAndClicksOnlyOverAnEntry) {
    // Row 1 spans y 318 to 342 on screen, its edges outside; its text is centred on 320.
    pointAt(320, 330, false);
    EXPECT_TRUE(menu.mouseOver);
    EXPECT_EQ(menu.currChoice, 0);
    pointAt(320, 330, true);
    EXPECT_EQ(menu.currChoice, 1);
    for (int y : {318, 342}) {
        pointAt(320, y, true);
        EXPECT_FALSE(menu.mouseOver) << y;
    }
    // A resting pointer over entry 2 with entry 1 highlighted: a click confirms entry 1.
    EXPECT_EQ(pointAt(320, 372, false, true), "High Scores");
    EXPECT_EQ(blips(), 1);
    const int half =
        static_cast<int>(pTextManager::instance()->getStringWidth("Start Game", 24) / 2);
    for (auto [x, y] : {std::pair{320, 200}, {321 + half, 290}, {319 - half, 290}, {320, 310}})
        EXPECT_EQ(pointAt(x, y, true, true), "nothing_confirmed") << x << "," << y;
    EXPECT_EQ(blips(), 1);
    EXPECT_EQ(pointAt(319 + half, 290, true, true), "Start Game");
    EXPECT_EQ(blips(), 2);
}
