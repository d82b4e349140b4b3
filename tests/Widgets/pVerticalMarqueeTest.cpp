#include "Widgets/pVerticalMarquee.h"

#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

// A box from y 190 to 290; a one-line message is 20 high, a two-line one 44.
TEST(pVerticalMarquee, ScrollsUpOneAtATimeAndFinishes) {
    FakeClock clock;
    pVerticalMarquee marquee(320, 240, 100, 50, 20, -0.125f, "Brisk");
    marquee.addMessage("first");
    marquee.addMessage("second\nline", PMARQUEE_ALIGN_RIGHT);
    marquee.makeReady();
    ASSERT_EQ(marquee.active.size(), 1u);
    EXPECT_EQ(marquee.active.front().second, 290.0);

    marquee.update(960); // top at 170: its bottom sits on the box's top edge
    ASSERT_EQ(marquee.active.front().first, 0u);
    marquee.update(8);
    ASSERT_EQ(marquee.active.size(), 1u);
    EXPECT_EQ(marquee.active.front().first, 1u);
    EXPECT_EQ(marquee.active.front().second, 290.0);

    marquee.update(1152); // top at 146: its bottom on the box's top edge
    EXPECT_EQ(marquee.active.front().first, 1u);
    marquee.update(8);
    EXPECT_TRUE(marquee.active.empty());
    marquee.update(1);
    EXPECT_TRUE(marquee.finished);
}

TEST(pVerticalMarquee, ScrollsDownWithGapsInContinuousPlay) {
    FakeClock clock;
    pVerticalMarquee marquee(320, 240, 100, 50, 20, 0.125f, "Brisk");
    marquee.setContinuousPlay(true);
    marquee.setLoop(true);
    marquee.setMessageGap(10);
    marquee.addMessage("one", PMARQUEE_ALIGN_LEFT);
    marquee.addMessage("two\nlines");
    marquee.makeReady();
    EXPECT_EQ(marquee.active.front().second, 170.0); // just above the box
    marquee.update(240);
    EXPECT_EQ(marquee.active.size(), 1u);
    marquee.update(8); // 201: more than the gap below the top
    ASSERT_EQ(marquee.active.size(), 2u);
    EXPECT_EQ(marquee.active.back().first, 1u);
    EXPECT_EQ(marquee.active.back().second, 146.0);
    marquee.update(712); // at 290 the first still touches the box
    EXPECT_EQ(marquee.active.front().first, 0u);
    marquee.update(8);
    EXPECT_EQ(marquee.active.front().first, 1u);

    marquee.setRect(0, 0, 10, 10);
    EXPECT_EQ(marquee.top, -10.0f);
    EXPECT_EQ(marquee.right, 10.0f);
}
