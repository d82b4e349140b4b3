#pragma once

#include <cstdio>

// What the player asked for on the command line. Help, the version and mistakes are answered
// at once; `finished` then says the game must not start and `exitStatus` what to return.
class pCommandLine {
public:
    bool fullscreen = false;
    // --fullscreen or --windowed was given; without either the saved choice holds.
    bool screenChosen = false;
    bool finished = false;
    int exitStatus = 0;

    // Answers go to `out`, mistakes to `err`.
    pCommandLine(int argc, char** argv, FILE* out = stdout, FILE* err = stderr);
};
