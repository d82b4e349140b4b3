#include "Utils/pTimer.h"

#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

TEST(pTimer, MarksSuspendResumeResetAdvance) {
    FakeClock clock;
    pTimer* timer = pTimer::instance();
    unsigned int plain = timer->setMark();
    unsigned int paused = timer->setMark();
    EXPECT_EQ(paused, plain + 1);
    EXPECT_EQ(timer->timeSinceMark(paused), 0);

    clock.advance(100);
    timer->suspendMark(paused);
    clock.advance(250);
    timer->suspendMark(paused); // the first suspension time stays
    clock.advance(250);
    EXPECT_EQ(timer->timeSinceMark(paused), 100);
    timer->resumeMark(paused);
    clock.advance(50);
    EXPECT_EQ(timer->timeSinceMark(plain), 650);
    EXPECT_EQ(timer->timeSinceMark(paused), 150);

    timer->suspendMark(paused);
    timer->resetMark(paused);
    clock.advance(10);
    EXPECT_EQ(timer->timeSinceMark(paused), 10);

    timer->advanceMark(plain, 100.0);
    EXPECT_EQ(timer->timeSinceMark(plain), 560);
    timer->resumeMark(plain); // not suspended: nothing happens
    EXPECT_EQ(timer->timeSinceMark(plain), 560);
}

TEST(pTimer, WaitReturnsOnceTheClockMovesPast) {
    FakeClock clock;
    clock.stepPerReading = 1;
    double before = pTimer::instance()->currentTime();
    pTimer::instance()->wait(0.0);
    EXPECT_GT(pTimer::instance()->currentTime() - before, 0);
    before = pTimer::instance()->currentTime();
    pTimer::instance()->wait(5.0);
    EXPECT_GT(pTimer::instance()->currentTime() - before, 5.0);
}
