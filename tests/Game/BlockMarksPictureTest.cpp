// Block marks: with them on, every cell of the second colour carries a mark at its centre, in
// the well, the falling piece and the queue, at the board's size of the moment; nothing else of
// the picture changes.
#include "tests/support/BoardDrawing.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

class BlockMarks : public BoardDrawing {
protected:
    void SetUp() override {
        BoardDrawing::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        colorList[1] = pVector(0.9f, 0.2f, 0.2f);
        colorList[2] = pVector(0.2f, 0.3f, 0.9f);
        board.sweepTime = 13 * 320; // the sweeper over the right of the well, away from the cells
        // Both colours everywhere a cell is drawn: the queue, the piece and the well.
        int colours[4] = {1, 2, 2, 1};
        std::copy(colours, colours + 4, board.piece);
        for (auto& piece : board.queue)
            std::copy(colours, colours + 4, piece);
        for (int column = 0; column < 4; column++)
            for (int row = 0; row < 2; row++)
                board.cells[row * pPuzzle::WIDTH + column] = {0, 1 + (row + column) % 2};
    }

    std::vector<unsigned char> picture(bool marks) {
        board.blockMarks = marks;
        draw();
        return readAll();
    }
    // Board-unit centres of the cells drawn in `colour`: the queue, the piece over the well's
    // middle, the settled cells.
    std::vector<std::pair<float, float>> centres(int colour) {
        std::vector<std::pair<float, float>> found;
        for (int piece = 0; piece < 3; piece++)
            for (int cell = 0; cell < 4; cell++)
                if (board.queue[piece][cell] == colour)
                    found.push_back({-20.0f + 2 * (cell % 2), -13.0f + 6 * piece + 2 * (cell / 2)});
        for (int cell = 0; cell < 4; cell++)
            if (board.piece[cell] == colour)
                found.push_back({-1.0f + 2 * (cell % 2), 5.0f + 2 * (cell / 2)});
        for (int i = 0; i < pPuzzle::WIDTH * pPuzzle::HEIGHT; i++)
            if (!board.cells[i].empty && board.cells[i].color == colour)
                found.push_back({-15.0f + 2 * (i % 16), -15.0f + 2 * (i / 16)});
        return found;
    }
};

} // namespace

TEST_F(BlockMarks, MarkTheSecondColourOnlyAtTheBoardsSizeOfTheMoment) {
    // In the 640 x 480 window a board unit is 12 pixels, 6 at the black middle of a fade.
    for (float unit : {12.0f, 6.0f}) {
        SCOPED_TRACE(unit);
        game->transitionManager.active = unit < 12;
        game->transitionManager.darkness = 1;
        std::vector<unsigned char> plain = picture(false), marked = picture(true);
        // Pictures are read bottom row first; the board's y grows upwards too.
        auto pixelOf = [&](float x, float y) {
            return static_cast<int>(std::floor(240 + y * unit)) * kWidth +
                   static_cast<int>(std::floor(320 + (x + 1) * unit));
        };
        auto same = [&](int p) {
            return std::equal(&plain[4 * p], &plain[4 * p + 3], &marked[4 * p]);
        };
        for (auto [x, y] : centres(2))
            EXPECT_FALSE(same(pixelOf(x, y))) << "no mark at " << x << ", " << y;
        for (auto [x, y] : centres(1))
            EXPECT_TRUE(same(pixelOf(x, y))) << "a mark at " << x << ", " << y;

        // Every changed pixel lies within a mark's reach of a second-colour centre.
        const auto marks = centres(2);
        int stray = 0;
        for (int p = 0; p < kWidth * kHeight; p++) {
            if (same(p))
                continue;
            float x = (static_cast<float>(p % kWidth) + 0.5f - 320) / unit - 1;
            float y = (static_cast<float>(p / kWidth) + 0.5f - 240) / unit;
            bool near = false;
            for (auto [mx, my] : marks)
                near = near || std::abs(x - mx) + std::abs(y - my) < 0.75f;
            stray += near ? 0 : 1;
        }
        EXPECT_EQ(stray, 0);
    }
}
