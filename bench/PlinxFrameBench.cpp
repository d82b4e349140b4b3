// CPU time of one frame of each screen (both update steps and the drawing): the title, the main
// game (the board, the read-outs and the title image), the paused game and the high score table,
// drawn offscreen into a hidden window with Mesa's software renderer. Run under a virtual X server
// big enough for the largest size:
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/plinx_bench --benchmark_filter=ScreenFrame
#include "Game/pPlinx.h"

#include "Input/pInputManager.h"
#include "Platform/pResourceFolder.h"
#include "tests/support/Fakes.h"
#include "tests/support/Files.h"

#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

SDL_Window* window = nullptr;

// One hidden window at the largest size, so every run shares its context and the textures.
bool openWindow() {
    if (window)
        return true;
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    window =
        SDL_CreateWindow("plinx bench", 0, 0, 1920, 1080, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    return window && SDL_GL_MakeCurrent(window, SDL_GL_CreateContext(window)) == 0;
}

void BM_ScreenFrame(benchmark::State& state) {
    if (!openWindow()) {
        state.SkipWithError("no GL window (run under xvfb-run)");
        return;
    }
    int width = static_cast<int>(state.range(0));
    int height = static_cast<int>(state.range(1));
    FakeClock clock;
    TempFolder userData;
    setUserDataFolder(userData.path());
    FakeGame driver;
    driver.windowWidth = width;
    driver.windowHeight = height;
    pGame* platform = FakeGame::install(&driver);
    glViewport(0, 0, width, height);

    pPlinx* game = pPlinx::instance();
    if (!game->initialised)
        game->update();
    game->currentScreen = static_cast<GameScreen>(state.range(2));
    game->transitionManager.active = false;
    game->paused = state.range(3) != 0;
    srand(7);
    game->puzzle.initGame();
    // A well half full, with one-colour squares for the outlines.
    for (int row = 0; row < 5; row++)
        for (int column = 0; column < pPuzzle::WIDTH; column++)
            game->puzzle.cells[row * pPuzzle::WIDTH + column] = {0, 1 + (column / 2) % 2};

    for (auto _ : state) {
        clock.advance(16);
        game->update();
        pInputManager::instance()->update();
        game->draw();
        glFinish();
        if (!game->puzzle.playing)
            game->puzzle.initGame();
    }
    FakeGame::install(platform);
    setUserDataFolder("");
}

} // namespace

// Width, height, screen, paused.
BENCHMARK(BM_ScreenFrame)
    ->ArgNames({"w", "h", "screen", "paused"})
    ->Args({640, 480, SPLASH_SCREEN, 0})
    ->Args({640, 480, MAIN_GAME, 0})
    ->Args({640, 480, MAIN_GAME, 1})
    ->Args({640, 480, HIGH_SCORE_SCREEN, 0})
    ->Args({1920, 1080, SPLASH_SCREEN, 0})
    ->Args({1920, 1080, MAIN_GAME, 0})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
