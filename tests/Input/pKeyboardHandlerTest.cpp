#include "tests/Input/InputFixture.h"

#include <vector>

using KeyboardTest = InputTest;

TEST_F(KeyboardTest, HeldKeyRepeatsAfterDelayThenAtRate) {
    keyboard->enableRepeat(250.0, 20.0);
    press(PKEY_LEFT);
    std::vector<int> pressedAt;
    for (int t = 0; t <= 1000; t += 16) {
        if (keyboard->keyPressed(PKEY_LEFT, 0))
            pressedAt.push_back(t);
        frame();
        clock.advance(16);
    }
    // The first poll past 250 ms, then every poll more than 20 ms after the previous press.
    std::vector<int> expected = {0};
    for (int t = 256; t <= 1000; t += 32)
        expected.push_back(t);
    EXPECT_EQ(pressedAt, expected);

    // The waits are strict.
    release(PKEY_LEFT);
    frame();
    press(PKEY_LEFT);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_LEFT, 0));
    frame();
    clock.advance(250);
    EXPECT_FALSE(keyboard->keyPressed(PKEY_LEFT, 0));
    clock.advance(1);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_LEFT, 0));
    clock.advance(20);
    EXPECT_FALSE(keyboard->keyPressed(PKEY_LEFT, 0));
    clock.advance(1);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_LEFT, 0));

    // A reset makes the held key wait the whole delay again.
    keyboard->resetRepeat(PKEY_LEFT);
    clock.advance(200);
    EXPECT_FALSE(keyboard->keyPressed(PKEY_LEFT, 0));
    clock.advance(51);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_LEFT, 0));
}

TEST_F(KeyboardTest, WithoutRepeatAHeldKeyIsPressedOnceAndReleasedOnce) {
    press(PKEY_Z);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_Z, 0));
    frame();
    // The second update step of the same frame sees no fresh press.
    EXPECT_FALSE(keyboard->keyPressed(PKEY_Z, 0));
    clock.advance(500);
    EXPECT_FALSE(keyboard->keyPressed(PKEY_Z, 0));
    EXPECT_TRUE(keyboard->keyDown(PKEY_Z, 0));
    frame();
    release(PKEY_Z);
    EXPECT_TRUE(keyboard->keyUnpressed(PKEY_Z, 0));
    frame();
    EXPECT_FALSE(keyboard->keyUnpressed(PKEY_Z, 0));

    // Repeat switched on without times after init: delay and rate are zero.
    keyboard->enableRepeat();
    press(PKEY_Z);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_Z, 0));
    frame();
    EXPECT_FALSE(keyboard->keyPressed(PKEY_Z, 0));
    clock.advance(1);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_Z, 0));
    clock.advance(1);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_Z, 0));
}

TEST_F(KeyboardTest, TapBetweenFramesIsPressedAndLeavesItsEvents) {
    press(PKEY_A);
    release(PKEY_A);
    EXPECT_FALSE(keyboard->keyDown(PKEY_A, 0));
    EXPECT_TRUE(keyboard->keyPressed(PKEY_A, 0));
    pKeyIterator it = keyboard->getKeyIterator(0);
    ASSERT_TRUE(it.hasMoreEvents());
    pKeyEvent first = it.getNext();
    pKeyEvent second = it.getNext();
    EXPECT_TRUE(first.down && first.code == PKEY_A);
    EXPECT_TRUE(!second.down && second.code == PKEY_A);
    EXPECT_FALSE(it.hasMoreEvents());
    frame();
    EXPECT_FALSE(keyboard->getKeyIterator(0).hasMoreEvents());
}

