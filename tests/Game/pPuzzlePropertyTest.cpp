#include "Game/pPuzzle.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

// Random play with random inputs and step lengths; the board's invariants hold after every step.
TEST(BoardProperty, RandomPlayKeepsTheWellConsistent) {
    std::mt19937 random(20261206);
    srand(5);
    pPuzzle p;
    p.initGame();
    int lastScore = 0;
    int points = 0, games = 0;
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
        for (const pCell& cell : p.cells) {
            ASSERT_TRUE(cell.empty == 0 || cell.empty == 1);
            ASSERT_TRUE(cell.empty == 1 || cell.color == 1 || cell.color == 2);
        }
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
