#include "Platform/pMediaImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

using namespace pMediaImport;

static std::vector<char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

static const pSoundHeader* headerOf(const char* data) {
    return reinterpret_cast<const pSoundHeader*>(data);
}

TEST(MediaImport, DecodesTheMenuBlipWithoutClicks) {
    char* data = nullptr;
    double duration = 0;
    ASSERT_EQ(importSoundFile(PLINX_SOURCE_DIR "/Resources/menublip.mp3", 44100, &data, &duration),
              0);
    ASSERT_NE(data, nullptr);
    long offset = -1;
    EXPECT_EQ(getSoundHeaderOffset(data, &offset), 0);
    const pSoundHeader* h = headerOf(data + offset);
    EXPECT_GT(duration, 0.05);
    EXPECT_LT(duration, 0.2);
    EXPECT_EQ(h->sampleRate, 44100u);
    EXPECT_NEAR(h->frameCount, duration * 44100, 1);
    const float* s = h->samples();
    float peak = 0;
    for (uint32_t i = 0; i < h->frameCount * 2; ++i)
        peak = std::max(peak, std::fabs(s[i]));
    EXPECT_GT(peak, 0.2f);
    EXPECT_LT(peak, 0.9f);
    // Both ends start and stop near silence, or the speaker clicks.
    for (uint32_t i : {0u, 1u, h->frameCount * 2 - 2, h->frameCount * 2 - 1})
        EXPECT_LT(std::fabs(s[i]), 0.02f) << "sample " << i;
    EXPECT_EQ(s[0], s[1]); // a mono file plays the same on both sides
    disposeSoundData(data);
}

TEST(MediaImport, MeasuresDurationAndResamples) {
    std::vector<char> bytes = readBytes(PLINX_SOURCE_DIR "/tests/data/one_second_22k.mp3");
    char* data = nullptr;
    double duration = 0;
    ASSERT_EQ(importSoundMemory(bytes.data(), bytes.size(), 48000, &data, &duration), 0);
    EXPECT_DOUBLE_EQ(duration, 1.0);
    EXPECT_EQ(headerOf(data)->sampleRate, 48000u);
    EXPECT_EQ(headerOf(data)->frameCount, 48000u);
    disposeSoundData(data);
}

TEST(MediaImport, RejectsBrokenFilesAndAcceptsSilentOnes) {
    std::vector<char> blip = readBytes(PLINX_SOURCE_DIR "/Resources/menublip.mp3");
    char* data = reinterpret_cast<char*>(1);
    double duration = 5;
    // Cut mid-frame, cut at a frame edge, and plain garbage.
    for (size_t cut : {blip.size() - 1, size_t(1894), size_t(200)}) {
        EXPECT_EQ(importSoundMemory(blip.data(), cut, 44100, &data, &duration), kBadFormat) << cut;
        EXPECT_EQ(data, nullptr);
        EXPECT_EQ(duration, 0.0);
    }
    std::string text = "This is a text file, not a sound at all.\n";
    EXPECT_EQ(importSoundMemory(text.data(), text.size(), 44100, &data, &duration), kBadFormat);
    EXPECT_EQ(importSoundFile("/no/such/file.mp3", 44100, &data, &duration), kReadError);

    // Nothing at all, or tags only: a sound without data, not an error.
    const char tagOnly[] = "ID3\x03\x00\x00\x00\x00\x00\x05"
                           "abcde";
    EXPECT_EQ(importSoundMemory(tagOnly, sizeof tagOnly - 1, 44100, &data, &duration), 0);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(importSoundMemory("", 0, 44100, &data, &duration), 0);
    EXPECT_EQ(data, nullptr);
    long offset = 0;
    EXPECT_EQ(getSoundHeaderOffset(nullptr, &offset), kBadFormat);
}
