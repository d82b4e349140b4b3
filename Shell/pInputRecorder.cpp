#include "Shell/pInputRecorder.h"

#include "Game/pPlinx.h"
#include "Shell/pFrameClock.h"

#include <cinttypes>
#include <cstdlib>

pInputRecorder* pInputRecorder::active_ = nullptr;

pInputRecorder* pInputRecorder::active() {
    return active_;
}

pInputRecorder::pInputRecorder(std::FILE* file, int64_t startMicros)
    : file_(file), last_(startMicros) {}

bool pInputRecorder::start(const std::string& path, unsigned seed, int64_t startMicros) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    pFrameClock::install(startMicros);
    pPlinx* game = pPlinx::instance();
    game->randomSeed = seed;
    std::fprintf(file, "plinx input 1\nseed %u\nclock %" PRId64 "\n", seed, startMicros);
    for (int row = 0; row < game->highScoreList.size; row++)
        std::fprintf(file, "table %d %s\n", game->highScoreList.getScore(row),
                     game->highScoreList.getName(row).c_str());
    std::fflush(file);
    delete active_;
    active_ = new pInputRecorder(file, startMicros);
    return true;
}

void pInputRecorder::startFromEnvironment() {
    const char* path = std::getenv("PLINX_RECORD");
    if (!path || !*path)
        return;
    unsigned seed = pPlinx::instance()->randomSeed;
    if (start(path, seed, pFrameClock::wallMicros())) {
        active_->onWallClock_ = true;
        std::printf("Recording the input to %s.\n", path);
    } else {
        std::printf("Error, cannot record the input to %s; playing without recording.\n", path);
    }
    std::fflush(stdout);
}

void pInputRecorder::frame(int64_t micros) {
    pFrameClock::set(micros);
    int64_t step = micros - last_;
    last_ = micros;
    if (pendingFrames_ > 0 && step != pendingStep_)
        flush();
    pendingStep_ = step;
    pendingFrames_++;
}

void pInputRecorder::frameOnWallClock() {
    if (onWallClock_)
        frame(pFrameClock::wallMicros());
}

void pInputRecorder::event(const pEvent& event) {
    if (event.eventClass != PEVENT_CLASS_KEYBOARD)
        return;
    flush();
    std::fprintf(file_, "k %u %u %u\n", event.kind, event.keyCode, event.modifiers);
}

void pInputRecorder::note(const std::string& line) {
    flush();
    std::fprintf(file_, "%s\n", line.c_str());
    std::fflush(file_);
}

void pInputRecorder::flush() {
    if (pendingFrames_ > 0)
        std::fprintf(file_, "f %" PRId64 " %ld\n", pendingStep_, pendingFrames_);
    pendingFrames_ = 0;
    std::fflush(file_);
}
