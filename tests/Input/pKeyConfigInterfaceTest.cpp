#include "Input/pKeyConfigInterface.h"

#include "File/pPreferencesManager.h"
#include "Input/pActionKeyHandler.h"
#include "tests/Input/InputFixture.h"

class KeyConfigTest : public InputTest {
protected:
    pKeyConfigInterface panel;

    void SetUp() override {
        InputTest::SetUp();
        panel.x = 320;
        panel.y = 100;
        panel.textHeight = 20;
        testing::internal::CaptureStdout();
        panel.setDefaultActions();
        testing::internal::GetCapturedStdout();
    }
    // The pointer at (x, y) for one update step, the button pressed if `click`.
    void pointAt(int x, int y, bool click = false) {
        sendMouse(PEVENT_MOUSE_MOVED, x, y);
        if (click)
            sendMouse(PEVENT_MOUSE_DOWN, 0, 0, PMOUSE_BUTTON_PRIMARY);
        panel.listenForEventsAndUpdate();
        frame();
        sendMouse(PEVENT_MOUSE_UP, 0, 0, PMOUSE_BUTTON_PRIMARY);
    }
};

TEST_F(KeyConfigTest, RowsFromDefaultsAndPreferences) {
    pKeyConfigInterface empty;
    EXPECT_EQ(empty.getTotalHeight(), 0.0f);
    EXPECT_NE(empty.mutex, panel.mutex);
    EXPECT_EQ(panel.getTotalHeight(), 335.0f);
    std::string rows;
    for (size_t i = 0; i < panel.actionNames.size(); i++)
        rows += panel.actionNames[i] + "=" + panel.keyNames[i] + ";";
    EXPECT_EQ(rows, "Player 1 Rotate CW=Option;Player 1 Rotate CCW=Control;Player 1 Left=Left;"
                    "Player 1 Down=Down;Player 1 Right=Right;Player 2 Rotate CW=Num 0;"
                    "Player 2 Rotate CCW=Num +;Player 2 Left=Num 4;Player 2 Down=Num 5;"
                    "Player 2 Right=Num 6;");

    // Preferences add rows after the existing ones; a missing entry reads as key 0.
    pPreferencesManager prefs;
    delete prefs.attribs;
    prefs.attribs = new cAttribs();
    prefs.attribs->addAttribKind("Player 1 Left");
    prefs.attribs->addDataToAttrib("Player 1 Left", "7");
    testing::internal::CaptureStdout();
    panel.loadPrefs(prefs);
    EXPECT_EQ(testing::internal::GetCapturedStdout().substr(0, 60),
              "addAction Player 1 Rotate CW code=0\naddAction Player 1 Rotat");
    ASSERT_EQ(panel.actionNames.size(), 20u);
    EXPECT_EQ(panel.actionNames[12], "Player 1 Left");
    EXPECT_EQ(panel.keyCodes[12], PKEY_X);
    EXPECT_EQ(panel.keyNames[12], "x");
    EXPECT_EQ(panel.keyCodes[13], PKEY_A);

    testing::internal::CaptureStdout();
    panel.setDefaultActions();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(panel.actionNames.size(), 10u);
    panel.bindKeysToActions();
    EXPECT_EQ(pActionKeyHandler::instance()->actionKeys.at("Player 2 Down"), PKEY_NUM_5);
}

TEST_F(KeyConfigTest, PointingSelectsRowsAndAClickCapturesOneKey) {
    // Row 0 spans y 80..100, row 1 115..135, each edge outside; the gaps select nothing.
    const int points[][2] = {{125, 1},
                             {107, 1},
                             {100, 1},
                             {90, 0},
                             {80, 0},
                             {80 + 9 * 35 + 10, 9},
                             {80 + 10 * 35 + 10, 9}};
    for (auto [y, row] : points) {
        pointAt(50, y);
        EXPECT_EQ(panel.selected, static_cast<unsigned>(row)) << y;
    }
    pointAt(0, 90); // the pointer off the left of the view is ignored
    EXPECT_EQ(panel.selected, 9u);
    EXPECT_FALSE(panel.listening);

    // A click listens for the row's key and holds the rest of the game off; Command does not
    // bind.
    pointAt(50, 80 + 2 * 35 + 10, true);
    ASSERT_TRUE(panel.listening);
    EXPECT_EQ(panel.selected, 2u);
    EXPECT_EQ(input->currentMutex, panel.mutex);
    sendModifiers(PMODIFIER_COMMAND);
    EXPECT_FALSE(keyboard->keyDown(PKEY_COMMAND, 0));
    panel.listenForEventsAndUpdate();
    frame();
    EXPECT_TRUE(panel.listening);
    sendModifiers(0);
    hold(PKEY_X);
    EXPECT_FALSE(keyboard->keyPressed(PKEY_X, 0));
    panel.listenForEventsAndUpdate();
    EXPECT_FALSE(panel.listening);
    EXPECT_EQ(panel.keyCodes[2], PKEY_X);
    EXPECT_EQ(panel.keyNames[2], "x");
    EXPECT_EQ(input->currentMutex, 0u);
    // The captured key stays spent until it is pressed again.
    frame();
    EXPECT_FALSE(keyboard->keyPressed(PKEY_X, 0));
    letGo(PKEY_X);
    frame();
    hold(PKEY_X);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_X, 0));

    // A panel that goes away mid-capture lets go of the lock.
    {
        pKeyConfigInterface gone;
        gone.listening = true;
        input->lock(gone.mutex);
    }
    EXPECT_EQ(input->currentMutex, 0u);
}
