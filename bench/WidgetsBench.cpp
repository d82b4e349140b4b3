#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"
#include "Widgets/pHorizontalMarquee.h"
#include "Widgets/pVerticalMenu.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// Measuring text needs the font, and loading the font needs a GL context: a hidden window,
// unless another benchmark of the program has loaded the font already.
bool fontReady() {
    static bool ready = [] {
        pTextManager* text = pTextManager::instance();
        if (text->setCurrentFont("Brisk"))
            return true;
        if (!std::getenv("DISPLAY") || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return false;
        SDL_Window* window =
            SDL_CreateWindow("plinx bench", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window || !SDL_GL_CreateContext(window))
            return false;
        return text->loadAndSetFont(getResourcePath("Brisk.tga"), "Brisk");
    }();
    return ready;
}

// The title screen's help marquee stepped by one frame (update only).
void BM_MarqueeStep(benchmark::State& state) {
    if (!fontReady()) {
        state.SkipWithError("no display or font");
        return;
    }
    pHorizontalMarquee marquee(320, 448, 240, 24.0f, -0.1f, "Brisk");
    marquee.setContinuousPlay(true);
    marquee.setLoop(true);
    marquee.setMessageGap(150);
    marquee.addMessage("Use the left, right and down keys to move your blocks.");
    marquee.addMessage("Press Z and X to rotate the colours.");
    marquee.addMessage("Clear squares of one colour as the line sweeps past.");
    marquee.makeReady();
    for (auto _ : state) {
        marquee.update(16.7);
        benchmark::DoNotOptimize(marquee.active.size());
    }
}
BENCHMARK(BM_MarqueeStep);

// The title menu's input step with the pointer resting beside it.
void BM_MenuListen(benchmark::State& state) {
    if (!fontReady()) {
        state.SkipWithError("no display or font");
        return;
    }
    pVerticalMenu menu;
    menu.x = 320;
    menu.y = 300;
    menu.fontSize = 24;
    for (const char* entry : {"Start Game", "High Scores", "Quit Game"})
        menu.addChoice(entry);
    for (auto _ : state) {
        menu.listenForEventsAndUpdate();
        benchmark::DoNotOptimize(menu.mouseOver);
    }
}
BENCHMARK(BM_MenuListen);

} // namespace
