// With block marks on, every cell of the second colour carries a mark at its centre, in the
// well, the falling piece and the queue, at the board's size of the moment; nothing else of the
// picture changes.
#include "tests/support/BoardDrawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

TEST_F(BoardDrawing, BlockMarksSitOnTheSecondColourOnlyAtTheBoardsSizeOfTheMoment) {
    colorList[1] = pVector(0.9f, 0.2f, 0.2f);
    colorList[2] = pVector(0.2f, 0.3f, 0.9f);
    board.sweepTime = 13 * 320; // the sweeper right of the cells
    // Board-unit centres of the second colour's cells: the queue, the piece above the well's
    // middle and two rows of the well.
    std::vector<std::pair<float, float>> marked;
    for (int cell = 0; cell < 4; cell++) {
        const int colour = cell == 1 || cell == 2 ? 2 : 1;
        board.piece[cell] = colour;
        for (int piece = 0; piece < 3; piece++)
            board.queue[piece][cell] = colour;
        if (colour == 2) {
            for (int piece = 0; piece < 3; piece++)
                marked.push_back({-20.0f + 2 * (cell % 2), -13.0f + 6 * piece + 2 * (cell / 2)});
            marked.push_back({-1.0f + 2 * (cell % 2), 5.0f + 2 * (cell / 2)});
        }
    }
    for (int row = 0; row < 2; row++) {
        for (int column = 0; column < 4; column++) {
            board.cells[row * 16 + column] = {0, 1 + (row + column) % 2};
            if ((row + column) % 2)
                marked.push_back({-15.0f + 2 * column, -15.0f + 2 * row});
        }
    }

    // In the 640 x 480 window a board unit is 12 pixels, 6 at the black middle of a fade.
    for (float unit : {12.0f, 6.0f}) {
        SCOPED_TRACE(unit);
        game->transitionManager.active = unit < 12;
        game->transitionManager.darkness = 1;
        board.blockMarks = false;
        draw();
        const std::vector<unsigned char> plain = readAll();
        board.blockMarks = true;
        draw();
        const std::vector<unsigned char> marks = readAll();
        auto changed = [&](int p) {
            return !std::equal(&plain[4 * p], &plain[4 * p + 3], &marks[4 * p]);
        };

        // Read bottom row first; the board's y grows upwards too, and it is one unit right.
        for (auto [x, y] : marked) {
            int p =
                static_cast<int>(240 + y * unit) * kWidth + static_cast<int>(320 + (x + 1) * unit);
            EXPECT_TRUE(changed(p)) << "no mark at " << x << ", " << y;
        }
        int stray = 0;
        for (int p = 0; p < kWidth * kHeight; p++) {
            const float x = (static_cast<float>(p % kWidth) + 0.5f - 320) / unit - 1;
            const float y = (static_cast<float>(p / kWidth) + 0.5f - 240) / unit;
            bool nearMark = false;
            for (auto [mx, my] : marked)
                nearMark = nearMark || std::abs(x - mx) + std::abs(y - my) < 0.75f;
            stray += changed(p) && !nearMark;
        }
        EXPECT_EQ(stray, 0) << "pixels changed away from the marks";
    }
}
