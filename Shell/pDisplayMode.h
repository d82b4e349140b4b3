#pragma once

#include <string>

// One full-screen display mode.
class pDisplayMode {
public:
    int height = 0;
    int width = 0;
    int bpp = 0;
    int refreshRate = 0;
    std::string name;
};
