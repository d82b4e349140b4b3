#include "Game/pPlinx.h"

#include "tests/support/Fakes.h"

#include <tuple>

namespace {

// A running game on an empty well with a two-colour piece at the top of column 7.
struct Board : ::testing::Test {
    pPuzzle p;
    void SetUp() override {
        srand(7);
        p.initGame();
        const int colours[4] = {1, 2, 2, 1};
        std::copy(colours, colours + 4, p.piece);
    }
    void fill(int row, int column, int colour) { p.cells[row * 16 + column] = {0, colour}; }
    // Columns with two colours taking turns: no one-colour square anywhere in them.
    void stack(int column, int rows) {
        for (int row = 0; row < rows; row++)
            fill(row, column, 1 + (row + column) % 2);
    }
    void block(int column, int row, int width, int height) {
        for (int c = column; c < column + width; c++)
            for (int r = row; r < row + height; r++)
                fill(r, c, 2);
    }
    // The cells of columns `from` to `to`, each bottom row first, '.' for free.
    std::string columns(int from, int to) const {
        std::string all;
        for (int column = from; column <= to; column++) {
            for (int row = 0; row < 10; row++) {
                const pCell& cell = p.cells[row * 16 + column];
                all += cell.empty ? '.' : static_cast<char>('0' + cell.color);
            }
            all += column < to ? "|" : "";
        }
        return all;
    }
    void steps(int count, float seconds) {
        while (count-- > 0)
            p.update(seconds);
    }
    // The piece hangs above the well; 360 ms per column at level 0.
    void sweepAt(int column) {
        p.fallDelay = 1e9f;
        p.sweepTime = column * 360;
        p.update(0.0f);
    }
    std::string piece() const {
        return std::to_string(p.piece[0]) + std::to_string(p.piece[1]) +
               std::to_string(p.piece[2]) + std::to_string(p.piece[3]);
    }
};

} // namespace

TEST_F(Board, PiecesComeFromTheQueueAndMoveWithinWallsCellsAndTheMoveDelay) {
    srand(11);
    std::string made;
    for (int i = 0; i < 16; i++)
        made += std::to_string(rand() % 2 == 1 ? 1 : 2);
    srand(11);
    p.initGame(); // the first piece falls, the second is next in the queue
    std::string queue;
    for (int i = 2; i >= 0; i--)
        for (int cell = 0; cell < 4; cell++)
            queue += std::to_string(p.queue[i][cell]);
    EXPECT_EQ(piece() + queue, made);
    p.pieceY = 5; // rows 5 and 6
    p.moveTime = 1;
    fill(6, 6, 1);
    p.goLeft(); // upper row blocked: no move, but the delay restarts
    p.goRight();
    std::string moves = std::to_string(p.pieceX);
    p.moveTime = 1;
    p.goRight();
    p.goRight(); // the same frame: refused by the delay
    moves += std::to_string(p.pieceX);
    p.pieceX = 14, p.moveTime = 1;
    p.goRight(); // the wall: the delay is not spent
    moves += std::to_string(p.moveTime == 1);
    p.pieceX = 0;
    p.goLeft();
    EXPECT_EQ(moves + std::to_string(p.pieceX), "7810");
    // Lower-left, lower-right, upper-left, upper-right: clockwise the lower-left goes up.
    const int start[4] = {3, 4, 5, 6};
    std::copy(start, start + 4, p.piece);
    std::string turns;
    for (int i = 0; i < 4; i++, p.turnCW())
        turns += piece() + " ";
    for (int i = 0; i < 4; i++, p.turnCCW())
        turns += piece() + " ";
    EXPECT_EQ(turns, "3456 4635 6543 5364 3456 5364 6543 4635 ");
}

