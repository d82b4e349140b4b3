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
    // Position in the main display's own mode list, the number full-screen entry takes.
    int index = 0;

    // "width = W height = H bpp = B refreshRate = R" and a line end on standard output.
    void print();
};
