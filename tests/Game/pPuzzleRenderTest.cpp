#include "Game/pPlinx.h"
#include "Image/pTextureLoader.h"

#include "tests/support/Fakes.h"
#include "tests/support/GLTestContext.h"

#include <cmath>
#include <memory>

namespace {

// In the 640 x 480 window a board unit is 12 pixels; cell (row, column) is centred at
// (-15 + 2 column, -15 + 2 row), everything shifted one unit right. The palette is yellow (the
// gauge), red, blue and green.
class BoardPicture : public GLTestContext {
protected:
    pPuzzle board;
    pPlinx* game = pPlinx::instance();
    pTexture* saved = game->blockTexture;
    std::unique_ptr<pTexture> texture;

    void ready() override {
        texture.reset(pTextureLoader::instance()->loadTexture(
            PLINX_SOURCE_DIR "/Resources/block.tga", false, false));
        game->blockTexture = texture.get();
        board.initGame();
        const pVector palette[] = {{1, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, 1, 0}};
        std::copy(palette, palette + 4, colorList);
        board.sweepTime = 12 * 320 + 160; // the line at x 9: over columns 10 to 12
    }
    void TearDown() override {
        game->blockTexture = saved;
        game->transitionManager.active = false;
    }
    void fill(int row, int column, int colour) { board.cells[row * 16 + column] = {0, colour}; }
    void draw() {
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        board.render();
    }
    static float centre(int index) { return -15.0f + 2.0f * static_cast<float>(index); }
    static int screenX(float x) { return static_cast<int>(std::floor(320 + (x + 1) * 12)); }
    static int screenY(float y) { return static_cast<int>(std::floor(240 - y * 12)); }
    Rgba at(float x, float y) { return pixel(screenX(x), screenY(y)); }
    // The tint at a place: 0 yellow, 1 red, 2 blue, 3 green, 4 the empty well's grey, 5 the
    // sweeper's warm glow, 6 opaque white, -1 anything else.
    int tint(float x, float y) {
        Rgba p = at(x, y);
        const bool r = p[0] > 150, g = p[1] > 150, b = p[2] > 150;
        if (p == Rgba{255, 255, 255, 255})
            return 6;
        if (std::abs(p[0] - 51) <= 2 && p[0] == p[1] && p[1] == p[2])
            return 4;
        if (r && p[1] < 40 && p[2] < 40)
            return 1;
        if (warm(p, 3))
            return 5;
        return r && g && !b ? 0 : b && !r && !g ? 2 : g && !r && !b ? 3 : -1;
    }
    static bool warm(Rgba p, int by) { return p[0] - p[2] >= by && p[0] > p[1] && p[1] > p[2]; }
    // Tints along a row of places, as digits.
    std::string tints(std::initializer_list<std::pair<float, float>> places) {
        std::string all;
        for (auto [x, y] : places)
            all += std::to_string(tint(x, y));
        return all;
    }
    // Outlines and the sweeper line are the only opaque white.
    bool whiteNear(float x, float y) {
        for (float dx = -1; dx <= 1; dx++)
            for (float dy = -1; dy <= 1; dy++)
                if (tint(x + dx / 12, y + dy / 12) == 6)
                    return true;
        return false;
    }
};

} // namespace

TEST_F(BoardPicture, EmptyBoardShowsOnlyWellGaugeQueuePieceAndSweeper) {
    draw();
    EXPECT_EQ(tints({{centre(3), centre(4)}, {8, -5}}), "45");
    EXPECT_TRUE(whiteNear(9, -5));
    EXPECT_NEAR(at(18, -5)[0], 26, 2) << "the empty gauge";
    // Left for the next drawing: additive blending, no texture, the same frame when redrawn.
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    EXPECT_TRUE(source == GL_ONE && glIsEnabled(GL_BLEND) && !glIsEnabled(GL_TEXTURE_2D));
    std::vector<unsigned char> first = readAll();
    draw();
    EXPECT_TRUE(readAll() == first) << "a second frame must look the same";
}

