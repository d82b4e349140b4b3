// What the sound mixer costs: CPU per second of audio with four channels playing, and how long a
// play request takes to reach the mixer.
#include "Platform/pAudioDevice.h"
#include "Sound/slSound.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

static constexpr int kRate = 44100;
static constexpr int kBlock = 512;

// The build copies Resources/ beside the programs, where the game finds it too.
static short loadBlip() {
    short blip = -1;
    slLoadSoundFromBundle("", "menublip.mp3", &blip);
    return blip;
}

// Four endless blips at different rates and positions, mixed block by block as SDL would.
static void BM_MixFourChannelsOneSecond(benchmark::State& state) {
    pAudioDevice::setManualOutput(true, kRate);
    slInit(4);
    short blip = loadBlip();
    const double rates[] = {1.0, 1.5, 0.75, 2.0};
    for (short c = 0; c < 4; ++c) {
        short channel = c;
        slPlaySoundDetailed(blip, &channel, kExactChannel, 200, short(c * 100 - 150), rates[c], -1);
    }
    std::vector<float> out(2 * kBlock);
    for (auto _ : state) {
        for (int done = 0; done < kRate; done += kBlock) {
            pAudioDevice::render(out.data(), kBlock);
            pAudioDevice::deliverNotifications();
        }
        benchmark::DoNotOptimize(out.data());
    }
    slExit();
    pAudioDevice::setManualOutput(false, 0);
}
BENCHMARK(BM_MixFourChannelsOneSecond)->Unit(benchmark::kMicrosecond);

// From slPlaySoundDetailed to the mixer taking the sound's first sample, on SDL's dummy device
// (the device's own buffer, 512 frames here, comes on top before a speaker hears it).
static void BM_PlayToFirstSample(benchmark::State& state) {
    if (!std::getenv("SDL_AUDIODRIVER"))
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (slInit(1) != 0) {
        state.SkipWithError("no audio device");
        return;
    }
    short blip = loadBlip();
    std::vector<double> samples;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        int64_t startNs = start.time_since_epoch().count();
        short channel = 0;
        slPlaySoundDetailed(blip, &channel, kExactChannel, 256, 0, 1.0, 0);
        while (pAudioDevice::lastBufferStartNanos() < startNs)
            std::this_thread::yield();
        double seconds = double(pAudioDevice::lastBufferStartNanos() - startNs) * 1e-9;
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1000.0);
        slStopChannel(0);
        std::this_thread::sleep_for(std::chrono::milliseconds(3)); // land at varied phases
    }
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples[samples.size() / 2];
    state.counters["max_ms"] = samples.back();
    slExit();
}
BENCHMARK(BM_PlayToFirstSample)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);
