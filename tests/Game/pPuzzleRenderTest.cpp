#include "Game/pPlinx.h"
#include "Game/pPuzzle.h"
#include "Image/pTextureLoader.h"

#include "tests/support/FakeClock.h"
#include "tests/support/GLTestContext.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>

namespace {

// The board drawn into the 640 x 480 test window: 12 pixels per board unit, the well's
// middle column boundary one unit right of the window's middle.
class BoardPicture : public GLTestContext {
protected:
    pPuzzle board;
    pPlinx* game = nullptr;
    pTexture* texture = nullptr;

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        game = pPlinx::instance();
        game->transitionManager.active = false;
        texture = pTextureLoader::instance()->loadTexture(PLINX_SOURCE_DIR "/Resources/block.tga",
                                                          false, false);
        ASSERT_NE(texture, nullptr);
        game->blockTexture = texture;
        srand(3);
        board.initGame();
        colorList[0] = pVector(1, 1, 0);
        colorList[1] = pVector(1, 0, 0);
        colorList[2] = pVector(0, 0, 1);
        sweepAt(12.5f); // out of the way, over columns 10 to 12
    }

    void TearDown() override {
        if (game) {
            game->blockTexture = nullptr;
            game->transitionManager.active = false;
        }
        delete texture; // while the context is still current
        GLTestContext::TearDown();
    }

    void sweepAt(float column) {
        board.sweepTime = static_cast<int>(column * static_cast<float>(board.sweepPeriod));
    }
    void fill(int row, int column, int colour) { board.cells[row * 16 + column] = {0, colour}; }
    void draw() {
        glClear(GL_COLOR_BUFFER_BIT);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        board.render();
    }

    static float centre(int index) { return -15.0f + 2.0f * static_cast<float>(index); }
    Rgba at(float x, float y) {
        return pixel(static_cast<int>(std::floor(320 + (x + 1) * 12)),
                     static_cast<int>(std::floor(240 - y * 12)));
    }
    Rgba cell(int row, int column) { return at(centre(column), centre(row)); }
    // A pure white pixel within one pixel of the point: only the square outlines and the
    // sweeper line are drawn opaque white.
    bool whiteNear(float x, float y) {
        int px = static_cast<int>(std::floor(320 + (x + 1) * 12));
        int py = static_cast<int>(std::floor(240 - y * 12));
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++)
                if (pixel(px + dx, py + dy) == Rgba{255, 255, 255, 255})
                    return true;
        return false;
    }
};

bool red(GLTestContext::Rgba p) {
    return p[0] > 150 && p[1] < 40 && p[2] < 40;
}
bool blue(GLTestContext::Rgba p) {
    return p[2] > 150 && p[0] < 40 && p[1] < 40;
}
// The empty well: white at 0.2 over black.
bool wellGrey(GLTestContext::Rgba p) {
    return std::abs(p[0] - 51) <= 2 && p[0] == p[1] && p[1] == p[2];
}
// Red-shifted well: the sweeper's glow.
bool warm(GLTestContext::Rgba p, int by) {
    return p[0] - p[2] >= by && p[0] > p[1] && p[1] > p[2];
}

} // namespace

