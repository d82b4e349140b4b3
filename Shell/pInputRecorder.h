#pragma once

#include "Platform/pEvent.h"

#include <cstdint>
#include <cstdio>
#include <string>

// Writes a game's input as it is played, in plain text, so that pInputReplay can play it again
// to the same board: the random seed, the high score table it starts from, the frame clock of
// every frame and the key events delivered between frames. While it records, the game's clock is
// the frame clock (Shell/pFrameClock), so what the game reads is exactly what is written.
//
//   plinx input 1
//   seed 1733520000
//   clock 81234567890          the clock before the first frame, in microseconds
//   table 100 No One0          ten rows, best first: score, then the name
//   f 16667 3                  three frames, each 16667 us after the one before
//   k 1 36 0                   a key event before the next frame: kind, key code, modifiers
//   end score 4 level 0 screen 3 board 1a2b3c4d   what a replay must reach (written by tools)
class pInputRecorder {
public:
    // The recording in progress, or null.
    static pInputRecorder* active();
    // Starts recording to `path` and makes the frame clock the game's, standing at
    // `startMicros`; the game is seeded with `seed`. False if the file cannot be written.
    static bool start(const std::string& path, unsigned seed, int64_t startMicros);
    // Starts a recording to the file named by PLINX_RECORD, if it is set; says where.
    static void startFromEnvironment();

    // A frame begins at `micros`.
    void frame(int64_t micros);
    // A frame of the running game begins now: the frame driver's frames follow real time; a
    // recording started by a program that steps the clock itself ignores this.
    void frameOnWallClock();
    // A key event as the event loop delivers it; other classes are not recorded.
    void event(const pEvent& event);
    // A line of its own after what is recorded so far.
    void note(const std::string& line);
    // Writes what is pending; the file stays open for more.
    void flush();

private:
    pInputRecorder(std::FILE* file, int64_t startMicros);
    std::FILE* file_;
    int64_t last_;
    bool onWallClock_ = false;
    // Frames not written yet: so many, each `pendingStep_` after the one before.
    int64_t pendingStep_ = 0;
    long pendingFrames_ = 0;
    static pInputRecorder* active_;
};
