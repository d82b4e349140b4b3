// Every screen of the game drawn on a clock stepped by hand, saved as pictures, so that a change
// to the drawing can be checked against the pictures of the code before it:
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/plinx_pictures save DIR
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/plinx_pictures compare BEFORE AFTER [LEVELS]
//   xvfb-run -a build/plinx_pictures time title|game|paused|table FRAMES
//
// `save` writes one PPM per screen (loading, start-up, title at three times and in a fade, the
// game with a known board, paused, the name entry, the table; the title and the game again at
// 1280 x 1024). `compare` prints, per picture, the largest difference of any channel of any
// pixel and how many pixels differ, and exits 1 when a difference exceeds LEVELS (default 1).
// `time` draws FRAMES frames of one screen at 640 x 480, 33 ms apart, and prints the process's CPU
// time per frame; under valgrind --tool=callgrind it counts the instructions of exactly that.
#include "Game/pPlinx.h"

#include "Input/pInputManager.h"
#include "Platform/pResourceFolder.h"
#include "tests/support/Fakes.h"
#include "tests/support/Files.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const int LARGEST_WIDTH = 1280;
const int LARGEST_HEIGHT = 1024;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // top row first
};

bool openHiddenWindow() {
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The game's own pixel format (Platform/pDisplay.cpp).
    for (SDL_GLattr size :
         {SDL_GL_RED_SIZE, SDL_GL_GREEN_SIZE, SDL_GL_BLUE_SIZE, SDL_GL_ALPHA_SIZE})
        SDL_GL_SetAttribute(size, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_Window* window = SDL_CreateWindow("plinx pictures", 0, 0, LARGEST_WIDTH, LARGEST_HEIGHT,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    return window && SDL_GL_MakeCurrent(window, SDL_GL_CreateContext(window)) == 0;
}

Picture readBack(int width, int height) {
    glFinish();
    Picture picture{width, height, std::vector<unsigned char>(size_t(width) * height * 3)};
    std::vector<unsigned char> rows(picture.rgb.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    const size_t stride = size_t(width) * 3;
    for (int y = 0; y < height; y++)
        std::copy_n(&rows[(height - 1 - y) * stride], stride, &picture.rgb[y * stride]);
    return picture;
}

bool writePPM(const std::string& path, const Picture& picture) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(picture.rgb.data()),
              static_cast<std::streamsize>(picture.rgb.size()));
    return static_cast<bool>(out);
}

bool readPPM(const std::string& path, Picture& picture) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    if (!(in >> magic >> picture.width >> picture.height >> maximum) || magic != "P6" ||
        maximum != 255 || picture.width <= 0 || picture.height <= 0 || picture.width > 16384 ||
        picture.height > 16384)
        return false;
    in.get();
    picture.rgb.resize(size_t(picture.width) * picture.height * 3);
    in.read(reinterpret_cast<char*>(picture.rgb.data()),
            static_cast<std::streamsize>(picture.rgb.size()));
    return static_cast<bool>(in);
}

// A table every run starts with, so the table screen does not depend on whoever played here.
void writeTable(const std::string& folder) {
    std::ofstream out(folder + "/scores.txt");
    out << "{\nname\n";
    const char* names[] = {"Ada", "Brisk", "Cole", "Dee", "Eve", "Fox", "Gus", "Hal", "Ivy", "Jo"};
    for (const char* name : names)
        out << name << "\n";
    out << "}\n{\nscore\n";
    for (int row = 0; row < 10; row++)
        out << (100 - row * 9) << "\n";
    out << "}\n";
}

class Screens {
public:
    Screens(FakeClock& clock, FakeGame& driver, const std::string& folder)
        : clock_(clock), driver_(driver), folder_(folder) {}

    void size(int width, int height) {
        driver_.windowWidth = width;
        driver_.windowHeight = height;
        glViewport(0, 0, width, height);
    }

    // One frame as the frame driver runs it, `ms` after the one before, with the application's
    // running time then set to `seconds` where given (the title's and the table's animations).
    void frame(double ms, float seconds = -1) {
        pPlinx* game = pPlinx::instance();
        clock_.advance(ms);
        game->update();
        pInputManager::instance()->update();
        if (seconds >= 0)
            game->totalTime = seconds;
        game->draw();
    }

    bool save(const std::string& name) {
        std::string path = folder_ + "/" + name + ".ppm";
        bool saved = writePPM(path, readBack(driver_.windowWidth, driver_.windowHeight));
        std::printf("%s %s\n", saved ? "saved" : "COULD NOT SAVE", path.c_str());
        return saved;
    }

private:
    FakeClock& clock_;
    FakeGame& driver_;
    std::string folder_;
};

// The game on a hand-stepped clock and a frame driver without a display, with a table of its own.
struct Stage {
    FakeClock clock;
    TempFolder userData;
    FakeGame driver;
    Stage() {
        writeTable(userData.path());
        setUserDataFolder(userData.path());
        FakeGame::install(&driver);
    }
};

void knownBoard(pPlinx* game) {
    srand(7);
    game->puzzle.initGame();
    game->puzzle.score = 37;
    game->puzzle.level = 3;
    for (int row = 0; row < 5; row++)
        for (int column = 0; column < pPuzzle::WIDTH; column++)
            game->puzzle.cells[row * pPuzzle::WIDTH + column] = {0, 1 + (column / 2 + row / 3) % 2};
}

