#pragma once

#include <cstdint>

// The game's clock held still through each frame, in whole microseconds: every reading in a frame
// and in the events that follow it sees the time the frame began. A game played on it can be
// replayed to the same board by setting the same times again.
class pFrameClock {
public:
    // Makes this the clock pTimer reads, standing at `micros`.
    static void install(int64_t micros);
    static void set(int64_t micros) { micros_ = micros; }
    static int64_t micros() { return micros_; }
    // The system's monotonic clock, for a frame clock that follows real time.
    static int64_t wallMicros();

private:
    static double read();
    static inline int64_t micros_ = 0;
};
