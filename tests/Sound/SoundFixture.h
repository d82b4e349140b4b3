#pragma once

#include "Platform/pResourceFolder.h"
#include "Sound/slSound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// The sound library opened on four channels with "menublip.mp3" loaded from the shipped assets.
class SoundFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(PLINX_SOURCE_DIR "/tests/data/no-such-folder");
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
        for (int waited = 0; waited < timeoutMs; ++waited) {
            if (!slIsChannelPlaying(channel))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    short blip = -1;
};