TEST_F(BoardPicture, EmptyBoardShowsOnlyWellGaugeQueuePieceAndSweeper) {
    draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Board rectangles (left, bottom, right, top) that may hold lit pixels, a pixel wider.
    const float m = 1.0f / 12;
    const float allowed[][4] = {
        {-16 - m, -16 - m, 16 + m, 4 + m},  // well, sweeper and trail
        {17 - m, -16 - m, 19 + m, 4 + m},   // gauge
        {-21 - m, -14 - m, -17 + m, 2 + m}, // queue
        {-2 - m, 4 - m, 2 + m, 8 + m},      // piece hovering over columns 7 and 8
    };
    std::vector<unsigned char> data = readAll();
    int stray = 0;
    for (int py = 0; py < kHeight; py++) {
        for (int px = 0; px < kWidth; px++) {
            const unsigned char* p = &data[(size_t(kHeight - 1 - py) * kWidth + px) * 4];
            if (!p[0] && !p[1] && !p[2])
                continue;
            float x = (static_cast<float>(px) + 0.5f - 320) / 12 - 1;
            float y = (240 - static_cast<float>(py) - 0.5f) / 12;
            bool inside = false;
            for (const auto& r : allowed)
                inside = inside || (x >= r[0] && x <= r[2] && y >= r[1] && y <= r[3]);
            stray += inside ? 0 : 1;
        }
    }
    EXPECT_EQ(stray, 0);

    EXPECT_TRUE(wellGrey(cell(4, 3)));
    Rgba gauge = at(18, -5);
    EXPECT_NEAR(gauge[0], 26, 2);
    EXPECT_NE(at(-20, -1), (Rgba{0, 0, 0, 255}));  // next piece in the queue
    EXPECT_NE(at(-18, -13), (Rgba{0, 0, 0, 255})); // newest piece in the queue
    EXPECT_NE(at(-1, 5), (Rgba{0, 0, 0, 255}));    // falling piece
    EXPECT_TRUE(whiteNear(9, -5));                 // sweeper line at column 12.5
    EXPECT_TRUE(warm(at(8, -5), 20));              // and its trail

    // What the renderer leaves for the next drawing.
    GLfloat projection[16];
    GLfloat modelView[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(projection[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    EXPECT_EQ(modelView[12], 1.0f);
    EXPECT_EQ(modelView[13], 0.0f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint source = 0;
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_ONE);
    EXPECT_EQ(destination, GL_ONE);

    // Drawn again, the picture is the same.
    draw();
    EXPECT_TRUE(readAll() == data);
}

TEST_F(BoardPicture, CellsAppearAtTheirPlaceInTheirColourPackedDownEachColumn) {
    fill(0, 0, 1);
    for (int row = 0; row < 4; row++)
        fill(row, 5, 2);
    fill(4, 5, 1);
    fill(0, 9, 2); // a hole under row 3: shown resting on row 1 already
    fill(3, 9, 1);
    int pieceColours[4] = {1, 2, 2, 1};
    std::copy(pieceColours, pieceColours + 4, board.piece);
    board.pieceX = 2;
    board.pieceY = 4; // lower half in row 6
    int next[4] = {1, 2, 2, 1};
    std::copy(next, next + 4, board.queue[2]);
    draw();

    EXPECT_TRUE(red(cell(0, 0)));
    EXPECT_TRUE(wellGrey(cell(0, 1)));
    EXPECT_TRUE(blue(cell(3, 5)));
    EXPECT_TRUE(red(cell(4, 5)));
    EXPECT_TRUE(wellGrey(cell(5, 5)));
    EXPECT_TRUE(blue(cell(0, 9)));
    EXPECT_TRUE(red(cell(1, 9)));
    EXPECT_TRUE(wellGrey(cell(3, 9)));

    EXPECT_TRUE(red(cell(6, 2)));
    EXPECT_TRUE(blue(cell(6, 3)));
    EXPECT_TRUE(blue(cell(7, 2)));
    EXPECT_TRUE(red(cell(7, 3)));

    EXPECT_TRUE(red(at(-20, -1)));
    EXPECT_TRUE(blue(at(-18, -1)));
    EXPECT_TRUE(blue(at(-20, 1)));
    EXPECT_TRUE(red(at(-18, 1)));

    // Above the well the piece hovers over the top row, however high it is.
    for (int height : {0, -10}) {
        board.pieceY = height;
        draw();
        EXPECT_TRUE(red(at(centre(2), 5))) << height;
        EXPECT_TRUE(red(at(centre(3), 7))) << height;
        EXPECT_TRUE(wellGrey(cell(6, 2))) << height;
    }

    // The block picture shades the tint; without it the cells are plain tinted squares.
    Rgba textured = cell(0, 0);
    game->blockTexture = nullptr;
    draw();
    Rgba plain = cell(0, 0);
    EXPECT_NEAR(plain[0], 214, 2); // 0.8 of red over the well's grey
    EXPECT_NEAR(plain[1], 10, 2);
    EXPECT_LT(textured[0], plain[0] - 5);
}

TEST_F(BoardPicture, OneColourSquaresAreOutlinedWhereTheyTrulyAre) {
    for (int row = 0; row < 2; row++) {
        fill(row, 1, 1);
        fill(row, 2, 1);
        fill(row, 5, 1);
        fill(row, 6, row == 1 ? 2 : 1);
        fill(row + 3, 8, 2); // a square still to fall three rows
        fill(row + 3, 9, 2);
    }
    draw();

    EXPECT_TRUE(whiteNear(-14, -14)); // left, right and top edges of the square at (0, 1)
    EXPECT_TRUE(whiteNear(-10, -14));
    EXPECT_TRUE(whiteNear(-12, -12));
    EXPECT_FALSE(whiteNear(-6, -14)); // the square of two colours at (0, 5)
    EXPECT_FALSE(whiteNear(-2, -14));
    EXPECT_FALSE(whiteNear(-4, -12));

    // The falling square's cells show resting on the floor, its outline at rows 3 and 4.
    EXPECT_TRUE(blue(cell(0, 8)));
    EXPECT_TRUE(wellGrey(cell(3, 8)));
    EXPECT_TRUE(whiteNear(0, -8));
    EXPECT_TRUE(whiteNear(2, -6));
    EXPECT_TRUE(whiteNear(2, -10));
    EXPECT_FALSE(whiteNear(2, -12));
}

TEST_F(BoardPicture, GaugeFillsATenthPerPointAndEmptiesAtTen) {
    auto filled = [](Rgba p) { return p[0] > 120 && p[1] > 120 && p[2] < 30; };
    board.score = 9;
    draw();
    EXPECT_TRUE(filled(at(18, -15)));
    EXPECT_TRUE(filled(at(18, 1.5f)));
    EXPECT_FALSE(filled(at(18, 2.5f)));
    EXPECT_NEAR(at(18, 2.5f)[0], 26, 2);

    board.score = 10;
    draw();
    EXPECT_NEAR(at(18, -15)[0], 26, 2);
    EXPECT_NEAR(at(18, -15)[2], 26, 2);
}

TEST_F(BoardPicture, TrailWrapsToTheRightEdgeOnlyFromTheFirstTwoColumns) {
    sweepAt(0.5f); // line at x -15
    draw();
    EXPECT_TRUE(whiteNear(-15, -5));
    EXPECT_TRUE(warm(at(-15.5f, -5), 40));
    EXPECT_TRUE(warm(at(15.5f, -5), 20));
    EXPECT_TRUE(warm(at(13.5f, -5), 3));
    EXPECT_TRUE(wellGrey(at(12.5f, -5)));
    EXPECT_TRUE(wellGrey(at(-14, -5)));

    sweepAt(1.5f); // line at x -13: a quarter of the trail is left for the right edge
    draw();
    EXPECT_TRUE(warm(at(15.7f, -5), 8));
    EXPECT_TRUE(wellGrey(at(14.5f, -5)));

    sweepAt(2.5f); // line at x -11: the whole trail lies behind it
    draw();
    EXPECT_TRUE(wellGrey(at(15.5f, -5)));
    EXPECT_TRUE(warm(at(-12, -5), 20));
    EXPECT_TRUE(wellGrey(at(-10, -5)));

    // The line follows the rules' column: at level 1 (period 333) 36 s is column 12.
    board.sweepPeriod = 333;
    board.sweepTime = 36000;
    draw();
    int whiteColumns = 0;
    for (float x = centre(12) - 0.9f; x < centre(12) + 1; x += 0.25f)
        whiteColumns += whiteNear(x, -5) ? 1 : 0;
    EXPECT_GT(whiteColumns, 0);
    EXPECT_FALSE(whiteNear(centre(4), -5));
}

TEST_F(BoardPicture, InAWindowHigherThanWideTheBoardFillsTheWidth) {
    glViewport(0, 0, 240, 480); // 6 pixels per board unit
    fill(0, 0, 1);
    board.queue[0][0] = 1;
    draw();
    auto atTall = [this](float x, float y) {
        return pixel(static_cast<int>(std::floor(120 + (x + 1) * 6)),
                     static_cast<int>(std::floor(240 - y * 6)));
    };
    EXPECT_TRUE(red(pixel(1, 240 + 13 * 6)));       // the queue's left edge at the left side
    EXPECT_NEAR(pixel(238, 240 + 5 * 6)[0], 26, 2); // the gauge's right edge at the right side
    EXPECT_TRUE(red(atTall(centre(0) - 0.8f, centre(0) - 0.8f))); // cells stay square
    EXPECT_TRUE(red(atTall(centre(0) + 0.8f, centre(0) + 0.8f)));
    EXPECT_TRUE(wellGrey(atTall(centre(0), centre(1))));
    EXPECT_TRUE(wellGrey(atTall(centre(3), 3.5f))); // the well is 20 units high
    EXPECT_EQ(atTall(centre(3), 4.5f), (Rgba{0, 0, 0, 255}));
}

TEST_F(BoardPicture, FadeVeilDarkensByItsDarknessAndTheBoardShrinksWithIt) {
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
        return pixel(kWidth - 1, kHeight - 1);
    };
    fade.beginTransition(MAIN_GAME);
    EXPECT_NEAR(veil(125)[0], 128, 1);
    EXPECT_FLOAT_EQ(fade.darkness, 0.5f);
    EXPECT_EQ(veil(125)[0], 0);
    EXPECT_NEAR(veil(125)[0], 128, 1);
    EXPECT_NEAR(pixel(0, 0)[0], 128, 1); // the whole view

    // At the black middle the board is half size around the view's middle.
    fade.darkness = 1;
    fill(0, 0, 1);
    draw();
    EXPECT_TRUE(red(pixel(320 + (-14) * 6, 240 + 15 * 6)));
    EXPECT_EQ(cell(0, 0), (Rgba{0, 0, 0, 255}));

    fade.active = false;
    float darkness = fade.darkness;
    EXPECT_EQ(veil(10)[0], 255); // no fade, no veil
    EXPECT_EQ(fade.darkness, darkness);
    draw();
    EXPECT_TRUE(red(cell(0, 0)));
}
