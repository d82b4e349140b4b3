#include "Game/pHighScoreNameEntry.h"

#include "tests/Input/InputFixture.h"

namespace {

class NameEntryTest : public InputTest {
protected:
    pHighScoreNameEntry entry;

    // One update step of the entry screen, then the end of the frame.
    void step(std::initializer_list<PKEYCODE> down = {}) {
        for (PKEYCODE k : down)
            hold(k);
        entry.listenForEventsAndUpdate();
        frame();
        for (PKEYCODE k : down)
            letGo(k);
    }
};

TEST_F(NameEntryTest, PrintableKeysTypeWithShiftAndBackspaceDeletesWithRepeat) {
    step({PKEY_A});
    sendModifiers(PMODIFIER_SHIFT);
    step({PKEY_B});
    sendModifiers(0);
    // Keys of one frame type in the order they went down; Return and arrows type nothing.
    step({PKEY_SPACE, PKEY_RETURN, PKEY_LEFT, PKEY_1});
    EXPECT_EQ(entry.getName(), "aB 1");

    keyboard->enableRepeat(250.0, 20.0);
    hold(PKEY_BACKSPACE);
    step();
    EXPECT_EQ(entry.getName(), "aB ");
    clock.advance(200);
    step();
    EXPECT_EQ(entry.getName(), "aB ");
    clock.advance(51);
    step();
    EXPECT_EQ(entry.getName(), "aB");
    for (int i = 0; i < 10; i++) {
        clock.advance(21);
        step();
    }
    EXPECT_EQ(entry.getName(), "");
}

} // namespace
