#include "Game/pHighScoreNameEntry.h"

#include "tests/Input/InputFixture.h"

namespace {

class NameEntryTest : public InputTest {
protected:
    pHighScoreNameEntry entry;

    // One update step of the entry screen, then the end of the frame.
    void step() {
        entry.listenForEventsAndUpdate();
        frame();
    }
};

TEST_F(NameEntryTest, PrintableKeysTypeWithShift) {
    press(PKEY_A);
    step();
    release(PKEY_A);
    modifiers(PMODIFIER_SHIFT);
    press(PKEY_B);
    step();
    release(PKEY_B);
    modifiers(0);
    // Two keys in one frame type in the order they went down; Return and arrows type nothing.
    press(PKEY_SPACE);
    press(PKEY_RETURN);
    press(PKEY_LEFT);
    press(PKEY_1);
    step();
    EXPECT_EQ(entry.getName(), "aB 1");
}

TEST_F(NameEntryTest, HeldBackspaceDeletesWithRepeatAndStopsAtEmpty) {
    keyboard->enableRepeat(250.0, 20.0);
    for (PKEYCODE k : {PKEY_A, PKEY_B, PKEY_C})
        press(k);
    step();
    for (PKEYCODE k : {PKEY_A, PKEY_B, PKEY_C})
        release(k);
    press(PKEY_BACKSPACE);
    step();
    EXPECT_EQ(entry.getName(), "ab");
    clock.advance(200);
    step();
    EXPECT_EQ(entry.getName(), "ab");
    clock.advance(51);
    step();
    EXPECT_EQ(entry.getName(), "a");
    for (int i = 0; i < 10; i++) {
        clock.advance(21);
        step();
    }
    EXPECT_EQ(entry.getName(), "");
}

} // namespace
