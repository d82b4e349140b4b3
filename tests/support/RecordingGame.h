#pragma once

#include "Shell/pGame.h"

#include <string>
#include <vector>

// The frame driver as the game sees it, for tests and benchmarks: a fixed view size, counted
// presentations and full-screen switches, no platform window. Installed as pGame::instance()
// for its lifetime.
class RecordingGame : public pGame {
public:
    int swaps = 0;
    int fullscreenEnters = 0;
    int fullscreenExits = 0;

    explicit RecordingGame(int width = 640, int height = 480) : previous_(instance_) {
        instance_ = this;
        windowWidth = width;
        windowHeight = height;
        fullscreenWidth = 1024;
        fullscreenHeight = 768;
    }
    ~RecordingGame() override { instance_ = previous_; }

    bool createWindowGLContext(int, int, int, int, std::string) override { return true; }
    void getAvailableDisplayModes(std::vector<pDisplayMode>&) override {}
    bool createFullscreenGLContext(int) override {
        fullscreenEnters++;
        fullscreen = true;
        return true;
    }
    void exitFullscreen() override {
        fullscreenExits++;
        fullscreen = false;
    }
    void killWindow() override {}
    int getScreenWidth() override { return 1024; }
    int getScreenHeight() override { return 768; }
    void makeContextCurrent() override {}
    void swapBuffer() override { swaps++; }
    void run() override {}

private:
    pGame* previous_;
};
