// A sound file far longer than any game sound is refused at once, whatever its sample rate,
// before it is resampled to the device's rate.
#include "Platform/pMediaImport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <vector>

using namespace pMediaImport;

TEST(LongSound, ASoundLongerThanTwoMinutesIsRefusedAtOnce) {
    // Silent MPEG 2.5 layer III frames, mono, 8 kHz at 8 kbit/s: 72 bytes for 576 samples, so
    // half an hour fits in 1.8 MB.
    std::vector<unsigned char> frame(72, 0);
    frame[0] = 0xFF, frame[1] = 0xE3, frame[2] = 0x18, frame[3] = 0xC0;
    for (double seconds : {100.0, 125.0, 1800.0}) {
        std::vector<unsigned char> mp3;
        for (int i = 0; i < int(seconds * 8000 / 576 + 0.5); i++)
            mp3.insert(mp3.end(), frame.begin(), frame.end());
        char* data = nullptr;
        double duration = 0;
        auto start = std::chrono::steady_clock::now();
        int error = importSoundMemory(mp3.data(), mp3.size(), 48000, &data, &duration);
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (seconds < 120) {
            EXPECT_EQ(error, 0);
            EXPECT_NEAR(duration, seconds, 0.1);
        } else {
            EXPECT_EQ(error, kNoMemory) << seconds;
            EXPECT_EQ(data, nullptr);
            // Half an hour took seconds and more than a gigabyte when it was resampled whole.
            EXPECT_LT(took.count(), 1.5) << seconds;
        }
        disposeSoundData(data);
    }
}
