#include "File/cAttribs.h"
#include "Game/pPlinx.h"
#include "Game/pPuzzle.h"

#include "tests/support/FakeClock.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {
// A running game on an empty well with a two-colour piece at the top of column 7.
struct Board : ::testing::Test {
    pPuzzle p;
    void SetUp() override {
        srand(7);
        p.initGame();
        int colours[4] = {1, 2, 2, 1};
        std::copy(colours, colours + 4, p.piece);
    }
    void fill(int row, int column, int colour) { p.cells[row * 16 + column] = {0, colour}; }
    // Two-colour columns: no one-colour square anywhere in them.
    void stack(int column, int rows) {
        for (int row = 0; row < rows; row++)
            fill(row, column, 1 + (row + column) % 2);
    }
    void block(int column, int row, int width, int height) {
        for (int c = column; c < column + width; c++)
            for (int r = row; r < row + height; r++)
                fill(r, c, 2);
    }
    bool filled(int row, int column) const { return p.cells[row * 16 + column].empty == 0; }
    void steps(int count, float seconds) {
        for (int i = 0; i < count; i++)
            p.update(seconds);
    }
    // The piece hangs above the well; 360 ms per column at level 0.
    void sweepAt(int column) {
        p.fallDelay = 1e9f;
        p.sweepTime = column * 360;
        p.update(0.0f);
    }
};
} // namespace

TEST_F(Board, FirstPieceFallsAndTheSecondIsNextInQueue) {
    srand(11);
    int made[16];
    for (int& colour : made)
        colour = rand() % 2 == 1 ? 1 : 2;
    srand(11);
    p.initGame();
    EXPECT_EQ(std::vector<int>(p.piece, p.piece + 4), std::vector<int>(made, made + 4));
    EXPECT_EQ(std::vector<int>(p.queue[2], p.queue[2] + 4), std::vector<int>(made + 4, made + 8));
    EXPECT_EQ(std::vector<int>(p.queue[0], p.queue[0] + 4), std::vector<int>(made + 12, made + 16));
}

TEST_F(Board, MovesAreBlockedByWallsCellsAndTheMoveDelay) {
    p.pieceY = 5; // rows 5 and 6
    p.moveTime = 1;
    fill(6, 6, 1);
    p.goLeft(); // upper row blocked: no move, but the delay restarts
    EXPECT_EQ(p.pieceX, 7);
    p.goRight();
    EXPECT_EQ(p.pieceX, 7);
    p.moveTime = 1;
    p.goRight();
    p.goRight(); // same frame: refused by the delay
    EXPECT_EQ(p.pieceX, 8);
    p.pieceX = 14;
    p.moveTime = 1;
    p.goRight(); // the wall: the delay is not spent
    EXPECT_EQ(p.moveTime, 1);
    auto piece = [&] { return std::vector<int>(p.piece, p.piece + 4); };
    p.piece[0] = 1; // lower-left alone in colour 1
    p.piece[1] = p.piece[2] = p.piece[3] = 2;
    p.turnCW(); // lower-left goes up
    EXPECT_EQ(piece(), (std::vector<int>{2, 2, 1, 2}));
    p.turnCCW();
    p.turnCCW(); // and back, then on to lower-right
    EXPECT_EQ(piece(), (std::vector<int>{2, 1, 2, 2}));
}

TEST_F(Board, PieceFallsToTheBottomAndLands) {
    steps(20, 0.31f);
    EXPECT_EQ(p.pieceY, 10);
    EXPECT_FALSE(filled(0, 7));
    steps(1, 0.31f);
    EXPECT_EQ(p.pieceY, STARTING_HEIGHT);
    EXPECT_EQ(p.cells[0 * 16 + 7].color, 1);
    EXPECT_EQ(p.cells[0 * 16 + 8].color, 2);
    EXPECT_EQ(p.cells[1 * 16 + 7].color, 2);
    EXPECT_EQ(p.cells[1 * 16 + 8].color, 1);
    EXPECT_TRUE(filled(0, 7) && filled(0, 8) && filled(1, 7) && filled(1, 8));
}

TEST_F(Board, HalfWithNothingUnderItSettlesOneRowPerStep) {
    stack(7, 4);
    p.pieceY = 6;
    steps(1, 0.31f);
    EXPECT_TRUE(filled(4, 7) && filled(5, 7) && filled(4, 8) && filled(5, 8));
    steps(3, 0.01f);
    EXPECT_TRUE(filled(1, 8) && filled(2, 8) && !filled(3, 8));
    steps(1, 0.01f);
    EXPECT_TRUE(filled(0, 8) && filled(1, 8) && !filled(2, 8));
    EXPECT_TRUE(filled(4, 7) && filled(5, 7));
}

