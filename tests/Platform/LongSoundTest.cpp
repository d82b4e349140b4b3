// A sound file far longer than any game sound: refused at once, whatever its sample rate, before
// it is resampled to the device's rate.
#include "Platform/pMediaImport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <vector>

using namespace pMediaImport;

namespace {
// Silent MPEG 2.5 layer III frames, mono, 8 kHz at 8 kbit/s: 72 bytes for 576 samples, so half
// an hour fits in 1.8 MB.
std::vector<unsigned char> silentMp3(double seconds) {
    std::vector<unsigned char> frame(72, 0);
    frame[0] = 0xFF;
    frame[1] = 0xE3; // sync, MPEG 2.5, layer III, no checksum
    frame[2] = 0x18; // 8 kbit/s, 8000 Hz
    frame[3] = 0xC0; // mono
    std::vector<unsigned char> file;
    for (int i = 0; i < int(seconds * 8000 / 576 + 0.5); i++)
        file.insert(file.end(), frame.begin(), frame.end());
    return file;
}
} // namespace

TEST(LongSound, ASoundLongerThanTwoMinutesIsRefusedAtOnce) {
    struct Case {
        double seconds;
        int error;
    };
    for (Case c : {Case{100, 0}, Case{125, kNoMemory}, Case{1800, kNoMemory}}) {
        std::vector<unsigned char> mp3 = silentMp3(c.seconds);
        char* data = nullptr;
        double duration = 0;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(importSoundMemory(mp3.data(), mp3.size(), 48000, &data, &duration), c.error)
            << c.seconds << " s";
        double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (c.error == 0) {
            ASSERT_NE(data, nullptr);
            EXPECT_NEAR(duration, c.seconds, 0.1);
            EXPECT_NEAR(reinterpret_cast<const pSoundHeader*>(data)->frameCount, c.seconds * 48000,
                        5000);
        } else {
            EXPECT_EQ(data, nullptr);
            // Decoding half an hour and resampling it took seconds and more than a gigabyte.
            EXPECT_LT(ms, 1500) << c.seconds << " s";
        }
        disposeSoundData(data);
    }
}
