#include "Shell/pStartupMarks.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

void startupMark(const char* what) {
    static const bool wanted = std::getenv("PLINX_STARTUP_MARKS") != nullptr;
    if (!wanted)
        return;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "startup: %s at %.1f\n", what, now.tv_sec * 1000.0 + now.tv_nsec / 1e6);
}
