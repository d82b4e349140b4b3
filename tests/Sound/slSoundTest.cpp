#include "SoundFixture.h"

#include <cstdlib>
#include <cstring>
#include <vector>

static long packed(long left, long right) {
    return (right << 16) | left;
}

TEST_F(SoundFixture, ChannelChoiceFollowsTheRules) {
    // Four plays of one sound take the four channels; a fifth restarts it on channel 0.
    // A one-second sound keeps all four busy however slowly a loaded machine runs the mixer.
    setUserDataFolder(PLINX_SOURCE_DIR "/tests/data");
    short blip = -1;
    ASSERT_EQ(slLoadSoundFromBundle("", "one_second_22k.mp3", &blip), 0);
    for (short expected = 0; expected < 4; ++expected) {
        short channel = 0;
        ASSERT_EQ(slPlaySoundDetailed(blip, &channel, kReplaceSameSound, 256, 0, 1.0, 0), 0);
        EXPECT_EQ(channel, expected);
    }
    // Wait until the mixer has started channel 0, so the restart is a second start.
    for (int waited = 0; waited < 3000 && pAudioDevice::buffersStarted(gChanArray[0].chan) == 0;
         ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(slPlaySoundDetailed(blip, nullptr, kReplaceSameSound, 256, 0, 1.0, 0), 0);
    EXPECT_EQ(slCountSounds(blip), 4);
    ASSERT_TRUE(waitUntilIdle(0));
    EXPECT_EQ(pAudioDevice::buffersStarted(gChanArray[0].chan), 2u);
    EXPECT_EQ(pAudioDevice::buffersStarted(gChanArray[1].chan), 1u);

    // Type 3 goes to the channel already playing the sound though others are free.
    short channel = 2;
    ASSERT_EQ(slPlaySoundDetailed(blip, &channel, kExactChannel, 256, 0, 1.0, 0), 0);
    EXPECT_EQ(slFindChannel(blip, 0, kPreferSameSound), 2);
    EXPECT_EQ(slFindChannel(blip, 0, kAnyChannel), 0);
    EXPECT_EQ(slFindChannel(blip, 7, kExactChannel), -1);
    slStopSoundByID(blip);
    EXPECT_EQ(slCountSounds(blip), 0);
    EXPECT_FALSE(slAreAnySoundsPlaying());

    // With every channel reserved only an explicit wish gets one.
    for (short c = 0; c < 4; ++c)
        slSetChannelAvailability(c, 0);
    EXPECT_EQ(slFindChannel(blip, -1, kAnyChannel), -1);
    EXPECT_EQ(slFindChannel(blip, 0, kAnyChannel), 0);
    std::vector<slChannelRec> before(gChanArray, gChanArray + 4);
    channel = -1;
    EXPECT_NE(slPlaySoundDetailed(blip, &channel, kAnyChannel, 100, 50, 2.0, 0), 0);
    EXPECT_EQ(std::memcmp(before.data(), gChanArray, sizeof(slChannelRec) * 4), 0);
}

TEST_F(SoundFixture, BadSoundsTouchNoChannel) {
    std::vector<slChannelRec> before(gChanArray, gChanArray + 4);
    short channel = 1;
    EXPECT_EQ(slPlaySoundDetailed(-1, &channel, kAnyChannel, 256, 0, 1.0, 0), -1);
    EXPECT_EQ(slPlaySoundDetailed(blip + 1, &channel, kAnyChannel, 256, 0, 1.0, 0), -1);
    EXPECT_EQ(slPlaySound(500, 0, kAnyChannel), -1);
    EXPECT_EQ(slPlaySoundWhenCurrentSoundFinished(blip + 1, 0, 1), -1);
    EXPECT_EQ(slPlaySoundWhenCurrentSoundFinished(blip, 4, 1), -1);
    EXPECT_EQ(slPlayConsecutiveSounds(-1, blip, 0, kAnyChannel, 0), -1);
    EXPECT_EQ(slPlaySoundStretchedOverDuration(blip, nullptr, kAnyChannel, 256, 0, 0, 1.0f), -50);
    EXPECT_EQ(std::memcmp(before.data(), gChanArray, sizeof(slChannelRec) * 4), 0);
    EXPECT_EQ(channel, 1);
    EXPECT_EQ(slPauseChannel(4), -50);
    EXPECT_EQ(slPauseChannelForDuration(-1, 1.0), -50);
    EXPECT_EQ(slGetChannelRate(9), -1.0);
    EXPECT_EQ(slGetChannelVolume(9), 0);
}

TEST_F(SoundFixture, PanLawSendsLeftAndRightVolumes) {
    pAudioChannel* chan = gChanArray[1].chan;
    EXPECT_EQ(pAudioDevice::sentVolume(chan), packed(256, 256));
    slSetVolumeAndStereoPosition(1, 256, 128);
    EXPECT_EQ(pAudioDevice::sentVolume(chan), packed(128, 384));
    slSetChannelStereoPosition(1, -256);
    EXPECT_EQ(pAudioDevice::sentVolume(chan), packed(512, 0));
    slSetChannelStereoPosition(1, 300);
    EXPECT_EQ(slGetChannelStereoPosition(1), 256);
    EXPECT_EQ(pAudioDevice::sentVolume(chan), packed(0, 512));
    slSetChannelVolume(1, -5);
    EXPECT_EQ(slGetChannelVolume(1), 0);
    EXPECT_EQ(pAudioDevice::sentVolume(chan), packed(0, 0));
    slSetVolumeAndStereoPosition(1, 100, -77); // d = -30.07 truncates toward zero
    EXPECT_EQ(pAudioDevice::sentVolume(chan), packed(130, 70));
    slSetVolumeAndStereoPosition(1, 256, 128);
    slSetStereoMode(0);
    EXPECT_EQ(pAudioDevice::sentVolume(chan), packed(256, 256));
    slSetStereoMode(1);
    EXPECT_EQ(pAudioDevice::sentVolume(chan), packed(128, 384));
}

TEST_F(SoundFixture, RateIsSetAndRestored) {
    pAudioChannel* chan = gChanArray[2].chan;
    slSetChannelRate(2, 2.0);
    EXPECT_EQ(pAudioDevice::sentRate(chan), 131072);
    EXPECT_EQ(slGetChannelRate(2), 2.0);
    slRestoreChannelRate(2);
    EXPECT_EQ(pAudioDevice::sentRate(chan), 65536);
    EXPECT_EQ(slGetChannelRate(2), 1.0);
    slSetChannelRate(2, 1e12); // saturates instead of overflowing
    EXPECT_EQ(gChanArray[2].rate, 2147483647L);

    // Stretching a sound to twice its length plays it at half rate.
    short channel = 3;
    float length = slGetSoundDuration(blip);
    ASSERT_EQ(
        slPlaySoundStretchedOverDuration(blip, &channel, kExactChannel, 256, 0, 0, 2 * length), 0);
    EXPECT_NEAR(slGetChannelRate(3), 0.5, 1e-4);
    EXPECT_EQ(slGetSoundRate(blip), 0);
}

TEST_F(SoundFixture, LoopCountPlaysThatManyTimes) {
    short channel = 0;
    ASSERT_EQ(slPlaySoundDetailed(blip, &channel, kAnyChannel, 256, 0, 1.0, 3), 0);
    std::vector<short> counts;
    for (int i = 0; i < 3000 && slIsChannelPlaying(0); ++i) {
        if (counts.empty() || counts.back() != gChanArray[0].loopCount)
            counts.push_back(gChanArray[0].loopCount);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(counts, (std::vector<short>{3, 2, 1}));
    EXPECT_EQ(pAudioDevice::buffersStarted(gChanArray[0].chan), 3u);
    EXPECT_EQ(gChanArray[0].soundID, -1);

    // A negative count repeats until the loop is stopped; the present play then ends it.
    channel = 1;
    ASSERT_EQ(slPlaySoundDetailed(blip, &channel, kExactChannel, 256, 0, 1.0, -1), 0);
    for (int i = 0; i < 400; ++i) { // completions arrive as the game polls, frame by frame
        ASSERT_TRUE(slIsChannelPlaying(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(pAudioDevice::buffersStarted(gChanArray[1].chan), 3u);
    slStopLoopingChannel(1);
    EXPECT_TRUE(waitUntilIdle(1, 1000));
}

TEST_F(SoundFixture, ConsecutiveSoundsPlayInTurn) {
    short second = -1;
    ASSERT_EQ(slLoadSoundFromBundle("", "menublip.mp3", &second), 0);
    ASSERT_EQ(slPlayConsecutiveSounds(blip, second, 2, kExactChannel, 0), 0);
    std::vector<short> heard;
    for (int i = 0; i < 3000 && slIsChannelPlaying(2); ++i) {
        if (heard.empty() || heard.back() != gChanArray[2].soundID)
            heard.push_back(gChanArray[2].soundID);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(heard, (std::vector<short>{blip, second}));
    EXPECT_EQ(pAudioDevice::buffersStarted(gChanArray[2].chan), 2u);
}

TEST(SoundTable, GrowsByTenAndKeepsIndexesOfFailedLoads) {
    setResourceFolder(PLINX_SOURCE_DIR "/Resources");
    short index = 0;
    for (short n = 0; n < 35; ++n) {
        bool missing = n % 3 == 1;
        short error = slLoadSoundFromBundle("", missing ? "missing.mp3" : "menublip.mp3", &index);
        EXPECT_EQ(error, missing ? -1 : 0);
        EXPECT_EQ(index, missing ? -1 : n);
        EXPECT_EQ(gNumSounds, n + 1);
        EXPECT_EQ(gMaximumNumSounds, n < 20 ? 20 : n < 30 ? 30 : 40);
    }
    EXPECT_EQ(slGetSoundDuration(1), 0.0f);
    EXPECT_EQ(slGetSoundDuration(-1), 0.0f);
    EXPECT_EQ(slGetSoundDuration(35), 0.0f);
    EXPECT_NEAR(slGetSoundDuration(33), 0.12, 0.001);
    EXPECT_EQ(slSetInitialMaximumNumberSounds(50), -50);
    EXPECT_EQ(slLoadSoundFromBundle("../Resources", "menublip.mp3", &index), -1);
    slExit();
    // Loading after the library was shut down starts a fresh table.
    EXPECT_EQ(slLoadSoundFromBundle("", "menublip.mp3", &index), 0);
    EXPECT_EQ(index, 0);
    slExit();
    setResourceFolder("");
}

TEST(SoundLibrary, RunsSilentlyWithoutAnAudioDevice) {
    const char* saved = std::getenv("SDL_AUDIODRIVER");
    std::string previous = saved ? saved : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(slInit(4), pAudioDevice::kNoAudioDevice);
    EXPECT_EQ(gNumChannels, 0);
    EXPECT_EQ(gChanArray, nullptr);
    EXPECT_EQ(slInit(0), -1);
    setResourceFolder(PLINX_SOURCE_DIR "/Resources");
    short blip = -1;
    EXPECT_EQ(slLoadSoundFromBundle("", "menublip.mp3", &blip), 0);
    EXPECT_NE(slPlaySound(blip, 0, kAnyChannel), 0);
    EXPECT_FALSE(slAreAnySoundsPlaying());
    slExit();
    setResourceFolder("");
    if (saved)
        setenv("SDL_AUDIODRIVER", previous.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
}

TEST(SoundLibrary, SystemVolumeIsClampedSavedAndRestored) {
    long volume = 0;
    slSetSystemVolume(300);
    ASSERT_EQ(slGetSystemVolume(&volume), 0);
    EXPECT_EQ(volume, 256);
    slSetSystemVolume(-4);
    slGetSystemVolume(&volume);
    EXPECT_EQ(volume, 0);
    slSetSystemVolume(100);
    slSaveSystemVolume();
    slSetSystemVolume(30);
    slRestoreSystemVolume();
    slGetSystemVolume(&volume);
    EXPECT_EQ(volume, 100);
    slSetSystemVolume(256);
}
