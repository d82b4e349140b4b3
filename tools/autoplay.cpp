// An automatic player for the whole application: title, Start Game, a game played to its end,
// the name typed for the table, the table, Continue, the title again, for as many games as asked.
// Frames run as the frame driver runs them (Shell/pFrameCallbacks through processFrame) into a
// hidden window, on a frame clock stepped by hand, with keys delivered to the keyboard's event
// callback as the event loop delivers them. After every frame it checks the board, the score, the
// high score table and that the timer's marks and the key events do not pile up.
//
//   xvfb-run -a build/plinx_autoplay --games 1000 [--seed N] [--skill 0..1] [--draw-every N]
//
// --record FILE writes the games' input as the game's own recorder does (Shell/pInputRecorder) and
// where they ended; --replay FILE plays such a file again and checks that it ends there too.
//
// Exits 0 when every check held, 1 at the first that did not (with what and where).
#include "Game/pPlinx.h"

#include "Input/pInputManager.h"
#include "Input/pKeyboardHandler.h"
#include "Platform/pAudioDevice.h"
#include "Shell/pFrameCallbacks.h"
#include "Shell/pFrameClock.h"
#include "Shell/pInputRecorder.h"
#include "Shell/pInputReplay.h"
#include "Shell/pOSXGame.h"
#include "Utils/pTimer.h"
#include "tests/support/Fakes.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
const bool SANITIZED = true;
#elif defined(__has_feature)
const bool SANITIZED = __has_feature(address_sanitizer);
#else
const bool SANITIZED = false;
#endif

const int64_t FRAME_MICROS = 16667;
// A game that has not ended after this many frames (about 28 minutes of play) is stuck.
const long FRAME_LIMIT_PER_GAME = 100000;

[[noreturn]] void fail(const std::string& what) {
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
    std::_Exit(1);
}

