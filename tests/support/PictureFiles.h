#pragma once

#include "tests/support/ByteFile.h"

#include <algorithm>

// A valid run-length TGA of one colour, 32 bits a pixel: a large picture in a small file, as
// every packet covers 128 pixels.
inline ByteFile runLengthTga(int width, int height) {
    ByteFile f;
    f.u8(0).u8(0).u8(10).u16(0).u16(0).u8(0).u16(0).u16(0);
    f.u16(unsigned(width)).u16(unsigned(height)).u8(32).u8(8);
    size_t pixels = size_t(width) * size_t(height);
    for (size_t done = 0; done < pixels; done += 128)
        f.u8(0x80 | unsigned(std::min<size_t>(128, pixels - done) - 1))
            .u8(10)
            .u8(200)
            .u8(30)
            .u8(255);
    return f;
}
