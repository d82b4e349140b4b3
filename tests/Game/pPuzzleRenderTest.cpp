#include "Game/pPlinx.h"
#include "Image/pTextureLoader.h"

#include "tests/support/FakeClock.h"
#include "tests/support/GLTestContext.h"

#include <cmath>
#include <memory>

namespace {

using Rgba = GLTestContext::Rgba;

bool red(Rgba p) {
    return p[0] > 150 && p[1] < 40 && p[2] < 40;
}
// The empty well: white at 0.2 over black.
bool grey(Rgba p) {
    return std::abs(p[0] - 51) <= 2 && p[0] == p[1] && p[1] == p[2];
}
// Shifted towards red: the sweeper's glow.
bool warm(Rgba p, int by) {
    return p[0] - p[2] >= by && p[0] > p[1] && p[1] > p[2];
}

// In the 640 x 480 window a board unit is 12 pixels; cell (row, column) is centred at
// (-15 + 2 column, -15 + 2 row), everything shifted one unit right.
class BoardPicture : public GLTestContext {
protected:
    pPuzzle board;
    pPlinx* game = nullptr;
    std::unique_ptr<pTexture> texture;

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        game = pPlinx::instance();
        texture.reset(pTextureLoader::instance()->loadTexture(
            PLINX_SOURCE_DIR "/Resources/block.tga", false, false));
        ASSERT_NE(texture, nullptr);
        saved = game->blockTexture;
        game->blockTexture = texture.get();
        board.initGame();
        colorList[0] = pVector(1, 1, 0);
        colorList[1] = pVector(1, 0, 0);
        colorList[2] = pVector(0, 0, 1);
        colorList[3] = pVector(0, 1, 0);
        sweepAt(12.5f); // over columns 10 to 12, out of the way
    }
    void TearDown() override {
        if (game) {
            game->blockTexture = saved;
            game->transitionManager.active = false;
        }
    }
    pTexture* saved = nullptr;

    void sweepAt(float column) { board.sweepTime = static_cast<int>(column * 320); }
    void fill(int row, int column, int colour) { board.cells[row * 16 + column] = {0, colour}; }
    void draw() {
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        board.render();
    }
    static float centre(int index) { return -15.0f + 2.0f * static_cast<float>(index); }
    Rgba at(float x, float y, float unit = 12) {
        return pixel(static_cast<int>(std::floor(320 + (x + 1) * unit)),
                     static_cast<int>(std::floor(240 - y * unit)));
    }
    Rgba cell(int row, int column) { return at(centre(column), centre(row)); }
    // The tint a cell shows: 0 yellow, 1 red, 2 blue, 3 green, -1 none of them.
    int tintAt(float x, float y) {
        Rgba p = at(x, y);
        const bool r = p[0] > 150, g = p[1] > 150, b = p[2] > 150;
        return r && g && !b ? 0 : r && !g && !b ? 1 : b && !r && !g ? 2 : g && !r && !b ? 3 : -1;
    }
    // Only square outlines and the sweeper line are opaque white.
    bool whiteNear(float x, float y) {
        for (float dx = -1; dx <= 1; dx++)
            for (float dy = -1; dy <= 1; dy++)
                if (at(x + dx / 12, y + dy / 12) == Rgba{255, 255, 255, 255})
                    return true;
        return false;
    }
};

} // namespace