long residentKilobytes() {
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool openHiddenWindow() {
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window =
        SDL_CreateWindow("plinx autoplay", 0, 0, 640, 480, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    return window && SDL_GL_MakeCurrent(window, SDL_GL_CreateContext(window)) == 0;
}

// A fresh player's table that any finished game beats, so the first games all type a name.
void writeStartingTable(const std::string& folder, std::map<std::string, int>& owners) {
    std::filesystem::create_directories(folder);
    std::ofstream out(folder + "/scores.txt");
    out << "{\nname\n";
    for (int row = 0; row < 10; row++) {
        out << "Nobody" << row << "\n";
        owners["Nobody" + std::to_string(row)] = -1;
    }
    out << "}\n{\nscore\n";
    for (int row = 0; row < 10; row++)
        out << "-1\n";
    out << "}\n";
}

// Where a piece would go: its column and the orientation (the four cells) it lands in.
struct Plan {
    int column = 7;
    int cells[4] = {1, 1, 1, 1};
};

// Column heights and colours of the settled well, for trying placements.
struct Well {
    int colour[pPuzzle::WIDTH][pPuzzle::HEIGHT + 2] = {};
    int height[pPuzzle::WIDTH] = {};

    explicit Well(const pPuzzle& puzzle) {
        for (int column = 0; column < pPuzzle::WIDTH; column++)
            for (int row = 0; row < pPuzzle::HEIGHT; row++) {
                const pCell& cell = puzzle.cells[row * pPuzzle::WIDTH + column];
                if (cell.empty == 0)
                    colour[column][height[column]++] = cell.color;
            }
    }
    int squares() const {
        int count = 0;
        for (int column = 0; column + 1 < pPuzzle::WIDTH; column++)
            for (int row = 0; row + 1 < pPuzzle::HEIGHT; row++) {
                int c = colour[column][row];
                if (c && row + 1 < height[column] && row + 1 < height[column + 1] &&
                    colour[column + 1][row] == c && colour[column][row + 1] == c &&
                    colour[column + 1][row + 1] == c)
                    count++;
            }
        return count;
    }
};

void turnClockwise(int cells[4]) {
    int upperLeft = cells[2];
    cells[2] = cells[0];
    cells[0] = cells[1];
    cells[1] = cells[3];
    cells[3] = upperLeft;
}

// The best of every column and turn by squares made, then by a low, flat well; some pieces go
// anywhere instead, so games end and differ.
Plan choosePlan(const pPuzzle& puzzle, std::mt19937& rng, double skill) {
    Plan best;
    std::copy(puzzle.piece, puzzle.piece + 4, best.cells);
    if (std::uniform_real_distribution<double>(0, 1)(rng) > skill) {
        best.column = std::uniform_int_distribution<int>(0, pPuzzle::WIDTH - 2)(rng);
        for (int turns = std::uniform_int_distribution<int>(0, 3)(rng); turns > 0; turns--)
            turnClockwise(best.cells);
        return best;
    }
    Well well(puzzle);
    double bestValue = -1e9;
    int cells[4];
    std::copy(puzzle.piece, puzzle.piece + 4, cells);
    for (int turn = 0; turn < 4; turn++, turnClockwise(cells)) {
        for (int column = 0; column + 1 < pPuzzle::WIDTH; column++) {
            Well tried = well;
            int bottom = std::max(well.height[column], well.height[column + 1]);
            if (bottom + 2 > pPuzzle::HEIGHT - 1)
                continue;
            tried.colour[column][tried.height[column]++] = cells[0];
            tried.colour[column][tried.height[column]++] = cells[2];
            tried.colour[column + 1][tried.height[column + 1]++] = cells[1];
            tried.colour[column + 1][tried.height[column + 1]++] = cells[3];
            int highest = 0, bumps = 0;
            for (int c = 0; c < pPuzzle::WIDTH; c++) {
                highest = std::max(highest, tried.height[c]);
                if (c > 0)
                    bumps += std::abs(tried.height[c] - tried.height[c - 1]);
            }
            double value = tried.squares() * 10.0 - highest * 2.0 - bumps * 0.5 +
                           std::uniform_real_distribution<double>(0, 0.1)(rng);
            if (value > bestValue) {
                bestValue = value;
                best.column = column;
                std::copy(cells, cells + 4, best.cells);
            }
        }
    }
    return best;
}

struct Options {
    long games = 10;
    unsigned seed = 1;
    // Chance that a piece is placed by looking rather than at random.
    double skill = 0.5;
    // Frames drawn: every one, or one in N (the others run both update steps without drawing).
    long drawEvery = 1;
    // Where to record the games played, if anywhere.
    std::string record;
    // A recording to play again instead of playing.
    std::string replay;
    bool quiet = false;
};

class Autoplay {
public:
    explicit Autoplay(const Options& options) : options_(options), rng_(options.seed) {}

    // Plays the games; with a recording file, also records them and where they ended.
    int run() {
        std::string data = makeDataFolder();
        writeStartingTable(data + "/plinx", owners_);
        startGame(data, 1000000000, options_.seed);
        pInputRecorder* recorder = nullptr;
        if (!options_.record.empty()) {
            if (!pInputRecorder::start(options_.record, options_.seed, now_))
                fail("cannot write " + options_.record);
            recorder = pInputRecorder::active();
        }

        long startRss = 0;
        size_t startMarks = 0;
        double began = static_cast<double>(pFrameClock::wallMicros());
        for (long played = 0; played < options_.games; played++) {
            playOneGame(played);
            if (played == 0) {
                startRss = residentKilobytes();
                startMarks = pTimer::instance()->marks.size();
            } else if (pTimer::instance()->marks.size() != startMarks) {
                fail("the timer's marks grew from " + std::to_string(startMarks) + " to " +
                     std::to_string(pTimer::instance()->marks.size()) + " by game " +
                     std::to_string(played + 1));
            }
        }
        double seconds = (pFrameClock::wallMicros() - began) / 1e6;
        long endRss = residentKilobytes();
        std::printf("games %ld, frames %ld, names typed %ld, best score %d, highest level %d\n",
                    options_.games, frames_, namesTyped_, bestScore_, highestLevel_ + 1);
        std::printf("%.1f s, %.2f games/s, %.0f frames/s\n", seconds, options_.games / seconds,
                    frames_ / seconds);
        std::printf("RSS after game 1 %ld kB, at the end %ld kB; marks %zu and %zu\n", startRss,
                    endRss, startMarks, pTimer::instance()->marks.size());
        // Sanitizer builds hold freed memory back on purpose; elsewhere a few MB is allocator
        // noise and anything more is a leak.
        if (!SANITIZED && options_.games > 1 && endRss > startRss + 4096)
            fail("memory grew from " + std::to_string(startRss) + " kB to " +
                 std::to_string(endRss) + " kB");
        if (recorder)
            recorder->note(endOfPlay());
        release(); // as at the game's exit: preferences saved, the sound stopped
        std::filesystem::remove_all(data);
        return 0;
    }

    // Plays a recording again and compares where it ends with where it ended when recorded.
    int replay(const std::string& path) {
        pInputReplay recording;
        std::string error;
        if (!recording.load(path, error))
            fail(error);
        std::string data = makeDataFolder();
        std::filesystem::create_directories(data + "/plinx");
        if (!recording.writeTable(data + "/plinx/scores.txt"))
            fail("cannot write the table into " + data);
        for (const auto& row : recording.table)
            owners_[row.second] = row.first;
        replaying_ = true;
        startGame(data, recording.startMicros, recording.seed);
        pKeyboardHandler* keyboard = pKeyboardHandler::instance();
        for (pInputReplay::Frame& recorded : recording.frames) {
            for (pEvent& event : recorded.events)
                keyEvent(nullptr, &event, keyboard);
            now_ = recorded.micros;
            frame();
        }
        std::string reached = endOfPlay();
        release();
        std::filesystem::remove_all(data);
        // A session recorded by the game itself has no end line: it just says where it ends.
        if (!recording.expectedEnd.empty() && reached != recording.expectedEnd)
            fail(path + " ended at\n  " + reached + "\nnot at\n  " + recording.expectedEnd);
        std::printf("%s: %zu frames, %s\n", path.c_str(), recording.frames.size(), reached.c_str());
        return 0;
    }

private:
    Options options_;
    std::mt19937 rng_;
    FakeGame* driver_ = nullptr;
    pPlinx* game_ = nullptr;
    int64_t now_ = 0;
    long frames_ = 0;
    long namesTyped_ = 0;
    int bestScore_ = 0;
    int highestLevel_ = 0;
    // Every name in the table with the score it went in with.
    std::map<std::string, int> owners_;
    std::set<PKEYCODE> held_;
    int lastScore_ = 0;
    bool wasPlaying_ = false;

    static std::string makeDataFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "plinx-autoplay-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            fail("cannot make a temporary folder");
        return pattern;
    }

    FakeGame driverObject_;
    bool replaying_ = false;

    void startGame(const std::string& data, int64_t startMicros, unsigned seed) {
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        driverObject_.windowWidth = 640;
        driverObject_.windowHeight = 480;
        FakeGame::install(&driverObject_);
        driverObject_.setUpdateFunc(update);
        driverObject_.setDrawFunc(draw);
        driver_ = &driverObject_;
        now_ = startMicros;
        pFrameClock::install(now_);
        pInputManager::instance()->init();
        game_ = pPlinx::instance();
        game_->randomSeed = seed;
    }

    // Where the play stands: score, level (as shown), screen and a hash (FNV-1a) of the well.
    std::string endOfPlay() {
        const pPuzzle& puzzle = game_->puzzle;
        uint32_t hash = 2166136261u;
        for (const pCell& cell : puzzle.cells)
            for (int value : {cell.empty, cell.color})
                hash = (hash ^ static_cast<uint32_t>(value)) * 16777619u;
        char line[128];
        std::snprintf(line, sizeof line, "end score %d level %d screen %d board %08x", puzzle.score,
                      puzzle.level + 1, static_cast<int>(game_->currentScreen), hash);
        return line;
    }

    void key(PKEYCODE code, bool down) {
        pEvent event{PEVENT_CLASS_KEYBOARD,
                     down ? PEVENT_RAW_KEY_DOWN : PEVENT_RAW_KEY_UP,
                     static_cast<uint32_t>(code),
                     0,
                     0,
                     0,
                     0,
                     0};
        if (pInputRecorder* recorder = pInputRecorder::active())
            recorder->event(event);
        keyEvent(nullptr, &event, pKeyboardHandler::instance());
        if (down)
            held_.insert(code);
        else
            held_.erase(code);
    }
    void releaseAllBut(PKEYCODE kept) {
        std::vector<PKEYCODE> up;
        for (PKEYCODE code : held_)
            if (code != kept)
                up.push_back(code);
        for (PKEYCODE code : up)
            key(code, false);
    }
    // Presses `code` unless it went down last frame: a press needs the key up in between.
    void tap(PKEYCODE code) {
        bool wasHeld = held_.count(code) > 0;
        releaseAllBut(PKEYCODE(-1));
        if (!wasHeld)
            key(code, true);
    }

    // The next frame of play, a display frame after the last.
    void step() {
        now_ += FRAME_MICROS;
        frame();
    }

    // One frame at now_, as the frame driver runs it, then the checks.
    void frame() {
        if (pInputRecorder* recorder = pInputRecorder::active())
            recorder->frame(now_);
        else
            pFrameClock::set(now_);
        if (frames_ % options_.drawEvery == 0) {
            processFrame(driver_);
            // The fake driver presents nothing; without a finish the GL queue grows unbounded.
            glFinish();
        } else {
            // The frame without its picture: both update steps, as processFrame runs them.
            pAudioDevice::deliverNotifications();
            update();
            game_->update();
        }
        frames_++;
        check();
    }

    void playOneGame(long number) {
        // Now and then the title's High Scores and back first, as a player looks at the table.
        if (number % 10 == 5)
            visitTable();
        chooseFromTitle(0);
        long start = frames_;
        Plan plan;
        int lastPieceY = 1000;
        double skill = options_.skill;
        while (game_->currentScreen == MAIN_GAME || game_->transitionManager.active) {
            if (frames_ - start > FRAME_LIMIT_PER_GAME)
                fail("game " + std::to_string(number + 1) + " has not ended");
            pPuzzle& puzzle = game_->puzzle;
            if (game_->currentScreen == MAIN_GAME && !game_->transitionManager.active &&
                puzzle.playing) {
                if (puzzle.pieceY < lastPieceY)
                    plan = choosePlan(puzzle, rng_, skill);
                lastPieceY = puzzle.pieceY;
                steer(plan);
            } else {
                releaseAllBut(PKEYCODE(-1));
            }
            step();
            if (game_->currentScreen != MAIN_GAME && !game_->transitionManager.active)
                break;
        }
        releaseAllBut(PKEYCODE(-1));
        if (game_->currentScreen == HIGH_SCORE_ENTRY_SCREEN)
            typeName("bot" + std::to_string(number + 1));
        if (game_->currentScreen != HIGH_SCORE_SCREEN)
            fail("game " + std::to_string(number + 1) + " ended on screen " +
                 std::to_string(game_->currentScreen) + ", not the table");
        waitForFade();
        tap(PKEY_RETURN); // Continue
        step();
        waitForFade();
        if (game_->currentScreen != SPLASH_SCREEN)
            fail("Continue did not lead back to the title");
    }

    void steer(const Plan& plan) {
        const pPuzzle& puzzle = game_->puzzle;
        if (!std::equal(plan.cells, plan.cells + 4, puzzle.piece))
            tap(PKEY_X);
        else if (puzzle.pieceX > plan.column)
            tap(PKEY_LEFT);
        else if (puzzle.pieceX < plan.column)
            tap(PKEY_RIGHT);
        else if (!held_.count(PKEY_DOWN)) {
            releaseAllBut(PKEY_DOWN);
            key(PKEY_DOWN, true);
        }
    }

    void waitForFade() {
        for (int i = 0; i < 200 && game_->transitionManager.active; i++) {
            releaseAllBut(PKEYCODE(-1));
            step();
        }
        releaseAllBut(PKEYCODE(-1));
        step();
    }

    void chooseFromTitle(int choice) {
        for (int i = 0; i < 500 && game_->currentScreen != SPLASH_SCREEN; i++)
            step(); // the start-up screen stands a while
        waitForFade();
        if (game_->currentScreen != SPLASH_SCREEN)
            fail("the title did not come up");
        for (int i = 0; i < 20 && game_->mainMenu.currChoice != choice; i++) {
            tap(PKEY_UP);
            step();
            releaseAllBut(PKEYCODE(-1));
            step();
        }
        tap(PKEY_RETURN);
        step();
        releaseAllBut(PKEYCODE(-1));
        step();
        if (!game_->transitionManager.active)
            fail("the title menu did not take Return");
        waitForFade();
    }

    void visitTable() {
        chooseFromTitle(1);
        if (game_->currentScreen != HIGH_SCORE_SCREEN)
            fail("High Scores did not show the table");
        tap(PKEY_RETURN);
        step();
        waitForFade();
    }

    void typeName(const std::string& wanted) {
        waitForFade();
        pKeyboardHandler* keyboard = pKeyboardHandler::instance();
        for (int i = 0; i < 200 && game_->nameEntry.getName() != wanted; i++) {
            std::string typed = game_->nameEntry.getName();
            if (wanted.compare(0, typed.size(), typed) != 0) {
                tap(PKEY_BACKSPACE);
            } else {
                char next = wanted[typed.size()];
                for (int k = 0; k < pKeyboardHandler::KEY_COUNT; k++)
                    if (keyboard->keycodeToPrintable(PKEYCODE(k)) == next) {
                        tap(PKEYCODE(k));
                        break;
                    }
            }
            step();
            releaseAllBut(PKEYCODE(-1));
            step();
        }
        if (game_->nameEntry.getName() != wanted)
            fail("could not type the name " + wanted + ", got " + game_->nameEntry.getName());
        owners_[wanted] = game_->puzzle.score;
        tap(PKEY_RETURN);
        step();
        releaseAllBut(PKEYCODE(-1));
        waitForFade();
        namesTyped_++;
    }

    void check() {
        const pPuzzle& puzzle = game_->puzzle;
        for (int i = 0; i < pPuzzle::WIDTH * pPuzzle::HEIGHT; i++) {
            const pCell& cell = puzzle.cells[i];
            if ((cell.empty != 0 && cell.empty != 1) || (cell.color != 1 && cell.color != 2))
                fail("cell " + std::to_string(i) + " holds empty " + std::to_string(cell.empty) +
                     ", colour " + std::to_string(cell.color) + " at frame " +
                     std::to_string(frames_));
        }
        bool playing = puzzle.playing == 1;
        if (playing && !wasPlaying_)
            lastScore_ = 0;
        if (puzzle.score < lastScore_)
            fail("the score fell from " + std::to_string(lastScore_) + " to " +
                 std::to_string(puzzle.score) + " at frame " + std::to_string(frames_));
        lastScore_ = puzzle.score;
        wasPlaying_ = playing;
        bestScore_ = std::max(bestScore_, puzzle.score);
        highestLevel_ = std::max(highestLevel_, puzzle.level);

        pHighScoreList& table = game_->highScoreList;
        if (table.size != 10)
            fail("the table has " + std::to_string(table.size) + " rows");
        for (int row = 0; row < 10; row++) {
            std::string name = table.getName(row);
            auto owner = owners_.find(name);
            if (replaying_ && owner == owners_.end())
                owner = owners_.emplace(name, table.getScore(row)).first; // typed in the replay
            if (owner == owners_.end() || owner->second != table.getScore(row))
                fail("row " + std::to_string(row) + " gives " + name + " the score " +
                     std::to_string(table.getScore(row)));
            if (row > 0 && table.getScore(row) > table.getScore(row - 1))
                fail("row " + std::to_string(row) + " beats the row above it");
        }
        size_t pending = pKeyboardHandler::instance()->events.size();
        if (pending > 8)
            fail(std::to_string(pending) + " key events left over after a frame");
    }
};

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--games" && hasValue)
            options.games = std::atol(argv[++i]);
        else if (arg == "--seed" && hasValue)
            options.seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--skill" && hasValue)
            options.skill = std::atof(argv[++i]);
        else if (arg == "--record" && hasValue)
            options.record = argv[++i];
        else if (arg == "--replay" && hasValue)
            options.replay = argv[++i];
        else if (arg == "--draw-every" && hasValue)
            options.drawEvery = std::max(1L, std::atol(argv[++i]));
        else {
            std::printf("usage: %s [--games N] [--seed N] [--skill 0..1] [--draw-every N]\n"
                        "       [--record FILE | --replay FILE]\n",
                        argv[0]);
            return 2;
        }
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!openHiddenWindow()) {
        std::printf("no GL window: %s (run under xvfb-run -a)\n", SDL_GetError());
        return 1;
    }
    Autoplay autoplay(options);
    return options.replay.empty() ? autoplay.run() : autoplay.replay(options.replay);
}
