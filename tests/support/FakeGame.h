#pragma once

#include "Shell/pGame.h"

#include <string>
#include <vector>

// A frame driver without a display: it records what the game asks of it. install() makes it
// (or the previous one again) the frame driver pGame::instance() returns.
class FakeGame : public pGame {
public:
    int screenWidth = 1440, screenHeight = 900;
    bool windowOpens = true;
    std::vector<int> windowAsked;
    std::string title;
    std::vector<pDisplayMode> modes;
    int entered = 0, left = 0;

    bool createWindowGLContext(int x, int y, int width, int height, std::string name) override {
        windowAsked = {x, y, width, height};
        title = name;
        return windowOpens;
    }
    void getAvailableDisplayModes(std::vector<pDisplayMode>& out) override { out = modes; }
    bool createFullscreenGLContext(int) override {
        entered++;
        fullscreen = true;
        return true;
    }
    void exitFullscreen() override {
        left++;
        fullscreen = false;
    }
    void killWindow() override {}
    int getScreenWidth() override { return screenWidth; }
    int getScreenHeight() override { return screenHeight; }
    void makeContextCurrent() override {}
    void swapBuffer() override {}
    void run() override {}

    static pGame* install(pGame* game) {
        pGame* previous = instance_;
        instance_ = game;
        return previous;
    }
};
