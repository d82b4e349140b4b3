#include "Shell/pInputRecorder.h"

#include "Shell/pFrameClock.h"
#include "Shell/pInputReplay.h"
#include "Utils/pTimer.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(pInputRecorder, WhatIsRecordedReadsBackFrameByFrameWithTheEventsBetween) {
    TempFolder folder;
    ASSERT_TRUE(pInputRecorder::start(folder.file("game.txt"), 42, 5000000));
    pInputRecorder* recorder = pInputRecorder::active();
    EXPECT_EQ(pTimer::instance()->currentTime(), 5000.0) << "the frame clock is the game's";
    recorder->frame(5016667);
    recorder->frame(5033334);
    pEvent down{PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_DOWN, 36, 0, 0, 0, 0, 0};
    pEvent mouse{PEVENT_CLASS_MOUSE, PEVENT_MOUSE_DOWN, 0, 0, 1, 10, 10, 0};
    recorder->event(down);
    recorder->event(mouse);
    recorder->frame(5050001);
    EXPECT_EQ(pTimer::instance()->currentTime(), 5050.001);
    recorder->frame(5090000); // a slow frame
    recorder->note("end score 1");
    pTimer::setTimeSource(nullptr);

    pInputReplay replay;
    std::string error;
    ASSERT_TRUE(replay.load(folder.file("game.txt"), error)) << error;
    EXPECT_EQ(replay.seed, 42u);
    EXPECT_EQ(replay.startMicros, 5000000);
    EXPECT_EQ(replay.table.size(), 10u);
    ASSERT_EQ(replay.frames.size(), 4u);
    EXPECT_EQ(replay.frames[1].micros, 5033334);
    EXPECT_TRUE(replay.frames[1].events.empty());
    ASSERT_EQ(replay.frames[2].events.size(), 1u) << "key events only";
    EXPECT_EQ(replay.frames[2].events[0].keyCode, 36u);
    EXPECT_EQ(replay.frames[2].events[0].kind, PEVENT_RAW_KEY_DOWN);
    EXPECT_EQ(replay.frames[3].micros, 5090000);
    EXPECT_EQ(replay.expectedEnd, "end score 1");

    // Names the table's file cannot hold as they are survive the trip through scores.txt.
    replay.table[0] = {7, "}"};
    replay.table[1] = {6, ""};
    ASSERT_TRUE(replay.writeTable(folder.file("scores.txt")));
    std::ifstream scores(folder.file("scores.txt"));
    std::string text((std::istreambuf_iterator<char>(scores)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("\n}\n", 0), text.find("\n}\n{")) << text;

    std::ofstream(folder.file("bad.txt")) << "plinx input 1\nf 16667 x\n";
    pInputReplay bad;
    EXPECT_FALSE(bad.load(folder.file("bad.txt"), error));
    EXPECT_NE(error.find("bad.txt:2"), std::string::npos) << error;
    EXPECT_FALSE(bad.load(folder.file("missing.txt"), error));
}