TEST_F(BoardPicture, PieceAndQueueShowTheirCellsInBoardOrderTheNextPieceHighest) {
    game->blockTexture = nullptr; // plain squares of the tint
    const int cells[4] = {0, 1, 2, 3};
    std::copy(cells, cells + 4, board.piece);
    std::copy(cells, cells + 4, board.queue[2]);
    std::fill(&board.queue[0][0], &board.queue[0][0] + 8, 3);
    // Lower-left, lower-right, upper-left, upper-right around the first cell's centre.
    auto order = [this](float x, float y) {
        return tints({{x, y}, {x + 2, y}, {x, y + 2}, {x + 2, y + 2}});
    };
    // Above the well at any depth down to 0, then in row 10 - depth.
    for (auto [depth, y] : {std::pair{-10, 5.0f}, {0, 5.0f}, {1, centre(9)}, {6, centre(4)}}) {
        board.pieceY = depth;
        draw();
        EXPECT_EQ(order(centre(7), y) + " " + order(-20, -1) + order(-20, -7) + order(-20, -13),
                  "0123 012333333333")
            << "the piece at depth " << depth << ", queue[2] highest";
    }
    EXPECT_EQ(tint(centre(8) + 0.8f, centre(4) - 1.5f), 4) << "each cell a square: the well below";
}

TEST_F(BoardPicture, CellsShowPackedDownTheirColumnAndSquaresAreOutlinedWhereTheyAre) {
    // Column 9 has a hole under row 3: its cell shows resting on row 1 already.
    for (auto [row, column, colour] :
         {std::tuple{0, 0, 1}, {3, 5, 2}, {4, 5, 1}, {0, 9, 2}, {3, 9, 1}})
        fill(row, column, colour);
    for (int row = 0; row < 2; row++) {
        fill(row, 1, 1), fill(row, 2, 1);           // a square
        fill(row, 12, 1), fill(row, 13, row + 1);   // two colours
        fill(row + 3, 6, 2), fill(row + 3, 7, 2);   // a square still to fall three rows
        fill(row + 8, 14, 1), fill(row + 8, 15, 1); // a square in the top rows
    }
    draw();
    auto cell = [this](int row, int column) { return tint(centre(column), centre(row)); };
    EXPECT_EQ(std::to_string(cell(0, 0)) + std::to_string(cell(1, 5)) + std::to_string(cell(4, 5)) +
                  std::to_string(cell(1, 9)) + std::to_string(cell(3, 9)),
              "11414");
    EXPECT_LT(at(centre(0), centre(0))[0], 209) << "textured, so darker than the plain tint";
    EXPECT_TRUE(whiteNear(-14, -14) && whiteNear(-10, -14) && whiteNear(-12, -12));
    EXPECT_FALSE(whiteNear(8, -14) || whiteNear(12, -14) || whiteNear(10, -12));
    EXPECT_TRUE(whiteNear(-4, -8) && whiteNear(-2, -6) && whiteNear(-2, -10));
    EXPECT_TRUE(!whiteNear(-2, -12) && whiteNear(14, 0) && whiteNear(12, 2) && whiteNear(16, 2));
    game->blockTexture = nullptr;
    draw();
    EXPECT_NEAR(at(centre(0), centre(0))[0], 214, 2) << "0.8 red over the well";
}