TEST_F(BoardPicture, EmptyBoardShowsOnlyWellGaugeQueuePieceAndSweeper) {
    draw();
    // Well (with the sweeper), gauge, queue, the piece hovering over columns 7 and 8.
    const float m = 1.0f / 12;
    const float parts[][4] = {
        {-16, -16, 16, 4}, {17, -16, 19, 4}, {-21, -14, -17, 2}, {-2, 4, 2, 8}};
    std::vector<unsigned char> data = readAll();
    int stray = 0;
    for (int i = 0; i < kWidth * kHeight; i++) {
        float x = (static_cast<float>(i % kWidth) + 0.5f - 320) / 12 - 1;
        float y = (static_cast<float>(i / kWidth) + 0.5f - 240) / 12;
        bool inside = false;
        for (const auto& r : parts)
            inside = inside || (x > r[0] - m && x < r[2] + m && y > r[1] - m && y < r[3] + m);
        stray += !inside && (data[4 * i] || data[4 * i + 1] || data[4 * i + 2]) ? 1 : 0;
    }
    EXPECT_EQ(stray, 0);
    EXPECT_TRUE(grey(cell(4, 3)));
    EXPECT_NEAR(at(18, -5)[0], 26, 2);
    EXPECT_TRUE(whiteNear(9, -5));
    EXPECT_TRUE(warm(at(8, -5), 20));

    // Left for the next drawing: additive blending, no texture, the same frame when redrawn.
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    EXPECT_TRUE(source == GL_ONE && glIsEnabled(GL_BLEND) && !glIsEnabled(GL_TEXTURE_2D));
    draw();
    EXPECT_TRUE(readAll() == data) << "a second frame must look the same";
}

TEST_F(BoardPicture, PieceAndQueueShowTheirCellsInBoardOrderTheNextPieceHighest) {
    game->blockTexture = nullptr; // plain squares of the tint
    const int cells[4] = {0, 1, 2, 3};
    std::copy(cells, cells + 4, board.piece);
    std::copy(cells, cells + 4, board.queue[2]);
    std::fill(&board.queue[0][0], &board.queue[0][0] + 8, 3);
    // Lower-left, lower-right, upper-left, upper-right around the first cell's centre.
    auto order = [this](float x, float y) {
        return std::vector<int>{tintAt(x, y), tintAt(x + 2, y), tintAt(x, y + 2),
                                tintAt(x + 2, y + 2)};
    };
    const std::vector<int> inOrder = {0, 1, 2, 3}, green = {3, 3, 3, 3};
    // Above the well at any depth down to 0, then in row 10 - pieceY.
    for (auto [depth, y] : {std::pair{-10, 5.0f}, {0, 5.0f}, {1, centre(9)}, {6, centre(4)}}) {
        board.pieceY = depth;
        draw();
        EXPECT_EQ(order(centre(7), y), inOrder) << "the piece at depth " << depth;
        EXPECT_EQ(order(-20, -1), inOrder) << "queue[2]";
        EXPECT_EQ(order(-20, -7), green) << "queue[1]";
        EXPECT_EQ(order(-20, -13), green) << "queue[0]";
    }
}

TEST_F(BoardPicture, CellsShowAtTheirPlaceInTheirTintPackedDownTheColumn) {
    fill(0, 0, 1);
    fill(3, 5, 2);
    fill(4, 5, 1);
    fill(0, 9, 2); // a hole under row 3: shown resting on row 1 already
    fill(3, 9, 1);
    draw();
    EXPECT_TRUE(red(cell(0, 0)) && grey(cell(0, 1)));
    EXPECT_TRUE(red(cell(1, 5)) && grey(cell(4, 5)) && red(cell(1, 9)) && grey(cell(3, 9)));

    // Without the block picture the cells are plain squares of the tint.
    Rgba textured = cell(0, 0);
    game->blockTexture = nullptr;
    draw();
    EXPECT_NEAR(cell(0, 0)[0], 214, 2); // 0.8 red over the well
    EXPECT_LT(textured[0], 209);
}

TEST_F(BoardPicture, OneColourSquaresAreOutlinedAtTheirTrueRows) {
    for (int row = 0; row < 2; row++) {
        fill(row, 1, 1);
        fill(row, 2, 1);
        fill(row, 5, 1);
        fill(row, 6, row + 1); // two colours
        fill(row + 3, 8, 2);   // still to fall three rows
        fill(row + 3, 9, 2);
        fill(row + 8, 14, 1); // the top two rows, at the right wall
        fill(row + 8, 15, 1);
    }
    draw();
    EXPECT_TRUE(whiteNear(-14, -14) && whiteNear(-10, -14) && whiteNear(-12, -12));
    EXPECT_FALSE(whiteNear(-6, -14) || whiteNear(-2, -14) || whiteNear(-4, -12));
    EXPECT_TRUE(whiteNear(0, -8) && whiteNear(2, -6) && whiteNear(2, -10));
    EXPECT_FALSE(whiteNear(2, -12));
    EXPECT_TRUE(whiteNear(14, 0) && whiteNear(12, 2) && whiteNear(16, 2));
}

