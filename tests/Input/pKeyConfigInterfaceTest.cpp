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
        panel.setDefaultActions();
    }
    void TearDown() override { input->currentMutex = 0; }

    void pointAt(int x, int y) {
        sendMouse(PEVENT_MOUSE_MOVED, 0, int16_t(x), int16_t(y), 0);
        panel.listenForEventsAndUpdate();
        frame();
    }
    void clickAt(int x, int y) {
        sendMouse(PEVENT_MOUSE_MOVED, 0, int16_t(x), int16_t(y), 0);
        sendMouse(PEVENT_MOUSE_DOWN, PMOUSE_BUTTON_PRIMARY, 0, 0, 0);
        panel.listenForEventsAndUpdate();
        frame();
    }
};

TEST_F(KeyConfigTest, RowsFromDefaultsAndPreferences) {
    pKeyConfigInterface empty;
    EXPECT_EQ(empty.getTotalHeight(), 0.0f);
    EXPECT_NE(empty.mutex, panel.mutex);

    ASSERT_EQ(panel.actionNames.size(), 10u);
    EXPECT_EQ(panel.getTotalHeight(), 335.0f);
    EXPECT_EQ(panel.actionNames[0], "Player 1 Rotate CW");
    EXPECT_EQ(panel.keyCodes[0], PKEY_OPTION);
    EXPECT_EQ(panel.actionNames[6], "Player 2 Rotate CCW");
    EXPECT_EQ(panel.keyCodes[6], PKEY_NUM_PLUS);
    EXPECT_EQ(panel.keyNames[2], keyboard->keycodeToIdentifier(PKEY_LEFT));

    // Preferences add rows after the existing ones; a missing entry reads as key 0.
    pPreferencesManager prefs;
    delete prefs.attribs;
    prefs.attribs = new cAttribs();
    prefs.attribs->addAttribKind("Player 1 Left");
    prefs.attribs->addDataToAttrib("Player 1 Left", "7");
    panel.loadPrefs(prefs);
    ASSERT_EQ(panel.actionNames.size(), 20u);
    EXPECT_EQ(panel.actionNames[12], "Player 1 Left");
    EXPECT_EQ(panel.keyCodes[12], PKEY_X);
    EXPECT_EQ(panel.keyNames[12], "x");
    EXPECT_EQ(panel.keyCodes[13], PKEY_A);

    panel.setDefaultActions();
    EXPECT_EQ(panel.actionNames.size(), 10u);
    panel.bindKeysToActions();
    EXPECT_EQ(pActionKeyHandler::instance()->actionKeys.at("Player 2 Down"), PKEY_NUM_5);
}

TEST_F(KeyConfigTest, PointingSelectsRowsButNotTheGaps) {
    // Row 0 spans y 80..100, row 1 spans 115..135.
    pointAt(50, 125);
    EXPECT_EQ(panel.selected, 1u);
    pointAt(50, 107);
    EXPECT_EQ(panel.selected, 1u);
    pointAt(50, 100); // the edge is outside
    EXPECT_EQ(panel.selected, 1u);
    pointAt(50, 90);
    EXPECT_EQ(panel.selected, 0u);
    pointAt(50, 80 + 9 * 35 + 10);
    EXPECT_EQ(panel.selected, 9u);
    pointAt(50, 80 + 10 * 35 + 10); // below the last row
    EXPECT_EQ(panel.selected, 9u);
    EXPECT_FALSE(panel.listening);
}

TEST_F(KeyConfigTest, ListeningCapturesOneKeyAndHoldsTheRestOfTheGameOff) {
    clickAt(50, 80 + 2 * 35 + 10);
    ASSERT_TRUE(panel.listening);
    EXPECT_EQ(panel.selected, 2u);
    EXPECT_EQ(input->currentMutex, panel.mutex);

    // Command does not bind; meanwhile everyone else sees nothing.
    modifiers(PMODIFIER_COMMAND);
    sendMouse(PEVENT_MOUSE_MOVED, 0, 60, 70, 0);
    EXPECT_FALSE(keyboard->keyDown(PKEY_COMMAND, 0));
    EXPECT_FALSE(keyboard->getKeyIterator(0).hasMoreEvents());
    EXPECT_EQ(mouse->getX(0), 0);
    EXPECT_FALSE(mouse->buttonDown(PBUTTON_LEFT, 0));
    panel.listenForEventsAndUpdate();
    frame();
    EXPECT_TRUE(panel.listening);
    EXPECT_EQ(panel.keyCodes[2], PKEY_LEFT);

    modifiers(0);
    press(PKEY_X);
    EXPECT_FALSE(keyboard->keyPressed(PKEY_X, 0));
    panel.listenForEventsAndUpdate();
    EXPECT_FALSE(panel.listening);
    EXPECT_EQ(panel.keyCodes[2], PKEY_X);
    EXPECT_EQ(panel.keyNames[2], "x");
    EXPECT_EQ(input->currentMutex, 0u);

    // The captured key stays spent until it is pressed again.
    EXPECT_FALSE(keyboard->keyPressed(PKEY_X, 0));
    frame();
    EXPECT_FALSE(keyboard->keyPressed(PKEY_X, 0));
    release(PKEY_X);
    frame();
    press(PKEY_X);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_X, 0));
}
