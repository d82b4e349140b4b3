#pragma once

#include "Utils/pVector.h"

#include <vector>

// One place of the well. `color` indexes colorList (1 or 2) and means something only while the
// cell is filled; clearing leaves it as it was.
struct pCell {
    int empty;
    int color;
};

// A square's lower-left cell in `squares`: x is the column, y the row.
struct int2 {
    int x;
    int y;
};

// Depth of a new piece: eleven fall steps above the top row.
extern int STARTING_HEIGHT;
// Number of palettes the levels cycle through.
extern int levelLimitFlag;
// 16 palettes of 4 colours: gauge, block colour 1, block colour 2, unused.
extern pVector levelList[64];
// The colours in use, faded towards the current level's palette on every step.
extern pVector colorList[4];

// The well (16 columns, 10 rows, row 0 at the bottom, cell (row, column) at row * 16 + column),
// the falling 2x2 piece with its queue, the sweeper, score and level.
class pPuzzle {
public:
    static const int WIDTH = 16;
    static const int HEIGHT = 10;

    int score = 0;
    int level = 0;
    int playing = 0;
    float gameOverTime = 0;
    pCell cells[WIDTH * HEIGHT];
    int sweepTime = 0;
    int pieceX = 7;
    int pieceY = 0;
    // Lower-left, lower-right, upper-left, upper-right.
    int piece[4] = {1, 1, 1, 1};
    // queue[2] falls next, queue[0] is the newest.
    int queue[3][4] = {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}};
    // Squares the sweeper has passed that are not cleared yet.
    std::vector<int2> squares;
    int down = 0;
    float moveTime = 0;
    float fallTime = 0;
    float moveDelay = 0.05f;
    float fallDelay = 0.3f;
    float fastFallDelay = 0.02f;
    int sweepPeriod = 320;
    // Draw a mark on every cell of the second colour, so the colours differ in shape as well.
    bool blockMarks = false;

    // An empty, stopped board; initGame starts a game on it.
    pPuzzle();

    void initGame();
    void block_push();
    void block_setup();
    void goLeft();
    void goRight();
    void turnCW();
    void turnCCW();
    void enableDown() { down = 1; }
    void disableDown() { down = 0; }
    // One step of the rules, `seconds` after the previous one.
    void update(float seconds);

    // Draws the board with its own projection (Game/pPuzzleRender.cpp); changes nothing.
    void render();

private:
    pCell& cellAt(int row, int column);
    bool isFree(int row, int column);
    void move(int direction);
    bool isOneColourSquare(int row, int column);
    void dropLooseCells();
    void fallStep();
    void scanSweeperColumn(int column, bool& found);
    void clearSquares();
};
