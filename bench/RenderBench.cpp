// One frame of the board (clear, render, finish) on the X server's GL: under `xvfb-run -a` that
// is Mesa's software renderer, whose rasteriser threads count in the process CPU time. The third
// argument turns the block marks on.
#include "Game/pPlinx.h"
#include "Game/pPuzzle.h"
#include "Image/pTextureLoader.h"
#include "Utils/pStringUtils.h"

#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// A game in progress: a ragged stack with two one-colour squares, a hole, the piece half way
// down, the gauge part full and the sweeper with its trail in the middle of the well.
void midGame(pPuzzle& board) {
    srand(5);
    board.initGame();
    const char* rows[] = {
        "1122121122112121",
        "1122212122112212",
        "2121 1212 22121 ",
        "  1  2  1 22  2 ",
    };
    for (int row = 0; row < 4; row++)
        for (int column = 0; column < 16; column++)
            if (rows[row][column] != ' ')
                board.cells[row * 16 + column] = {0, rows[row][column] - '0'};
    board.pieceX = 5;
    board.pieceY = 3;
    board.score = 6;
    board.sweepTime = 6 * board.sweepPeriod + board.sweepPeriod / 3;
}

void BM_BoardFrame(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        state.SkipWithError("needs an X display: run under xvfb-run -a");
        return;
    }
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window =
        SDL_CreateWindow("plinx bench", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                         height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        state.SkipWithError(SDL_GetError());
    } else {
        SDL_GL_MakeCurrent(window, context);
        glViewport(0, 0, width, height);
        glEnable(GL_BLEND);
        pPlinx* game = pPlinx::instance();
        game->blockTexture =
            pTextureLoader::instance()->loadTexture(getResourcePath("block.tga"), false, false);
        pPuzzle board;
        midGame(board);
        board.blockMarks = state.range(2) != 0;
        state.SetLabel(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        for (auto _ : state) {
            glClear(GL_COLOR_BUFFER_BIT);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            board.render();
            glFinish();
        }
        delete game->blockTexture;
        game->blockTexture = nullptr;
        SDL_GL_DeleteContext(context);
    }
    if (window)
        SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace

BENCHMARK(BM_BoardFrame)
    ->Args({640, 480, 0})
    ->Args({640, 480, 1})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