TEST_F(BoardPicture, GaugeFillsATenthPerPointInTheGaugeColourAndEmptiesAtTen) {
    auto filled = [](Rgba p) { return p[0] > 120 && p[1] > 120 && p[2] < 30; };
    board.score = 9;
    draw();
    EXPECT_TRUE(filled(at(18, -15)) && filled(at(18, 1.5f)));
    EXPECT_NEAR(at(18, 2.5f)[0], 26, 2);
    colorList[0] = pVector(0, 1, 0);
    draw();
    EXPECT_LT(at(18, -15)[0], 30) << "the gauge takes the palette's first colour";
    board.score = 10;
    draw();
    EXPECT_NEAR(at(18, -15)[0], 26, 2);
}

TEST_F(BoardPicture, TrailWrapsToTheRightEdgeFromTheFirstTwoColumnsOnly) {
    sweepAt(0.5f); // line at x -15
    draw();
    EXPECT_TRUE(whiteNear(-15, -5) && warm(at(-15.5f, -5), 40) && grey(at(-14, -5)));
    EXPECT_TRUE(warm(at(15.5f, -5), 20) && warm(at(13.5f, -5), 3) && grey(at(12.5f, -5)));
    sweepAt(1.5f); // line at x -13: a quarter of the trail is left for the right edge
    draw();
    EXPECT_TRUE(warm(at(15.7f, -5), 8) && grey(at(14.5f, -5)));
    sweepAt(2.5f);
    draw();
    EXPECT_TRUE(grey(at(15.5f, -5)) && warm(at(-12, -5), 20) && grey(at(-10, -5)));
    board.sweepTime += 16 * 320; // a pass later: the same place
    draw();
    EXPECT_TRUE(warm(at(-12, -5), 20) && grey(at(-10, -5)));
}

TEST_F(BoardPicture, InAWindowHigherThanWideTheBoardFillsTheWidth) {
    glViewport(0, 0, 240, 480); // 6 pixels a unit
    board.queue[0][0] = 1;
    fill(0, 0, 1);
    draw();
    auto tall = [this](float x, float y) { return at(x - 200.0f / 6, y, 6); };
    EXPECT_TRUE(red(pixel(1, 240 + 13 * 6)));       // the queue at the left side
    EXPECT_NEAR(pixel(238, 240 + 5 * 6)[0], 26, 2); // the gauge at the right side
    float c = centre(0);                            // the cell stays square, the well 20 units high
    EXPECT_TRUE(red(tall(c - 0.8f, c - 0.8f)) && red(tall(c + 0.8f, c + 0.8f)));
    EXPECT_TRUE(grey(tall(centre(3), 3.5f)));
    EXPECT_EQ(tall(centre(3), 4.5f), (Rgba{0, 0, 0, 255}));
}

TEST_F(BoardPicture, FadeVeilDarkensByItsDarknessAndTheBoardShrinks) {
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
        return pixel(kWidth - 1, kHeight - 1)[0];
    };
    fade.beginTransition(MAIN_GAME);
    EXPECT_NEAR(veil(125), 128, 1);
    EXPECT_EQ(veil(125), 0);
    EXPECT_NEAR(veil(125), 128, 1);
    EXPECT_NEAR(pixel(0, 0)[0], 128, 1); // over the whole view

    fill(0, 0, 1);
    fade.darkness = 1; // the black middle: half size around the view's middle
    draw();
    EXPECT_TRUE(red(at(centre(0) / 2 - 0.5f, centre(0) / 2)));
    EXPECT_EQ(cell(0, 0), (Rgba{0, 0, 0, 255}));
    board.gameOverTime = 2.5f; // after a game over the board has grown to twice its size
    fade.active = false;
    for (int row = 0; row <= 5; row++)
        fill(row, 8, 1);
    draw();
    EXPECT_TRUE(red(at(3, -10)));
    EXPECT_TRUE(grey(cell(5, 8)));
    EXPECT_EQ(veil(10), 255);
}
