#pragma once

#include "tests/support/ByteFile.h"

#include <string>
#include <vector>

// A font sheet built pixel by pixel: 16 x 8 cells of 16 x 16 pixels (256 x 128), white, with
// alpha set where a test puts ink or a baseline marker. Cell coordinates count x from the cell's
// left edge and y from its bottom edge; column 0 is the marker column.
class FontSheet {
public:
    static constexpr int CELL = 16;
    static constexpr int WIDTH = 16 * CELL;
    static constexpr int HEIGHT = 8 * CELL;

    FontSheet() : alpha(WIDTH * HEIGHT, 0) {}

    FontSheet& ink(int ch, int x, int y, unsigned char a = 255) {
        alpha[index(ch, x, y)] = a;
        return *this;
    }
    // Fills the cell columns x0..x1 and rows y0..y1 (inclusive).
    FontSheet& block(int ch, int x0, int x1, int y0, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                ink(ch, x, y);
        return *this;
    }
    FontSheet& marker(int ch, int y) { return ink(ch, 0, y); }

    // An uncompressed 32-bit TGA, bottom row first.
    std::string writeTo(const std::string& path) const {
        ByteFile file;
        file.u8(0).u8(0).u8(2).fill(9, 0).u16(WIDTH).u16(HEIGHT).u8(32).u8(8);
        for (unsigned char a : alpha)
            file.u8(255).u8(255).u8(255).u8(a);
        return file.writeTo(path);
    }

private:
    static size_t index(int ch, int x, int y) {
        const int row = (7 - ch / 16) * CELL + y;
        return static_cast<size_t>(row) * WIDTH + (ch % 16) * CELL + x;
    }
    std::vector<unsigned char> alpha;
};
