#include "File/cAttribs.h"
#include "Game/pPlinx.h"
#include "Game/pPuzzle.h"
#include "Input/pKeyboardHandler.h"

#include "tests/support/FakeClock.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

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
    std::vector<int> piece() const { return std::vector<int>(p.piece, p.piece + 4); }
};
} // namespace

TEST_F(Board, FirstPieceFallsAndTheSecondIsNextInQueue) {
    srand(11);
    int made[16];
    for (int& colour : made)
        colour = rand() % 2 == 1 ? 1 : 2;
    srand(11);
    p.initGame();
    EXPECT_EQ(piece(), std::vector<int>(made, made + 4));
    EXPECT_EQ(std::vector<int>(p.queue[2], p.queue[2] + 4), std::vector<int>(made + 4, made + 8));
    EXPECT_EQ(std::vector<int>(p.queue[1], p.queue[1] + 4), std::vector<int>(made + 8, made + 12));
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
    p.pieceX = 0;
    p.goLeft();
    EXPECT_EQ(p.pieceX, 0);
}

TEST_F(Board, RotationsTurnTheFourCellsAQuarterEachWay) {
    // Lower-left, lower-right, upper-left, upper-right: clockwise the lower-left goes up.
    const std::vector<int> start = {3, 4, 5, 6};
    std::copy(start.begin(), start.end(), p.piece);
    const std::vector<int> clockwise[] = {{4, 6, 3, 5}, {6, 5, 4, 3}, {5, 3, 6, 4}, start};
    for (const std::vector<int>& expected : clockwise) {
        p.turnCW();
        EXPECT_EQ(piece(), expected);
    }
    for (int i = 2; i >= -1; i--) {
        p.turnCCW();
        EXPECT_EQ(piece(), i >= 0 ? clockwise[i] : clockwise[3]);
    }
}

TEST_F(Board, PieceFallsToTheBottomAndLands) {
    steps(20, 0.31f);
    EXPECT_EQ(p.pieceY, 10);
    EXPECT_FALSE(filled(0, 7));
    steps(1, 0.31f);
    EXPECT_EQ(p.pieceY, STARTING_HEIGHT);
    const int colours[][3] = {{0, 7, 1}, {0, 8, 2}, {1, 7, 2}, {1, 8, 1}};
    for (auto [row, column, colour] : colours) {
        EXPECT_TRUE(filled(row, column));
        EXPECT_EQ(p.cells[row * 16 + column].color, colour) << row << "," << column;
    }
}

TEST_F(Board, ANewPieceMakesAHeldKeyWaitTheRepeatDelayAgain) {
    FakeClock clock;
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    keyboard->init();
    keyboard->enableRepeat(250.0, 20.0);
    keyboard->keys[PKEY_LEFT] = true;
    ASSERT_TRUE(keyboard->keyPressed(PKEY_LEFT, 0));
    keyboard->update();
    clock.advance(200);
    p.pieceY = 10;
    steps(1, 0.31f); // lands: the next piece comes
    ASSERT_EQ(p.pieceY, STARTING_HEIGHT);
    clock.advance(60);
    EXPECT_FALSE(keyboard->keyPressed(PKEY_LEFT, 0));
    clock.advance(191);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_LEFT, 0));
    keyboard->clear();
    keyboard->disableRepeat();
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

    // A fast fall drops a piece from above the well into the top row, or ends a full well.
    for (int rows : {0, 10}) {
        SetUp();
        stack(7, rows);
        p.enableDown();
        steps(1, 0.021f);
        EXPECT_EQ(p.pieceY, rows ? 0 : 1);
        EXPECT_EQ(p.playing, rows ? 0 : 1);
    }
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

    // A square of two colours stays however often the sweeper passes.
    SetUp();
    block(4, 0, 2, 2);
    fill(1, 5, 1);
    p.fallDelay = 1e9f;
    steps(2 * 16 * 360 / 10, 0.01f);
    EXPECT_EQ(p.score, 0);
    EXPECT_TRUE(filled(0, 4) && filled(1, 5));
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
    game->transitionManager.active = false;
}

// Random play with random inputs and step lengths; the board's invariants hold after every step.
TEST(BoardProperty, RandomPlayKeepsTheWellConsistent) {
    std::mt19937 random(20261206);
    srand(5);
    pPuzzle p;
    p.initGame();
    int lastScore = 0, points = 0, games = 0;
    void (pPuzzle::*inputs[])() = {&pPuzzle::goLeft,  &pPuzzle::goRight,    &pPuzzle::turnCW,
                                   &pPuzzle::turnCCW, &pPuzzle::enableDown, &pPuzzle::disableDown};
    const float stepLengths[] = {0.0f, 0.0005f, 0.008f, 0.0167f, 0.05f, 0.31f, 2.0f, -0.5f};
    for (int step = 0; step < 50000; step++) {
        unsigned int input = random() % 8; // 6 and 7: no key this step
        if (input < 6)
            (p.*inputs[input])();
        p.update(stepLengths[random() % 8]);
        ASSERT_GE(p.score, lastScore);
        points += p.score - lastScore;
        lastScore = p.score;
        ASSERT_TRUE(p.pieceX >= 0 && p.pieceX <= 14) << p.pieceX;
        ASSERT_TRUE(p.pieceY >= STARTING_HEIGHT && p.pieceY <= 10) << p.pieceY;
        ASSERT_GE(p.sweepTime, 0);
        ASSERT_LE(p.squares.size(), 15u * 9u);
        for (const pCell& cell : p.cells)
            ASSERT_TRUE(cell.empty == 1 ||
                        (cell.empty == 0 && (cell.color == 1 || cell.color == 2)));
        for (const int2& square : p.squares)
            ASSERT_TRUE(square.x >= 0 && square.x <= 14 && square.y >= 0 && square.y <= 8);
        if (p.playing != 1) {
            p.initGame();
            lastScore = 0;
            games++;
        }
    }
    // The run must reach the interesting parts: clearing and game over.
    EXPECT_GT(points, 100);
    EXPECT_GT(games, 50);
}
