#include "Game/pPuzzle.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {
// A full well of one colour: every column the sweeper visits holds nine squares, so the list of
// squares grows over the whole pass. The piece hangs above it; the well is refilled after the
// clearing at the end of a pass.
void fillWithSquares(pPuzzle& p) {
    for (int row = 0; row < 10; row++)
        for (int column = 0; column < 16; column++)
            p.cells[row * 16 + column] = {0, 1};
    p.pieceY = STARTING_HEIGHT;
    p.fallDelay = 1e9f;
    p.sweepTime = 0;
    p.score = 0;
}

void BM_UpdateBusyWell(benchmark::State& state) {
    srand(1);
    pPuzzle p;
    p.initGame();
    fillWithSquares(p);
    for (auto _ : state) {
        p.update(0.0083f);
        if (p.score > 0) {
            state.PauseTiming();
            fillWithSquares(p);
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(p.cells);
    }
}
BENCHMARK(BM_UpdateBusyWell);

void BM_UpdateEmptyWell(benchmark::State& state) {
    srand(1);
    pPuzzle p;
    p.initGame();
    p.fallDelay = 1e9f;
    for (auto _ : state) {
        p.update(0.0083f);
        benchmark::DoNotOptimize(p.cells);
    }
}
BENCHMARK(BM_UpdateEmptyWell);
} // namespace
