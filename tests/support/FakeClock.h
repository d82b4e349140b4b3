#pragma once

#include "Utils/pTimer.h"

// Installs a hand-stepped clock into pTimer for the life of the object.
class FakeClock {
public:
    FakeClock() {
        now_ = 1000000.0;
        stepPerReading = 0;
        pTimer::setTimeSource(&FakeClock::read);
    }
    ~FakeClock() { pTimer::setTimeSource(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void advance(double ms) { now_ += ms; }
    double now() const { return now_; }
    // Milliseconds added after every reading, for code that spins on the clock.
    static inline double stepPerReading = 0;

private:
    static double read() {
        double value = now_;
        now_ += stepPerReading;
        return value;
    }
    static inline double now_ = 0;
};
