#include "Platform/pResourceFolder.h"
#include "Sound/slSound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <tuple>
#include <vector>

namespace {

// Every test of this binary mixes for SDL's dummy device unless told otherwise: a machine without
// a sound card (as CI runs on) has no other, and the game would start silent.
[[maybe_unused]] const bool dummyAudio = setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;

// The sound library on four channels of SDL's dummy device, with "menublip.mp3" loaded.
class SoundTest : public ::testing::Test {
protected:
    short blip = -1;
    void SetUp() override {
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(PLINX_SOURCE_DIR "/tests/data");
        ASSERT_EQ(slInit(4), 0);
        ASSERT_EQ(slLoadSoundFromBundle("", "menublip.mp3", &blip), 0);
    }
    void TearDown() override {
        slExit();
        setResourceFolder("");
        setUserDataFolder("");
    }
    // Polls as the frame loop would until the channel is idle; false on timeout.
    static bool waitUntilIdle(short channel, int timeoutMs = 3000) {
        return follow(channel, timeoutMs), !slIsChannelPlaying(channel);
    }
    // What one channel does, sampled every millisecond until it is idle, as "sound:loops;".
    static std::string follow(short channel, int timeoutMs = 3000) {
        std::string seen, last;
        for (int i = 0; i < timeoutMs && slIsChannelPlaying(channel); ++i) {
            std::string now = std::to_string(gChanArray[channel].soundID) + ":" +
                              std::to_string(gChanArray[channel].loopCount) + ";";
            seen += now == last ? "" : now;
            last = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return seen;
    }
    static long sent(short channel) { return pAudioDevice::sentVolume(gChanArray[channel].chan); }
    static uint32_t started(short c) { return pAudioDevice::buffersStarted(gChanArray[c].chan); }
    static long packed(long left, long right) { return (right << 16) | left; }
};

} // namespace

TEST_F(SoundTest, ChannelsAreChosenByTheRules) {
    // Four plays of a one-second sound take the four channels; a fifth restarts it on channel 0
    // once the mixer has started it there.
    short second = -1;
    ASSERT_EQ(slLoadSoundFromBundle("", "one_second_22k.mp3", &second), 0);
    for (short play = 0; play < 4; ++play) {
        short channel = 0;
        ASSERT_EQ(slPlaySoundDetailed(second, &channel, kReplaceSameSound, 256, 0, 1.0, 0), 0);
        EXPECT_EQ(channel, play);
    }
    for (int waited = 0; waited < 3000 && !started(0); ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(slPlaySoundDetailed(second, nullptr, kReplaceSameSound, 256, 0, 1.0, 0), 0);
    EXPECT_EQ(slCountSounds(second), 4);
    ASSERT_TRUE(waitUntilIdle(0));
    EXPECT_EQ(started(0), 2u);
    EXPECT_EQ(started(1), 1u);
    // Exactly the one asked for; the one already playing the sound though others are free.
    short channel = 2;
    ASSERT_EQ(slPlaySoundDetailed(blip, &channel, kExactChannel, 256, 0, 1.0, -1), 0);
    EXPECT_EQ(slFindChannel(blip, 0, kPreferSameSound), 2);
    EXPECT_EQ(slFindChannel(blip, 0, kAnyChannel), 0);
    EXPECT_EQ(slFindChannel(blip, 7, kExactChannel), -1);
    EXPECT_EQ(slFindSound(blip), 2);
    slStopSoundByID(second);
    EXPECT_EQ(slCountSounds(blip), 1) << "another sound's stop leaves it playing";
    slStopSoundByID(blip);
    EXPECT_FALSE(slCountSounds(blip) || slAreAnySoundsPlaying());
    // With every channel reserved only an explicit wish gets one; a play with none touches none.
    for (short c = 0; c < 4; ++c)
        slSetChannelAvailability(c, 0);
    EXPECT_EQ(slFindChannel(blip, -1, kAnyChannel) * 10 + slFindChannel(blip, 0, kAnyChannel), -10);
    std::vector<slChannelRec> before(gChanArray, gChanArray + 4);
    channel = -1;
    EXPECT_NE(slPlaySoundDetailed(blip, &channel, kAnyChannel, 100, 50, 2.0, 0), 0);
    // Bad sounds and bad channels touch no channel either.
    EXPECT_EQ(slPlaySoundDetailed(-1, &channel, kAnyChannel, 256, 0, 1.0, 0) +
                  slPlaySoundDetailed(blip + 2, &channel, kAnyChannel, 256, 0, 1.0, 0) +
                  slPlaySound(500, 0, kAnyChannel) +
                  slPlaySoundWhenCurrentSoundFinished(blip + 2, 0, 1) +
                  slPlaySoundWhenCurrentSoundFinished(blip, 4, 1) +
                  slPlayConsecutiveSounds(-1, blip, 0, kAnyChannel, 0),
              -6);
    EXPECT_EQ(slPlaySoundStretchedOverDuration(blip, nullptr, kAnyChannel, 256, 0, 0, 1), -50);
    EXPECT_EQ(std::memcmp(before.data(), gChanArray, sizeof(slChannelRec) * 4), 0);
    EXPECT_EQ(slPauseChannel(4) + slPauseChannelForDuration(-1, 1.0), -100);
    EXPECT_TRUE(slGetChannelRate(9) == -1.0 && slGetChannelVolume(9) == 0 && channel == -1);
}

TEST_F(SoundTest, VolumeStereoPositionAndRateAreSentToTheChannel) {
    const std::tuple<short, short, long> pans[] = {
        {256, 128, packed(128, 384)}, {256, -256, packed(512, 0)}, {256, 300, packed(0, 512)},
        {-5, 0, packed(0, 0)},        {100, -77, packed(130, 70)}, {256, 1, packed(255, 257)},
        {256, 128, packed(128, 384)}};
    EXPECT_EQ(sent(0), packed(256, 256));
    for (auto [volume, position, expected] : pans) {
        slSetVolumeAndStereoPosition(0, volume, position); // the shift truncates toward zero
        EXPECT_EQ(sent(0), expected) << volume << " " << position;
    }
    EXPECT_EQ(slGetChannelStereoPosition(0) * 1000 + slGetChannelVolume(0), 128256);
    slSetStereoMode(0);
    EXPECT_EQ(sent(0), packed(256, 256));
    slSetStereoMode(1);
    slSetChannelStereoPosition(0, 300);
    slSetChannelVolume(0, 100);
    EXPECT_EQ(sent(0), packed(0, 200));

    slSetChannelRate(2, 2.0);
    EXPECT_EQ(pAudioDevice::sentRate(gChanArray[2].chan) + slGetChannelRate(2), 131074);
    slRestoreChannelRate(2);
    EXPECT_EQ(pAudioDevice::sentRate(gChanArray[2].chan) + slGetChannelRate(2), 65537);
    slSetChannelRate(2, 1e12); // saturates instead of overflowing
    EXPECT_EQ(gChanArray[2].rate, 2147483647L);
    // Stretching a sound to twice its length plays it at half rate.
    short channel = 3;
    const float twice = 2 * slGetSoundDuration(blip);
    ASSERT_EQ(slPlaySoundStretchedOverDuration(blip, &channel, kExactChannel, 256, 0, 0, twice), 0);
    EXPECT_NEAR(slGetChannelRate(3), 0.5, 1e-4);
    EXPECT_EQ(slGetSoundRate(blip), 0);
    EXPECT_EQ(slGetSoundRate(blip + 1), -1) << "played on no channel";
    // Stretched over no time at all, it plays at its own rate.
    ASSERT_EQ(slPlaySoundStretchedOverDuration(blip, &channel, kExactChannel, 256, 0, 0, 0), 0);
    EXPECT_EQ(slGetChannelRate(3), 1.0);
}

TEST_F(SoundTest, LoopsChainsAndPausesPlayOut) {
    short channel = 0;
    ASSERT_EQ(slPlaySoundDetailed(blip, &channel, kAnyChannel, 256, 0, 1.0, 3), 0);
    const std::string b = std::to_string(blip);
    EXPECT_EQ(follow(0), b + ":3;" + b + ":2;" + b + ":1;");
    EXPECT_EQ(started(0), 3u);
    EXPECT_EQ(gChanArray[0].soundID, -1);
    // Two sounds in turn on one channel, the second at full volume.
    short second = -1;
    ASSERT_EQ(slLoadSoundFromBundle("", "menublip.mp3", &second), 0);
    ASSERT_EQ(slPlayConsecutiveSounds(blip, second, 2, kExactChannel, 0), 0);
    EXPECT_EQ(follow(2), b + ":2;" + std::to_string(second) + ":1;");
    EXPECT_EQ(started(2), 2u);
    ASSERT_EQ(slPlaySoundWhenCurrentSoundFinished(blip, 3, 0), 0); // an idle channel: at once
    EXPECT_EQ(gChanArray[3].volume, 256);
    // A negative count repeats until the loop is stopped; the present play then ends it.
    channel = 1;
    ASSERT_EQ(slPlaySoundDetailed(blip, &channel, kExactChannel, 256, 0, 1.0, -1), 0);
    for (int i = 0; i < 400; ++i) { // completions arrive as the game polls, frame by frame
        ASSERT_TRUE(slIsChannelPlaying(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(started(1), 3u);
    slStopLoopingChannel(1);
    EXPECT_TRUE(waitUntilIdle(1, 1000));
    // Paused, every channel holds its sound until resumed.
    ASSERT_TRUE(waitUntilIdle(3));
    ASSERT_EQ(slPlaySound(blip, 0, kExactChannel), 0);
    EXPECT_TRUE(slAreAnySoundsPlaying()) << "channel 0 counts";
    slPauseAllChannels();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(slIsChannelPlaying(0));
    slResumeAllChannels();
    EXPECT_TRUE(waitUntilIdle(0, 1000));
    // Its sounds disposed while one loops, the library closes every channel first, and the
    // loop's next notification finds nothing to queue.
    ASSERT_EQ(slPlaySoundDetailed(blip, &channel, kExactChannel, 256, 0, 1.0, -1), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    pAudioChannel* first = gChanArray[0].chan;
    slDisposeSounds();
    EXPECT_TRUE(gNumChannels == 0 && !slAreAnySoundsPlaying());
    for (int waited = 0; waited < 600; waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        pAudioDevice::deliverNotifications();
    }
    // The sound is gone, and channel 0 was closed too.
    EXPECT_EQ(slPlaySound(blip, 0, kAnyChannel), -1);
    EXPECT_EQ(pAudioDevice::sentVolume(first), 0);
}

// The output volume the library sets is clamped to 0..256, and a saved one comes back.
TEST(SoundLibrary, SystemVolumeIsClampedSavedAndRestored) {
    long volume = 0;
    for (auto [set, expected] : {std::pair{300L, 256L}, {-4L, 0L}, {100L, 100L}}) {
        slSetSystemVolume(set);
        EXPECT_EQ(slGetSystemVolume(&volume), 0);
        EXPECT_EQ(volume, expected) << set;
    }
    slSaveSystemVolume();
    slSetSystemVolume(30);
    slRestoreSystemVolume();
    slGetSystemVolume(&volume);
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(slGetSystemVolume(nullptr), paramErr);
    slSetSystemVolume(256);
}

TEST(SoundLibrary, TheTableGrowsByTenAndTheLibraryRunsSilentlyWithoutADevice) {
    slExit(); // a table of its own
    setResourceFolder(PLINX_SOURCE_DIR "/Resources");
    short index = 0;
    for (short n = 0; n < 35; ++n) {
        const bool missing = n % 3 == 1; // a failed load still takes its index
        EXPECT_EQ(slLoadSoundFromBundle("", missing ? "missing.mp3" : "menublip.mp3", &index),
                  missing ? -1 : 0);
        EXPECT_EQ(index, missing ? -1 : n);
        EXPECT_EQ(gMaximumNumSounds, n < 20 ? 20 : n < 30 ? 30 : 40);
    }
    EXPECT_EQ(gNumSounds, 35);
    EXPECT_EQ(slGetSoundDuration(1) + slGetSoundDuration(-1) + slGetSoundDuration(35), 0.0f);
    EXPECT_NEAR(slGetSoundDuration(33), 0.12, 0.001);
    EXPECT_EQ(slSetInitialMaximumNumberSounds(50), -50);
    EXPECT_EQ(slLoadSoundFromBundle("../Resources", "menublip.mp3", &index), -1);
    slExit();
    // Loading after the library was shut down starts a fresh table.
    EXPECT_EQ(slLoadSoundFromBundle("", "menublip.mp3", &index) * 10 + index, 0);
    slExit();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(slInit(4), pAudioDevice::kNoAudioDevice);
    EXPECT_TRUE(gNumChannels == 0 && gChanArray == nullptr && slInit(0) == -1);
    EXPECT_EQ(slLoadSoundFromBundle("", "menublip.mp3", &index), 0);
    EXPECT_NE(slPlaySound(index, 0, kAnyChannel), 0);
    EXPECT_FALSE(slAreAnySoundsPlaying());
    slExit();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setResourceFolder("");
}
