#include "Utils/pTimer.h"

#include <gtest/gtest.h>

#include <ctime>

// Setting the date must not move the game's clock: it reads the monotonic clock, not the
// calendar.
TEST(pTimer, ReadsTheMonotonicClock) {
    pTimer::setTimeSource(nullptr);
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    EXPECT_NEAR(pTimer::instance()->currentTime(), now.tv_sec * 1000.0 + now.tv_nsec / 1e6, 100.0);
}