TEST_F(Board, PiecesFallLandSplitAndEndTheGameAtTheTop) {
    steps(20, 0.31f);
    EXPECT_EQ(p.pieceY, 10);
    steps(1, 0.31f);
    EXPECT_EQ(p.pieceY, STARTING_HEIGHT);
    EXPECT_EQ(columns(7, 8), "12........|21........");
    // A half with nothing under it settles one row per step.
    SetUp();
    stack(7, 4);
    p.pieceY = 6;
    std::string settling;
    for (auto [count, seconds] : {std::pair{1, 0.31f}, {3, 0.01f}, {1, 0.01f}})
        steps(count, seconds), settling += columns(7, 8) + " ";
    EXPECT_EQ(settling, "212112....|....21.... 212112....|.21....... 212112....|21........ ");
    // Landing at depth 3 fills the top rows; at depth 2 its upper half would stick out.
    SetUp();
    stack(7, 8);
    stack(8, 8);
    p.pieceY = 2;
    steps(1, 0.31f);
    EXPECT_EQ(columns(7, 8) + std::to_string(p.playing), "2121212112|12121212211");
    p.cells[9 * 16 + 7].empty = p.cells[9 * 16 + 8].empty = 1;
    p.pieceY = 1;
    steps(1, 0.31f);
    EXPECT_EQ(p.playing * 10 + p.pieceY, 1);
    EXPECT_EQ(columns(7, 8), "212121211.|121212122.");
    pPuzzle before = p;
    steps(5, 0.2f); // the board stands still after the end
    EXPECT_EQ(p.pieceY * 1000000 + p.sweepTime, before.pieceY * 1000000 + before.sweepTime);
    // A fast fall drops a piece from above the well into the top row, or ends a full well.
    for (int rows : {0, 10}) {
        SetUp();
        stack(7, rows);
        p.enableDown();
        steps(1, 0.021f);
        EXPECT_EQ(p.pieceY * 10 + p.playing, rows ? 0 : 11);
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
    const bool early = keyboard->keyPressed(PKEY_LEFT, 0);
    clock.advance(191);
    EXPECT_TRUE(!early && keyboard->keyPressed(PKEY_LEFT, 0));
    keyboard->init();
}

TEST_F(Board, SquaresAreClearedOnceEachWhenTheSweeperLeavesTheirColumn) {
    block(4, 0, 2, 2);
    fill(2, 4, 1);
    sweepAt(4);
    steps(3, 0.1f); // still on column 4
    EXPECT_EQ(p.score, 0);
    // It leaves a pass later, in a step in which the piece falls.
    p.fallDelay = 0.2f, p.sweepTime = (16 + 5) * 360;
    p.update(0.0f);
    EXPECT_EQ(std::to_string(p.score) + columns(4, 5), "1..1.......|..........");
    steps(2, 0.001f); // the cell above falls into the gap, a row per step
    EXPECT_EQ(columns(4, 4), "1.........");
    // Each distinct square of a block scores once, held while the sweeper is on its columns.
    for (auto [width, height, score] : {std::tuple{2, 3, 2}, {3, 2, 2}, {3, 3, 4}}) {
        SetUp();
        block(4, 0, width, height);
        for (int column = 4; column < 4 + width - 1; column++) {
            sweepAt(column);
            steps(2, 0.01f);
            EXPECT_EQ(p.score, 0);
        }
        sweepAt(4 + width - 1);
        EXPECT_EQ(p.score, score) << width << "x" << height;
        EXPECT_EQ(columns(4, 6).substr(0, 1) + columns(4 + width - 1, 4 + width - 1)[0], "..");
    }
    // A square of two colours stays however often the sweeper passes.
    SetUp();
    block(4, 0, 2, 2);
    fill(1, 5, 1);
    p.fallDelay = 1e9f;
    steps(2 * 16 * 360 / 10, 0.01f);
    EXPECT_EQ(std::to_string(p.score) + columns(4, 5), "022........|21........");
}

// The sweeper keeps its pace and its column however long a game has run: its clock adds up
// float milliseconds, which from 2^24 would drop or double a frame's step.
TEST_F(Board, TheSweeperKeepsItsPaceAndColumnAfterDaysOfPlay) {
    // Just below 2^24 ms, then 3, 6 and 12 days at 60 and 30 fps.
    const std::pair<int, float> cases[] = {{16777216 - 200, 0.0167f},
                                           {1 << 28, 0.0167f},
                                           {1 << 29, 0.0167f},
                                           {1 << 29, 0.0333f},
                                           {1 << 30, 0.0333f}};
    for (auto [start, step] : cases) {
        SetUp();
        p.fallDelay = 1e9f;
        p.sweepTime = start;
        p.update(0.0f);
        const int pass = 16 * p.sweepPeriod;
        EXPECT_EQ(p.sweepTime % pass, start % pass) << "a wrap keeps the sweeper in place";
        // A minute of steps covers a minute, less the fractions each step drops.
        const int count = static_cast<int>(60.0f / step);
        long long covered = 0;
        for (int i = 0; i < count; i++) {
            int before = p.sweepTime;
            p.update(step);
            covered += ((p.sweepTime - before) % pass + pass) % pass;
            ASSERT_LT(p.sweepTime, 16777216 + 1000);
        }
        EXPECT_NEAR(covered, count * step * 1000, count * 1.5) << start << " ms, step " << step;
    }
}

// The switch at the fade's middle shows in the screen flow; here what the flow cannot reach.
TEST(pTransitionManager, TheFirstRequestWinsAndALateStepSwitchesAndEnds) {
    FakeClock clock;
    pPlinx* game = pPlinx::instance();
    pTransitionManager fade;
    game->currentScreen = BLANK_SCREEN;
    fade.beginTransition(SPLASH_SCREEN);
    clock.advance(100);
    fade.beginTransition(MAIN_GAME); // neither restarts nor retargets
    std::string seen;
    for (double ms : {150, 1, 250}) {
        clock.advance(ms);
        fade.update();
        seen += std::to_string(game->currentScreen) + std::to_string(fade.active) + " ";
    }
    fade.beginTransition(HIGH_SCORE_SCREEN);
    clock.advance(600);
    fade.update();
    EXPECT_EQ(seen + std::to_string(game->currentScreen) + std::to_string(fade.active),
              "11 01 00 30");
    game->currentScreen = BLANK_SCREEN;
}
