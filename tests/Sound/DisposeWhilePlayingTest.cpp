// Sounds released while they play: the mixer must not read freed samples, and a looping channel's
// next notification must not look for a sound table that is gone.
#include "SoundFixture.h"

#include "Platform/pAudioDevice.h"

TEST_F(SoundFixture, DisposingSoundsWhilePlayingClosesTheChannelsFirst) {
    short channel = 0;
    ASSERT_EQ(slPlaySoundDetailed(blip, &channel, kAnyChannel, 256, 0, 1.0, -1), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // the mixer is in the sound
    slDisposeSounds();
    EXPECT_EQ(gNumChannels, 0);
    EXPECT_FALSE(slAreAnySoundsPlaying());
    // Long enough for the looping blip to end a play and ask for the next.
    for (int waited = 0; waited < 600; waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        pAudioDevice::deliverNotifications();
    }
    EXPECT_EQ(slPlaySound(blip, 0, kAnyChannel), -1) << "the sound is gone";
}