TEST_F(KeyboardTest, ModifierChangesReportAllFiveModifiers) {
    EXPECT_EQ(modifiers(PMODIFIER_COMMAND), PEVENT_HANDLED);
    frame();
    EXPECT_EQ(modifiers(PMODIFIER_COMMAND | PMODIFIER_SHIFT), PEVENT_HANDLED);
    std::vector<std::pair<bool, int>> seen;
    for (pKeyIterator it = keyboard->getKeyIterator(0); it.hasMoreEvents();) {
        pKeyEvent event = it.getNext();
        seen.push_back({event.down, event.code});
    }
    std::vector<std::pair<bool, int>> expected = {{true, PKEY_COMMAND},
                                                  {false, PKEY_CAPS_LOCK},
                                                  {true, PKEY_SHIFT},
                                                  {false, PKEY_CONTROL},
                                                  {false, PKEY_OPTION}};
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_SHIFT, 0));
    EXPECT_FALSE(keyboard->keyPressed(PKEY_COMMAND, 0));
    frame();

    modifiers(PMODIFIER_CAPS_LOCK | PMODIFIER_OPTION | PMODIFIER_CONTROL);
    EXPECT_TRUE(keyboard->keyUnpressed(PKEY_COMMAND, 0));
    EXPECT_TRUE(keyboard->keyUnpressed(PKEY_SHIFT, 0));
    EXPECT_TRUE(keyboard->keyDown(PKEY_CAPS_LOCK, 0));
    EXPECT_TRUE(keyboard->keyDown(PKEY_OPTION, 0));
    EXPECT_TRUE(keyboard->keyDown(PKEY_CONTROL, 0));
}

TEST_F(KeyboardTest, UnknownKindsAndOutOfRangeCodesAreLeftAlone) {
    EXPECT_EQ(sendKey(PEVENT_RAW_KEY_REPEAT, PKEY_X), PEVENT_NOT_HANDLED);
    EXPECT_EQ(sendKey(PEVENT_RAW_KEY_DOWN, 128), PEVENT_NOT_HANDLED);
    EXPECT_EQ(sendKey(PEVENT_RAW_KEY_UP, 0xFFFFFFFFu), PEVENT_NOT_HANDLED);
    pEvent mouseClass{PEVENT_CLASS_MOUSE, PEVENT_RAW_KEY_DOWN, PKEY_X, 0, 0, 0, 0, 0};
    EXPECT_EQ(keyEvent(nullptr, &mouseClass, keyboard), PEVENT_NOT_HANDLED);
    EXPECT_FALSE(keyboard->keyDown(PKEY_X, 0));
    EXPECT_FALSE(keyboard->getKeyIterator(0).hasMoreEvents());

    // Codes without a name are keys like any other.
    EXPECT_EQ(sendKey(PEVENT_RAW_KEY_DOWN, 127), PEVENT_HANDLED);
    EXPECT_TRUE(keyboard->keyPressed(PKEYCODE(127), 0));
    EXPECT_FALSE(keyboard->keyDown(PKEYCODE(128), 0));
    EXPECT_FALSE(keyboard->keyDown(PKEYCODE(-1), 0));
}

TEST_F(KeyboardTest, KeyNamesAndCharacters) {
    EXPECT_EQ(keyboard->keycodeToIdentifier(PKEYCODE(10)), "???");
    EXPECT_EQ(keyboard->keycodeToIdentifier(PKEY_SPACE), "Space");
    EXPECT_EQ(keyboard->keycodeToIdentifier(PKEY_PAGE_UP), "Page Up");
    EXPECT_EQ(keyboard->keycodeToIdentifier(PKEY_GRAVE), "`");
    EXPECT_EQ(keyboard->keycodeToIdentifier(PKEY_BACKSLASH), "\\");
    EXPECT_EQ(keyboard->keycodeToIdentifier(PKEYCODE(4000)), "???");
    EXPECT_EQ(keyboard->keycodeToPrintable(PKEY_NUM_0), '0');
    EXPECT_EQ(keyboard->keycodeToPrintable(PKEY_RETURN), 0);
    EXPECT_EQ(keyboard->keycodeToPrintable(PKEY_SPACE), ' ');
    EXPECT_EQ(keyboard->keycodeToPrintable(PKEYCODE(-3)), 0);

    int named = 0, printable = 0;
    for (int k = 0; k < 128; k++) {
        named += keyboard->keycodeToIdentifier(PKEYCODE(k)) != "???";
        printable += keyboard->keycodeToPrintable(PKEYCODE(k)) != 0;
    }
    EXPECT_EQ(named, 96);
    EXPECT_EQ(printable, 64);
}
