#pragma once

#include <algorithm>
#include <vector>

// The bounding box, in top-down pixel coordinates, of the pixels whose red channel is at least
// half on, and how many there are. Linear filtering puts a glyph's ink edge on that threshold.
struct InkBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;

    // `rgba` is a whole framebuffer as glReadPixels gives it, bottom row first; only columns
    // fromX up to (not including) toX are looked at.
    static InkBox of(const std::vector<unsigned char>& rgba, int width, int height, int fromX = 0,
                     int toX = 1 << 30) {
        InkBox box;
        for (int row = 0; row < height; ++row) {
            for (int x = std::max(fromX, 0); x < std::min(toX, width); ++x) {
                if (rgba[(static_cast<size_t>(row) * width + x) * 4] < 128) {
                    continue;
                }
                const int y = height - 1 - row;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
                ++box.count;
            }
        }
        return box;
    }
};
