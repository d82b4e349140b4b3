// The sweeper keeps its pace however long a game has run: its clock is added up in floats.
#include "Game/pPuzzle.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(LongPlaySweeper, KeepsItsSpeedAndColumnAfterHoursAndDaysOfPlay) {
    struct Case {
        const char* what;
        int clock; // ms on the sweeper clock when the steps begin
        float step;
    };
    const Case cases[] = {
        {"just below 2^24 ms", 16777216 - 200, 0.0167f},
        {"3 days, 60 fps", 1 << 28, 0.0167f},
        {"6 days, 60 fps", 1 << 29, 0.0167f},
        {"6 days, 30 fps", 1 << 29, 0.0333f},
        {"12 days, 30 fps", 1 << 30, 0.0333f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        srand(3);
        pPuzzle p;
        p.initGame();
        p.fallDelay = 1e9f; // the piece hangs above the well
        p.sweepTime = c.clock;
        p.update(0.0f);
        const int pass = 16 * p.sweepPeriod;
        EXPECT_EQ(p.sweepTime % pass, c.clock % pass) << "a wrap keeps the sweeper in place";

        // A minute of steps: the sweeper covers a minute, less the fractions each step drops.
        const int steps = static_cast<int>(60.0f / c.step);
        long long covered = 0;
        for (int i = 0; i < steps; i++) {
            int before = p.sweepTime;
            p.update(c.step);
            covered += ((p.sweepTime - before) % pass + pass) % pass;
            ASSERT_LT(p.sweepTime, 16777216 + 1000);
        }
        EXPECT_GT(covered, steps * (c.step * 1000 - 1.5));
        EXPECT_LT(covered, steps * (c.step * 1000 + 1.5));
    }
}
