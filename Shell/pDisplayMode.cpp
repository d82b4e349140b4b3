#include "Shell/pDisplayMode.h"

#include <cstdio>

void pDisplayMode::print() {
    std::printf("width = %d height = %d bpp = %d refreshRate = %d\n", width, height, bpp,
                refreshRate);
}
