#include "Game/pPlinx.h"

#include "tests/support/Fakes.h"

#include <array>
#include <tuple>

namespace {

// A running game on an empty well with a two-colour piece at the top of column 7.
struct Board : ::testing::Test {
    pPuzzle p;
    void SetUp() override {
        srand(7);
        p.initGame();
        give({1, 2, 2, 1});
    }
    void give(std::array<int, 4> colours) { std::copy(colours.begin(), colours.end(), p.piece); }
    void fill(int row, int column, int colour) { p.cells[row * 16 + column] = {0, colour}; }
    // Cells of colour 2, or `mixed`: two colours taking turns, no one-colour square anywhere.
    void block(int column, int row, int width, int height, bool mixed = false) {
        for (int c = column; c < column + width; c++)
            for (int r = row; r < row + height; r++)
                fill(r, c, mixed ? 1 + (r + c) % 2 : 2);
    }
    // The cells of columns `from` to `to`, each bottom row first, '.' for free.
    std::string columns(int from, int to) const {
        std::string all;
        for (int i = from * 10; i < to * 10 + 10; i++) {
            const pCell& cell = p.cells[i % 10 * 16 + i / 10];
            all += i % 10 == 0 && i > from * 10 ? "|" : "";
            all += cell.empty ? '.' : static_cast<char>('0' + cell.color);
        }
        return all;
    }
    void steps(int count, float seconds) {
        while (count-- > 0)
            p.update(seconds);
    }
    // The piece hangs above the well; 360 ms per column at level 0.
    void sweepAt(int column, int ms = 0) {
        p.fallDelay = 1e9f;
        p.sweepTime = column * 360 + ms;
        p.update(0.0f);
    }
    static std::string digits(const int* four) {
        return std::to_string(four[0]) + std::to_string(four[1]) + std::to_string(four[2]) +
               std::to_string(four[3]);
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
    std::string queue = digits(p.piece);
    for (int i = 2; i >= 0; i--)
        queue += digits(p.queue[i]);
    EXPECT_EQ(queue, made);
    // From a column (-1: where the last moves left it) with the delay spent, the moves of one
    // frame; then where the piece is, and whether the delay is still spent.
    p.pieceY = 5; // rows 5 and 6
    fill(6, 6, 1);
    std::string moves;
    // The upper row blocked: no move, but the delay restarts; the same frame: refused by the
    // delay; the walls: the delay is not spent.
    for (auto [column, keys] : {std::pair{-1, "LR"}, {-1, "RR"}, {14, "R"}, {0, "L"}}) {
        p.pieceX = column < 0 ? p.pieceX : column;
        p.moveTime = 1;
        for (const char* key = keys; *key; key++)
            *key == 'L' ? p.goLeft() : p.goRight();
        moves += std::to_string(p.pieceX) + std::to_string(p.moveTime == 1) + " ";
    }
    EXPECT_EQ(moves, "70 80 141 01 ");
    // Lower-left, lower-right, upper-left, upper-right: clockwise the lower-left goes up.
    give({3, 4, 5, 6});
    std::string turns;
    for (int i = 0; i < 4; i++, p.turnCW())
        turns += digits(p.piece) + " ";
    for (int i = 0; i < 4; i++, p.turnCCW())
        turns += digits(p.piece) + " ";
    EXPECT_EQ(turns, "3456 4635 6543 5364 3456 5364 6543 4635 ");
}

TEST_F(Board, PiecesFallLandSplitAndEndTheGameAtTheTop) {
    steps(20, 0.31f);
    EXPECT_EQ(p.pieceY, 10);
    steps(1, 0.31f);
    EXPECT_EQ(std::to_string(p.pieceY) + " " + columns(7, 8),
              std::to_string(STARTING_HEIGHT) + " 12........|21........");
    // A half with nothing under it settles one row per step.
    SetUp();
    block(7, 0, 1, 4, true);
    p.pieceY = 6;
    std::string settling;
    for (auto [count, seconds] : {std::pair{1, 0.31f}, {3, 0.01f}, {1, 0.01f}})
        steps(count, seconds), settling += columns(7, 8) + " ";
    EXPECT_EQ(settling, "212112....|....21.... 212112....|.21....... 212112....|21........ ");
    // Landing at depth 3 fills the top rows; at depth 2 its upper half would stick out.
    SetUp();
    block(7, 0, 2, 8, true);
    p.pieceY = 2;
    steps(1, 0.31f);
    EXPECT_EQ(columns(7, 8) + std::to_string(p.playing), "2121212112|12121212211");
    p.cells[9 * 16 + 7].empty = p.cells[9 * 16 + 8].empty = 1;
    p.pieceY = 1;
    steps(1, 0.31f);
    EXPECT_EQ(std::to_string(p.playing * 10 + p.pieceY) + " " + columns(7, 8),
              "1 212121211.|121212122.");
    pPuzzle before = p;
    steps(5, 0.2f); // the board stands still after the end
    EXPECT_EQ(p.pieceY * 1000000 + p.sweepTime, before.pieceY * 1000000 + before.sweepTime);
    // A fast fall drops a piece from above the well into the top row, or ends a full well.
    for (int rows : {0, 10}) {
        SetUp();
        block(7, 0, 1, rows, true);
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
    // Just below 2^24 ms, then 3, 6 and 12 days, at 60 and at 30 fps.
    for (int start : {16777216 - 200, 1 << 28, 1 << 29, 1 << 30})
        for (float step : {0.0167f, 0.0333f}) {
            SetUp();
            sweepAt(0, start);
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
