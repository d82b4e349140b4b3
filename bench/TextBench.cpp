// Drawing and measuring a 40-character line in the game's font, on a hidden window's GL context
// (run under xvfb-run; Mesa's software renderer when there is no GPU).
#include "Shell/pOGLUtil.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"

#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

namespace {

const std::string LINE = "Score : 1234   Level : 3   Paused  ABCDE";

// Opens the window and loads the font once for every benchmark in the program.
bool setUp() {
    static const bool ready = [] {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            return false;
        }
        SDL_Window* window =
            SDL_CreateWindow("plinx bench", 0, 0, 640, 480, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window || !SDL_GL_CreateContext(window)) {
            return false;
        }
        pOGLUtil::setOrthographicProjection(640, 480);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        return pTextManager::instance()->loadAndSetFont(getResourcePath("Brisk.tga"), "Brisk");
    }();
    return ready;
}

void BM_DrawString40(benchmark::State& state) {
    if (!setUp()) {
        state.SkipWithError("no GL context or no Brisk.tga");
        return;
    }
    static_assert(sizeof("Score : 1234   Level : 3   Paused  ABCDE") == 41);
    for (auto _ : state) {
        pTextManager::instance()->drawString(LINE, 10, 100, 24);
        glFinish();
    }
}
BENCHMARK(BM_DrawString40);

void BM_GetStringWidth40(benchmark::State& state) {
    if (!setUp()) {
        state.SkipWithError("no GL context or no Brisk.tga");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(pTextManager::instance()->getStringWidth(LINE, 24));
    }
}
BENCHMARK(BM_GetStringWidth40);

} // namespace
