#include "Shell/pFrameClock.h"

#include "Utils/pTimer.h"

#include <ctime>

void pFrameClock::install(int64_t micros) {
    set(micros);
    pTimer::setTimeSource(read);
}

int64_t pFrameClock::wallMicros() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1000000 + now.tv_nsec / 1000;
}

// The same division in the recording and in the replay gives the same double.
double pFrameClock::read() {
    return static_cast<double>(micros_) / 1000.0;
}
