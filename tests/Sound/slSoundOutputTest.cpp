#include "Platform/pMediaImport.h"
#include "SoundFixture.h"
#include "tests/support/TempFolder.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

// Plays the blip through SDL's disk driver, which writes the mixed output to a file, and finds
// it there sample for sample.
class SoundOutputTest : public SoundFixture {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", folder.file("out.raw").c_str(), 1);
        SoundFixture::SetUp();
    }
    void TearDown() override {
        SoundFixture::TearDown();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_DISKAUDIOFILE");
    }
    TempFolder folder;
};

// Index of the first frame of `out` whose left or right sample is not silent, from `from`.
static size_t firstSound(const std::vector<float>& out, size_t from) {
    for (size_t i = from; i < out.size() / 2; ++i)
        if (out[2 * i] != 0.0f || out[2 * i + 1] != 0.0f)
            return i;
    return out.size() / 2;
}

TEST_F(SoundOutputTest, BlipReachesTheOutputInTheRightChannel) {
    short channel = 0;
    ASSERT_EQ(slPlaySoundDetailed(blip, &channel, kAnyChannel, 256, 0, 1.0, 0), 0);
    ASSERT_TRUE(waitUntilIdle(0));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(slPlaySoundDetailed(blip, &channel, kExactChannel, 256, 256, 1.0, 0), 0);
    ASSERT_TRUE(waitUntilIdle(0));
    std::this_thread::sleep_for(std::chrono::milliseconds(80)); // let the last block reach disk
    const auto* source = reinterpret_cast<const pMediaImport::pSoundHeader*>(
        gSoundData[blip].data + gSoundData[blip].headerOffset);
    const size_t length = source->frameCount;
    const std::vector<float> decoded(source->samples(), source->samples() + 2 * length);
    const float* src = decoded.data();
    slExit();

    std::ifstream in(folder.file("out.raw"), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<float> out(bytes.size() / sizeof(float));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
    size_t lead = firstSound(decoded, 0);

    // Centred at full volume: the decoded samples, unchanged, on both sides.
    size_t start = firstSound(out, 0) - lead;
    ASSERT_LE(start + length, out.size() / 2);
    for (size_t i = 0; i < length; ++i) {
        ASSERT_FLOAT_EQ(out[2 * (start + i)], src[2 * i]) << i;
        ASSERT_FLOAT_EQ(out[2 * (start + i) + 1], src[2 * i + 1]) << i;
    }
    size_t gapEnd = firstSound(out, start + length);
    // Silence between the two. How much depends on how soon the disk driver's thread runs on a
    // loaded machine, so only its presence is checked.
    EXPECT_GT(gapEnd, start + length);

    // Full right: twice the volume on the right, nothing on the left, for the same length.
    start = gapEnd - lead;
    ASSERT_LE(start + length, out.size() / 2);
    for (size_t i = 0; i < length; ++i) {
        ASSERT_EQ(out[2 * (start + i)], 0.0f) << i;
        ASSERT_FLOAT_EQ(out[2 * (start + i) + 1], 2 * src[2 * i + 1]) << i;
    }
    EXPECT_EQ(firstSound(out, start + length), out.size() / 2);
}
