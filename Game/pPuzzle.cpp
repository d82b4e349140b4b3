#include "Game/pPuzzle.h"

#include "Game/pPlinx.h"
#include "Input/pKeyboardHandler.h"
#include "Utils/pAssert.h"

#include <cmath>
#include <cstdlib>

int STARTING_HEIGHT = -10;
int levelLimitFlag = 6;

// clang-format off
pVector levelList[64] = {
    {0.9f, 0.7f, 0.1f}, {0.9f, 0.9f, 0.9f}, {1.0f, 0.2f, 0.2f}, {0.0f, 0.0f, 0.0f},
    {0.5f, 0.9f, 0.0f}, {0.1f, 0.5f, 0.9f}, {0.1f, 0.9f, 0.4f}, {0.0f, 0.0f, 0.0f},
    {1.0f, 0.0f, 0.0f}, {0.9f, 0.4f, 0.0f}, {0.9f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f},
    {0.7f, 0.0f, 0.5f}, {0.7f, 0.7f, 0.7f}, {0.3f, 0.0f, 0.5f}, {0.0f, 0.0f, 0.0f},
    {0.7f, 0.0f, 0.5f}, {0.2f, 0.2f, 0.2f}, {1.0f, 0.8f, 0.0f}, {0.0f, 0.0f, 0.0f},
    {0.9f, 0.9f, 0.9f}, {0.2f, 0.2f, 0.5f}, {0.6f, 0.6f, 0.9f}, {0.0f, 0.0f, 0.0f},
#define P_SPARE_PALETTE {0.9f, 0.9f, 0.9f}, {0.9f, 0.9f, 0.9f}, {0.9f, 0.9f, 0.9f}, {0.0f, 0.0f, 0.0f}
    P_SPARE_PALETTE, P_SPARE_PALETTE, P_SPARE_PALETTE, P_SPARE_PALETTE, P_SPARE_PALETTE,
    P_SPARE_PALETTE, P_SPARE_PALETTE, P_SPARE_PALETTE, P_SPARE_PALETTE, P_SPARE_PALETTE,
#undef P_SPARE_PALETTE
};
// clang-format on

pVector colorList[4];

namespace {
// The sweeper clock is added up in floats, which hold every whole millisecond only below 2^24
// (about 4.7 hours). Past that a step rounds to the float spacing: from 2^28 ms (3 days) the
// sweeper would run at double speed and from 2^29 ms it would stop. So the clock is wrapped by
// whole passes before it gets there, which leaves the sweeper in its column.
const float SWEEP_CLOCK_EXACT = 16777216.0f;
} // namespace

pPuzzle::pPuzzle() {
    for (pCell& cell : cells) {
        cell.empty = 1;
        cell.color = 1;
    }
}

pCell& pPuzzle::cellAt(int row, int column) {
    P_ASSERT("Game/pPuzzle", row >= 0 && row < HEIGHT && column >= 0 && column < WIDTH);
    return cells[row * WIDTH + column];
}

bool pPuzzle::isFree(int row, int column) {
    return cellAt(row, column).empty == 1;
}

void pPuzzle::initGame() {
    playing = 1;
    block_push();
    block_push();
    block_push();
    block_setup();
    for (pCell& cell : cells)
        cell.empty = 1;
    for (int i = 0; i < 4; i++)
        colorList[i] = levelList[i];
    down = 0;
    sweepPeriod = 320;
    score = 0;
    moveTime = 0;
    moveDelay = 0.05f;
    fallTime = 0;
    fallDelay = 0.3f;
    fastFallDelay = 0.02f;
    sweepTime = 0;
    gameOverTime = 0;
}

void pPuzzle::block_push() {
    for (int i = 0; i < 4; i++) {
        piece[i] = queue[2][i];
        queue[2][i] = queue[1][i];
        queue[1][i] = queue[0][i];
    }
    for (int i = 0; i < 4; i++)
        queue[0][i] = (rand() % 2 == 1) ? 1 : 2;
}

void pPuzzle::block_setup() {
    pieceX = 7;
    pieceY = STARTING_HEIGHT;
    // A key still held from the last piece waits for the repeat delay again.
    pKeyboardHandler::instance()->resetAllRepeats();
    block_push();
    disableDown();
}

void pPuzzle::goLeft() {
    move(-1);
}

void pPuzzle::goRight() {
    move(1);
}

void pPuzzle::move(int direction) {
    if (pieceX == (direction < 0 ? 0 : 14) || moveTime < moveDelay)
        return;
    moveTime = 0; // a blocked move spends the delay too
    int r = 10 - pieceY;
    int beside = direction < 0 ? pieceX - 1 : pieceX + 2;
    // Only rows inside the well are tested; above it the piece moves freely.
    if (pieceY > 0 && !isFree(r, beside))
        return;
    if (pieceY > 1 && !isFree(r + 1, beside))
        return;
    pieceX += direction;
}

void pPuzzle::turnCW() {
    // piece: 0 lower-left, 1 lower-right, 2 upper-left, 3 upper-right
    int upperLeft = piece[2];
    piece[2] = piece[0];
    piece[0] = piece[1];
    piece[1] = piece[3];
    piece[3] = upperLeft;
}