int save(const std::string& folder) {
    if (!openHiddenWindow()) {
        std::printf("no GL window: run under xvfb-run -a -s \"-screen 0 1280x1024x24\"\n");
        return 2;
    }
    std::filesystem::create_directories(folder);
    Stage stage;
    Screens screens(stage.clock, stage.driver, folder);
    screens.size(640, 480);
    pPlinx* game = pPlinx::instance();
    bool saved = true;

    // The first update loads everything; its last loading frame is still in the back buffer.
    game->update();
    saved &= screens.save("loading");
    screens.frame(33);
    saved &= screens.save("startup");

    game->currentScreen = SPLASH_SCREEN;
    const float titleTimes[] = {0.5f, 7.25f, 31.0f};
    for (float seconds : titleTimes) {
        screens.frame(33, seconds);
        saved &= screens.save("title-" + std::to_string(static_cast<int>(seconds * 100)));
    }
    game->transitionManager.beginTransition(HIGH_SCORE_SCREEN);
    screens.frame(160, 3.0f);
    saved &= screens.save("title-fade");
    screens.frame(600);
    game->transitionManager.active = false;

    game->currentScreen = MAIN_GAME;
    knownBoard(game);
    screens.frame(33);
    saved &= screens.save("game");
    game->paused = true;
    screens.frame(33);
    saved &= screens.save("paused");
    game->paused = false;

    game->currentScreen = HIGH_SCORE_ENTRY_SCREEN;
    game->nameEntry.name = "Plinxer";
    screens.frame(33, 12.0f);
    saved &= screens.save("entry");
    game->currentScreen = HIGH_SCORE_SCREEN;
    screens.frame(33, 12.0f);
    saved &= screens.save("table");

    screens.size(LARGEST_WIDTH, LARGEST_HEIGHT);
    game->currentScreen = SPLASH_SCREEN;
    screens.frame(33, 7.25f);
    saved &= screens.save("title-large");
    game->currentScreen = MAIN_GAME;
    knownBoard(game);
    screens.frame(33);
    saved &= screens.save("game-large");
    return saved ? 0 : 1;
}

double cpuMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

int timeScreen(const std::string& screen, long frames) {
    const GameScreen screens[] = {SPLASH_SCREEN, MAIN_GAME, MAIN_GAME, HIGH_SCORE_SCREEN};
    const char* names[] = {"title", "game", "paused", "table"};
    int chosen = -1;
    for (int i = 0; i < 4; i++)
        if (screen == names[i])
            chosen = i;
    if (chosen < 0 || frames <= 0) {
        std::printf("time: title, game, paused or table, and a number of frames\n");
        return 2;
    }
    if (!openHiddenWindow()) {
        std::printf("no GL window: run under xvfb-run -a\n");
        return 2;
    }
    Stage stage;
    Screens frame(stage.clock, stage.driver, stage.userData.path());
    frame.size(640, 480);
    pPlinx* game = pPlinx::instance();
    game->update();
    game->currentScreen = screens[chosen];
    knownBoard(game);
    game->paused = std::string(names[chosen]) == "paused";
    frame.frame(33);
    glFinish();
    double start = cpuMilliseconds();
    for (long i = 0; i < frames; i++) {
        frame.frame(33);
        glFinish();
        if (!game->puzzle.playing)
            knownBoard(game);
    }
    std::printf("%s: %.3f ms of CPU a frame over %ld frames\n", names[chosen],
                (cpuMilliseconds() - start) / frames, frames);
    return 0;
}

int compare(const std::string& before, const std::string& after, int allowed) {
    int worst = 0;
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(before)) {
        if (entry.path().extension() != ".ppm")
            continue;
        std::string name = entry.path().filename().string();
        Picture a, b;
        if (!readPPM(entry.path().string(), a) || !readPPM(after + "/" + name, b) ||
            a.width != b.width || a.height != b.height) {
            std::printf("%-22s missing or not the same size\n", name.c_str());
            worst = 256;
            continue;
        }
        int largest = 0;
        long differing = 0;
        for (size_t i = 0; i < a.rgb.size(); i += 3) {
            int pixel = 0;
            for (size_t c = 0; c < 3; c++)
                pixel = std::max(pixel, std::abs(a.rgb[i + c] - b.rgb[i + c]));
            largest = std::max(largest, pixel);
            differing += pixel > 0;
        }
        std::printf("%-22s largest difference %3d, %ld pixels differ\n", name.c_str(), largest,
                    differing);
        worst = std::max(worst, largest);
        compared++;
    }
    if (compared == 0) {
        std::printf("no pictures in %s\n", before.c_str());
        return 1;
    }
    std::printf("%s: largest difference %d, allowed %d\n", worst <= allowed ? "same" : "DIFFERENT",
                worst, allowed);
    return worst <= allowed ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "save" && argc == 3)
        return save(argv[2]);
    if (verb == "compare" && (argc == 4 || argc == 5))
        return compare(argv[2], argv[3], argc == 5 ? std::atoi(argv[4]) : 1);
    if (verb == "time" && argc == 4)
        return timeScreen(argv[2], std::atol(argv[3]));
    std::printf("usage: plinx_pictures save DIR | compare BEFORE AFTER [LEVELS] | time SCREEN "
                "FRAMES\n");
    return 2;
}