TEST_F(BoardPicture, GaugeFillsATenthPerPointAndTheTrailWrapsFromTheFirstTwoColumns) {
    auto filled = [this](float y) {
        Rgba p = at(18, y);
        return p[0] > 120 && p[1] > 120 && p[2] < 30;
    };
    board.score = 9;
    draw();
    EXPECT_TRUE(filled(-15) && filled(1.5f));
    EXPECT_NEAR(at(18, 2.5f)[0], 26, 2);
    colorList[0] = pVector(0, 1, 0);
    draw();
    EXPECT_LT(at(18, -15)[0], 30) << "the gauge takes the palette's first colour";
    board.score = 10;
    draw();
    EXPECT_NEAR(at(18, -15)[0], 26, 2);
    // The line at x -15 (column 0): the trail goes on from the well's right edge; at x -13 a
    // quarter of it is left for the right edge; from column 2 on it lies wholly behind the line.
    board.sweepTime = 160;
    draw();
    EXPECT_TRUE(whiteNear(-15, -5) && warm(at(-15.5f, -5), 40) && tint(-14, -5) == 4);
    EXPECT_TRUE(warm(at(15.5f, -5), 20) && warm(at(13.5f, -5), 3) && tint(12.5f, -5) == 4);
    board.sweepTime = 480;
    draw();
    EXPECT_TRUE(warm(at(15.7f, -5), 8) && tint(14.5f, -5) == 4);
    for (int sweep : {800, 800 + 16 * 320}) { // a pass later, the same place
        board.sweepTime = sweep;
        draw();
        EXPECT_TRUE(tint(15.5f, -5) == 4 && warm(at(-12, -5), 20) && tint(-10, -5) == 4);
    }
}

TEST_F(BoardPicture, FadeVeilDarkensByItsDarknessAndTheBoardShrinksAndGrows) {
    FakeClock clock;
    pTransitionManager& fade = game->transitionManager;
    game->viewWidth = kWidth;
    game->viewHeight = kHeight;
    auto veil = [&](double ms) {
        clock.advance(ms);
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        fade.draw();
        glClearColor(0, 0, 0, 1);
        return std::to_string((pixel(kWidth - 1, kHeight - 1)[0] + 4) / 8) + " ";
    };
    fade.beginTransition(MAIN_GAME);
    EXPECT_EQ(veil(125) + veil(125) + veil(125), "16 0 16 ");
    EXPECT_NEAR(pixel(0, 0)[0], 128, 1) << "over the whole view";
    for (int row = 0; row <= 5; row++)
        fill(row, 8, 1);
    fade.darkness = 1; // the black middle: half size around the view's middle
    draw();
    EXPECT_EQ(tints({{centre(8) / 2 - 0.5f, centre(5) / 2}, {centre(8), centre(5)}}), "14");
    fade.active = false;
    board.gameOverTime = 2.5f; // after a game over the board has grown to twice its size
    draw();
    EXPECT_EQ(tints({{2 * centre(8) + 1, 2 * centre(5)}, {centre(8), centre(5)}}), "14");
    EXPECT_EQ(veil(10), "32 ");
}

// With block marks on, every cell of the second colour carries a mark at its centre, in the
// well, the falling piece and the queue, at the board's size of the moment; nothing else of the
// picture changes.
TEST_F(BoardPicture, BlockMarksSitOnTheSecondColourOnlyAtTheBoardsSizeOfTheMoment) {
    board = pPuzzle();
    colorList[1] = pVector(0.9f, 0.2f, 0.2f);
    colorList[2] = pVector(0.2f, 0.3f, 0.9f);
    board.sweepTime = 13 * 320; // the sweeper right of the cells
    // Board-unit centres of the second colour's cells: the queue, the piece above the well's
    // middle and two rows of the well.
    std::vector<std::pair<float, float>> marked;
    for (int cell = 0; cell < 4; cell++) {
        const int colour = cell == 1 || cell == 2 ? 2 : 1, x = cell % 2 * 2, y = cell / 2 * 2;
        board.piece[cell] = board.queue[0][cell] = board.queue[1][cell] = board.queue[2][cell] =
            colour;
        for (int piece = 0; colour == 2 && piece < 3; piece++)
            marked.push_back({-20.0f + x, -13.0f + 6 * piece + y});
        if (colour == 2)
            marked.push_back({-1.0f + x, 5.0f + y});
    }
    for (int cell = 0; cell < 8; cell++) { // two rows of four
        const int row = cell / 4, column = cell % 4;
        board.cells[row * 16 + column] = {0, 1 + (row + column) % 2};
        if ((row + column) % 2)
            marked.push_back({-15.0f + 2 * column, -15.0f + 2 * row});
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
        for (auto [x, y] : marked)
            EXPECT_TRUE(changed(int(240 + y * unit) * kWidth + int(320 + (x + 1) * unit)))
                << "no mark at " << x << ", " << y;
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
