#pragma once

#include "Platform/pEvent.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A recorded game (Shell/pInputRecorder) read back: the seed, the starting table, and the frames
// with the key events delivered before each.
class pInputReplay {
public:
    struct Frame {
        int64_t micros;
        std::vector<pEvent> events;
    };

    unsigned seed = 0;
    int64_t startMicros = 0;
    // Score and name, best first.
    std::vector<std::pair<int, std::string>> table;
    std::vector<Frame> frames;
    // The "end ..." line, if the recording has one.
    std::string expectedEnd;

    // False with `error` set (the line and what is wrong with it) for a file it cannot take.
    bool load(const std::string& path, std::string& error);
    // The starting table as the game's scores.txt.
    bool writeTable(const std::string& path) const;
};
