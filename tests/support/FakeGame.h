#pragma once

#include "Shell/pGame.h"

#include <string>
#include <utility>
#include <vector>

// A frame driver without a display: it records what the game asks of it. install() makes it
// (or the previous one again) the frame driver pGame::instance() returns.
class FakeGame : public pGame {
public:
    int entered = 0, left = 0, swaps = 0;

    bool createWindowGLContext(int, int, int, int, std::string) override { return true; }
    void getAvailableDisplayModes(std::vector<pDisplayMode>& out) override { out.clear(); }
    bool createFullscreenGLContext(int) override { return ++entered, fullscreen = true; }
    void exitFullscreen() override { ++left, fullscreen = false; }
    void killWindow() override {}
    int getScreenWidth() override { return 1440; }
    int getScreenHeight() override { return 900; }
    void makeContextCurrent() override {}
    void swapBuffer() override { swaps++; }
    void run() override {}

    static pGame* install(pGame* game) { return std::exchange(instance_, game); }
};
