#pragma once

// Where the time to the first window goes: with PLINX_STARTUP_MARKS set, each mark prints
// "startup: WHAT at MS" to standard error, MS being the system's monotonic clock in milliseconds
// (bench/firstwindow prints its launch on the same clock). Nothing otherwise.
void startupMark(const char* what);