void pPuzzle::turnCCW() {
    int upperLeft = piece[2];
    piece[2] = piece[3];
    piece[3] = piece[1];
    piece[1] = piece[0];
    piece[0] = upperLeft;
}

void pPuzzle::update(float seconds) {
    // A negative or broken step must not run time backwards: the sweeper's column is derived
    // from a clock that only grows. A step too long to count in milliseconds is no step either.
    if (!(seconds >= 0.0f) || !std::isfinite(seconds * 1000.0f))
        seconds = 0.0f;

    if (playing != 1) {
        gameOverTime += seconds;
        if (gameOverTime > 1.5f) {
            pPlinx* game = pPlinx::instance();
            game->transitionManager.beginTransition(game->highScoreList.scoreIsHigh(score)
                                                        ? HIGH_SCORE_ENTRY_SCREEN
                                                        : HIGH_SCORE_SCREEN);
        }
        return;
    }

    level = (score + 1) / 10;
    sweepPeriod = 160 / (level + 2) + 280;
    moveTime += seconds;
    fallTime += seconds;

    float sweepClock = static_cast<float>(sweepTime) + seconds * 1000.0f;
    if (sweepClock >= SWEEP_CLOCK_EXACT) // after hours of play: wrap by whole passes
        sweepClock = std::fmod(sweepClock, 16.0f * static_cast<float>(sweepPeriod));
    sweepTime = static_cast<int>(sweepClock);

    dropLooseCells();

    if (fallTime > fallDelay || (down == 1 && fallTime > fastFallDelay)) {
        fallStep();
        if (playing != 1)
            return;
    }

    int column = (sweepTime / sweepPeriod) % 16;
    bool found = false;
    if (column <= 14)
        scanSweeperColumn(column, found);
    if (!found)
        clearSquares();

    int palette = 4 * (level % levelLimitFlag);
    for (int i = 0; i < 4; i++)
        colorList[i] = colorList[i] * 0.98f + 0.02f * levelList[palette + i];
}

void pPuzzle::dropLooseCells() {
    // Bottom-up, so a column above a hole moves down exactly one row per step.
    for (int column = 0; column < WIDTH; column++) {
        for (int row = 0; row < HEIGHT - 1; row++) {
            pCell& lower = cells[row * WIDTH + column];
            pCell& upper = cells[(row + 1) * WIDTH + column];
            if (lower.empty == 1 && upper.empty != 1) {
                lower.empty = 0;
                lower.color = upper.color;
                upper.empty = 1;
            }
        }
    }
}

void pPuzzle::fallStep() {
    for (;;) {
        fallTime = 0;
        pieceY += 1;
        int r = 10 - pieceY;
        if (r > 9) {
            if (down != 1)
                return;
            pieceY = 0; // fast fall drops straight into the top row
            continue;
        }
        // Below row 0 is the floor.
        if (r >= 0 && isFree(r, pieceX) && isFree(r, pieceX + 1))
            return;
        if (pieceY > 2) {
            cellAt(r + 1, pieceX) = {0, piece[0]};
            cellAt(r + 1, pieceX + 1) = {0, piece[1]};
            cellAt(r + 2, pieceX) = {0, piece[2]};
            cellAt(r + 2, pieceX + 1) = {0, piece[3]};
            block_setup();
        } else {
            playing = 0;
            pieceY -= 1;
        }
        return;
    }
}

bool pPuzzle::isOneColourSquare(int row, int column) {
    const pCell& lowerLeft = cellAt(row, column);
    const pCell& lowerRight = cellAt(row, column + 1);
    const pCell& upperLeft = cellAt(row + 1, column);
    const pCell& upperRight = cellAt(row + 1, column + 1);
    return lowerLeft.empty == 0 && lowerRight.empty == 0 && upperLeft.empty == 0 &&
           upperRight.empty == 0 && lowerLeft.color == lowerRight.color &&
           lowerRight.color == upperLeft.color && upperLeft.color == upperRight.color;
}

void pPuzzle::scanSweeperColumn(int column, bool& found) {
    for (int row = 0; row < HEIGHT - 1; row++) {
        if (!isOneColourSquare(row, column))
            continue;
        found = true;
        // A square found again on a later step of the same visit is kept once: clearing a
        // repeat would find its cells already free and score nothing, and a sweeper that stands
        // still (steps shorter than a millisecond) must not grow the list without end. This
        // visit's squares are the list's tail.
        bool known = false;
        for (auto it = squares.rbegin(); it != squares.rend() && it->x == column && !known; ++it)
            known = it->y == row;
        if (!known)
            squares.push_back({column, row});
    }
}

void pPuzzle::clearSquares() {
    for (const int2& square : squares) {
        pCell& upperRight = cellAt(square.y + 1, square.x + 1);
        if (upperRight.empty == 0)
            score += 1;
        upperRight.empty = 1;
        cellAt(square.y + 1, square.x).empty = 1;
        cellAt(square.y, square.x + 1).empty = 1;
        cellAt(square.y, square.x).empty = 1;
    }
    squares.clear();
}