TEST_F(Board, PieceStickingOutOfTheTopEndsTheGame) {
    stack(7, 8);
    stack(8, 8);
    p.pieceY = 2;
    steps(1, 0.31f); // lands at depth 3: rows 8 and 9, inside the well
    EXPECT_EQ(p.playing, 1);
    EXPECT_TRUE(filled(8, 7) && filled(9, 8));

    p.cells[9 * 16 + 7].empty = p.cells[9 * 16 + 8].empty = 1;
    p.pieceY = 1;
    steps(1, 0.31f); // lands at depth 2: its upper half would stick out
    EXPECT_EQ(p.playing, 0);
    EXPECT_EQ(p.pieceY, 1);
    EXPECT_FALSE(filled(9, 7) || filled(9, 8));
    pPuzzle before = p;
    steps(5, 0.2f); // the board stands still after the end
    EXPECT_EQ(p.pieceY, before.pieceY);
    EXPECT_EQ(p.sweepTime, before.sweepTime);
}

TEST_F(Board, FastFallDropsAPieceFromAboveTheWellIntoTheTopRow) {
    p.enableDown();
    steps(1, 0.021f);
    EXPECT_EQ(p.pieceY, 1);
    EXPECT_EQ(p.playing, 1);

    p.pieceY = -10;
    stack(7, 10);
    steps(1, 0.021f);
    EXPECT_EQ(p.playing, 0);
    EXPECT_EQ(p.pieceY, 0);
}

TEST_F(Board, SquareIsClearedWhenTheSweeperLeavesItsColumn) {
    block(4, 0, 2, 2);
    fill(2, 4, 1);
    sweepAt(4);
    steps(3, 0.1f); // still on column 4
    EXPECT_EQ(p.score, 0);
    EXPECT_TRUE(filled(0, 4));
    sweepAt(5);
    EXPECT_EQ(p.score, 1);
    EXPECT_FALSE(filled(0, 4) || filled(0, 5) || filled(1, 4) || filled(1, 5));
    steps(2, 0.001f); // the cell above falls into the gap, a row per step
    EXPECT_TRUE(filled(0, 4) && !filled(1, 4) && !filled(2, 4));
}

TEST_F(Board, OneColourBlocksScoreEachDistinctSquareOnce) {
    struct Case {
        int width, height, score;
    } cases[] = {{2, 3, 2}, {3, 2, 2}, {3, 3, 4}};
    for (const Case& c : cases) {
        SetUp();
        block(4, 0, c.width, c.height);
        for (int column = 4; column < 4 + c.width - 1; column++) {
            sweepAt(column);
            steps(2, 0.01f);
            EXPECT_EQ(p.score, 0) << "held while the sweeper is on a column with squares";
        }
        sweepAt(4 + c.width - 1);
        EXPECT_EQ(p.score, c.score) << c.width << "x" << c.height;
        for (int column = 4; column < 4 + c.width; column++)
            EXPECT_FALSE(filled(0, column));
    }
}

TEST_F(Board, TwoColourSquareIsNeverCleared) {
    block(4, 0, 2, 2);
    fill(1, 5, 1);
    p.fallDelay = 1e9f;
    steps(2 * 16 * 360 / 10, 0.01f);
    EXPECT_EQ(p.score, 0);
    EXPECT_TRUE(filled(0, 4) && filled(1, 5));
}

TEST_F(Board, LevelQuickensTheSweeperAndCyclesSixPalettes) {
    block(4, 0, 2, 2);
    p.score = 8;
    p.sweepTime = 36000;
    p.fallDelay = 1e9f;
    p.update(0.0f); // level 0: column 4 holds the square
    EXPECT_EQ(p.level, 0);
    EXPECT_EQ(p.sweepPeriod, 360);
    EXPECT_EQ(p.score, 8);
    p.score = 9;
    p.update(0.0f); // level 1: the sweeper jumps to column 12 and clears it
    EXPECT_EQ(p.level, 1);
    EXPECT_EQ(p.sweepPeriod, 333);
    EXPECT_EQ(p.score, 10);

    pVector start = colorList[1];
    p.update(0.0f);
    EXPECT_FLOAT_EQ(colorList[1].z, start.z * 0.98f + 0.02f * levelList[5].z);
    int expected[][2] = {{49, 5}, {59, 0}, {69, 1}};
    for (auto& [score, palette] : expected) {
        p.score = score;
        steps(2000, 0.0f);
        for (int i = 0; i < 3; i++)
            EXPECT_NEAR(colorList[i].x, levelList[4 * palette + i].x, 1e-4) << score;
    }
}

TEST_F(Board, AfterTheEndAsksForTheEntryScreenOrTheTable) {
    FakeClock clock;
    pPlinx* game = pPlinx::instance();
    delete game->highScoreList.attribs;
    game->highScoreList.attribs = new cAttribs();
    game->highScoreList.makeBlankScoreList(); // 100 down to 55
    for (int score : {101, 55}) {
        game->transitionManager.active = false;
        p.initGame();
        p.score = score;
        p.playing = 0;
        steps(3, 0.5f);
        EXPECT_FALSE(game->transitionManager.active) << "not before 1.5 s";
        steps(1, 0.01f);
        EXPECT_TRUE(game->transitionManager.active);
        EXPECT_EQ(game->transitionManager.toScreen,
                  score == 101 ? HIGH_SCORE_ENTRY_SCREEN : HIGH_SCORE_SCREEN);
    }
}
