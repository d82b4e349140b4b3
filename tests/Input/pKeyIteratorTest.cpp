#include "Input/pKeyboardHandler.h"

#include <gtest/gtest.h>

TEST(pKeyIterator, FiltersDownAndUpEvents) {
    std::list<pKeyEvent> none;
    pKeyIterator empty(none);
    EXPECT_FALSE(empty.hasMoreEvents());
    EXPECT_FALSE(empty.hasMoreDownEvents());
    EXPECT_FALSE(empty.hasMoreUpEvents());

    std::list<pKeyEvent> events = {pKeyEvent(true, PKEY_Z), pKeyEvent(false, PKEY_Z),
                                   pKeyEvent(true, PKEY_X)};
    pKeyIterator it(events);
    pKeyEvent up = it.getNextUp();
    EXPECT_FALSE(up.down);
    EXPECT_EQ(up.code, PKEY_Z);
    EXPECT_FALSE(it.hasMoreUpEvents());
    EXPECT_TRUE(it.hasMoreDownEvents());
    EXPECT_EQ(it.getNextDown().code, PKEY_X);
    EXPECT_FALSE(it.hasMoreEvents());

    // Asking past the end hands back a harmless up event and stays at the end.
    pKeyEvent beyond = it.getNextDown();
    EXPECT_FALSE(beyond.down);
    EXPECT_FALSE(it.getNext().down);
    EXPECT_FALSE(it.hasMoreEvents());

    it.reset();
    EXPECT_EQ(it.getNextDown().code, PKEY_Z);
    EXPECT_EQ(it.getNextDown().code, PKEY_X);
}
