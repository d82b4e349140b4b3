#include "Game/pHighScoreNameEntry.h"

#include "tests/support/Fakes.h"

// The name entry types this frame's printable keys in the order they went down, with Shift for
// capitals and symbols; a held Backspace deletes with the screen's key repeat.
TEST_F(InputTest, NameEntryTypesPrintableKeysAndBackspaceDeletes) {
    pHighScoreNameEntry entry;
    auto step = [&](std::initializer_list<PKEYCODE> down) {
        for (PKEYCODE k : down)
            hold(k);
        entry.listenForEventsAndUpdate();
        frame();
        for (PKEYCODE k : down)
            letGo(k);
    };
    step({PKEY_A});
    sendModifiers(PMODIFIER_SHIFT);
    step({PKEY_B});
    sendModifiers(0);
    step({PKEY_SPACE, PKEY_RETURN, PKEY_LEFT, PKEY_1});
    EXPECT_EQ(entry.getName(), "aB 1");
    keyboard->enableRepeat(250.0, 20.0);
    hold(PKEY_BACKSPACE);
    std::string names;
    for (int wait : {0, 200, 51, 21, 21, 21}) {
        clock.advance(wait);
        step({});
        names += entry.getName() + "|";
    }
    EXPECT_EQ(names, "aB |aB |aB|a|||");
}
