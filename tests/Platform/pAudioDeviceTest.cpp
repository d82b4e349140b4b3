#include "Platform/pAudioDevice.h"
#include "Platform/pMediaImport.h"
#include "Sound/slSound.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <malloc.h>

namespace {

using namespace pAudioDevice;
using namespace pMediaImport;

// The header of a sound block, found where the device looks for it.
const pSoundHeader* headerOf(const char* data) {
    long offset = -1;
    EXPECT_EQ(getSoundHeaderOffset(data, &offset), 0);
    return reinterpret_cast<const pSoundHeader*>(data + offset);
}

// Channels mixed by hand (no device thread), with sounds made sample by sample.
class AudioDeviceTest : public ::testing::Test {
protected:
    static inline std::vector<std::pair<pAudioChannel*, short>> heard;
    static void callBack(pAudioChannel* channel, SndCommand* command) {
        heard.push_back({channel, command->param1});
    }
    std::vector<pAudioChannel*> channels;
    std::vector<char*> sounds;

    short gameChannels = 0;

    // Nothing else is mixed meanwhile: the sound library's channels (and with the last of them
    // the device) close, and open again afterwards.
    void SetUp() override {
        gameChannels = gNumChannels;
        slDisposeSoundChannels();
        setManualOutput(true, 1000);
        heard.clear();
    }
    void TearDown() override {
        for (pAudioChannel* channel : channels)
            disposeChannel(channel);
        for (char* sound : sounds)
            disposeSoundData(sound);
        setDefaultOutputVolume(0x01000100);
        setManualOutput(false, 0);
        if (gameChannels)
            slInit(gameChannels);
    }
    pAudioChannel* open() {
        EXPECT_EQ(newChannel(callBack, &channels.emplace_back()), 0);
        return channels.back();
    }
    // A sound of `frames` frames: left i / 64, right -i / 64.
    const void* ramp(uint32_t frames) {
        std::vector<float> samples;
        for (uint32_t i = 0; i < frames; i++)
            samples.insert(samples.end(), {i / 64.0f, -(i / 64.0f)});
        sounds.push_back(makeSoundData(samples.data(), frames, 1000));
        return headerOf(sounds.back());
    }
    // The mix of `frames` frames, pulled in blocks of 7 frames as a device would.
    static std::vector<float> mix(int frames) {
        std::vector<float> out(2 * frames);
        for (int at = 0; at < frames; at += 7)
            render(out.data() + 2 * at, std::min(7, frames - at));
        return out;
    }
    static int send(pAudioChannel* channel, unsigned short cmd, long param2 = 0, short param1 = 0,
                    bool now = true) {
        SndCommand command{cmd, param1, param2};
        return now ? doImmediate(channel, command) : doCommand(channel, command);
    }
};

TEST_F(AudioDeviceTest, SoundsMixWithChannelAndOutputVolumesAtTheirRate) {
    pAudioChannel *channel = open(), *second = open(), *loud = open();
    send(channel, volumeCmd, (256L << 16) | 128); // left at half
    setDefaultOutputVolume((64L << 16) | 256);    // the output's right at a quarter
    ASSERT_EQ(play(channel, ramp(30)), 0);
    std::vector<float> out = mix(32);
    for (int i = 0; i < 64; i++) // left, right, and silence after the end
        ASSERT_EQ(out[i], i >= 60 ? 0.0f : (i % 2 ? -0.25f : 0.5f) * (i / 2) / 64) << i;
    EXPECT_EQ(buffersStarted(channel), 1u);
    EXPECT_EQ(sentVolume(channel), (256L << 16) | 128);

    // At half rate every sample is passed twice, halfway between the two; at double rate every
    // other one. Two sounds on two channels add up, and the sum is held to -1..1.
    setDefaultOutputVolume(0x01000100);
    send(channel, volumeCmd, (256L << 16) | 256);
    send(channel, rateCmd, 0x8000);
    play(channel, ramp(30));
    send(second, rateCmd, 0x20000);
    play(second, ramp(30));
    EXPECT_EQ(sentRate(second), 0x20000);
    out = mix(20);
    for (int i = 0; i < 20; i++) // both on the right, then the half-rate one alone on the left
        ASSERT_FLOAT_EQ(out[2 * i + (i < 15)], i < 15 ? -(0.5f * i + 2.0f * i) / 64 : 0.5f * i / 64)
            << i;
    send(loud, volumeCmd, (512L << 16) | 512);
    play(loud, ramp(200));
    out = mix(200);
    EXPECT_FLOAT_EQ(out[2 * 190], 1.0f);
    EXPECT_FLOAT_EQ(out[2 * 190 + 1], -1.0f);
}

TEST_F(AudioDeviceTest, QueuedCommandsWaitTheirTurnAndImmediateOnesActAtOnce) {
    pAudioChannel *channel = open(), *stalled = open();
    send(channel, waitCmd, 0, 10, false); // 5 ms: 5 frames at 1000 Hz
    play(channel, ramp(4));
    send(channel, callBackCmd, 0, 7, false);
    std::vector<float> out = mix(12);
    EXPECT_EQ(out[2 * 4], 0.0f);
    EXPECT_FLOAT_EQ(out[2 * 6], 1 / 64.0f);
    EXPECT_TRUE(heard.empty()) << "delivered on the game's thread only";
    deliverNotifications();
    EXPECT_EQ(heard, (decltype(heard){{channel, 7}}));
    deliverNotifications();
    EXPECT_EQ(heard.size(), 1u);

    // Paused, the sound holds where it is; resumed, it goes on from there.
    play(channel, ramp(30));
    mix(3);
    for (auto [command, frames, heardNext] :
         {std::tuple{pauseCmd, 5, 0.0f}, {resumeCmd, 1, 3 / 64.0f}, {quietCmd, 1, 0.0f}}) {
        send(channel, command);
        EXPECT_EQ(mix(frames)[0], heardNext) << command;
    }
    // While nothing pulls the mix, a command that finds 256 waiting is refused at once.
    int waiting = 0;
    while (waiting < 300 && send(stalled, waitCmd, 0, 1, false) == 0)
        waiting++;
    EXPECT_EQ(waiting, 256);
}

TEST_F(AudioDeviceTest, NotificationsOfFlushedOrClosedChannelsAreDropped) {
    pAudioChannel *kept = open(), *flushed = open(), *closed = open();
    for (pAudioChannel* channel : {kept, flushed, closed})
        send(channel, callBackCmd, 0, 1, false);
    mix(1); // all three reached: their notifications wait for the game's thread
    send(flushed, flushCmd);
    EXPECT_EQ(disposeChannel(closed), 0);
    channels.pop_back();
    pAudioChannel* reopened = open(); // may reuse the closed one's memory
    deliverNotifications();
    EXPECT_EQ(heard, (decltype(heard){{kept, 1}}));
    // A flushed channel's later commands notify again.
    send(flushed, callBackCmd, 0, 2, false);
    send(reopened, callBackCmd, 0, 3, false);
    mix(1);
    deliverNotifications();
    EXPECT_EQ(heard, (decltype(heard){{kept, 1}, {flushed, 2}, {reopened, 3}}));
    EXPECT_EQ(doImmediate(nullptr, SndCommand{quietCmd, 0, 0}), kBadChannel);
}

} // namespace

TEST(MediaImport, DecodesTheMenuBlipWithoutClicksMeasuresDurationAndResamples) {
    char* data = nullptr;
    double duration = 0;
    ASSERT_EQ(importSoundFile(PLINX_SOURCE_DIR "/Resources/menublip.mp3", 44100, &data, &duration),
              0);
    const pSoundHeader* h = headerOf(data);
    EXPECT_TRUE(duration > 0.05 && duration < 0.2 && h->sampleRate == 44100);
    // Loud enough, the same on both sides (a mono file), and silent at both ends, or the
    // speaker clicks.
    const float* s = h->samples();
    float peak = 0;
    for (uint32_t i = 0; i < h->frameCount * 2; ++i)
        peak = std::max(peak, std::fabs(s[i]));
    EXPECT_TRUE(peak > 0.2f && peak < 0.9f && s[0] == s[1]);
    EXPECT_LT(std::fabs(s[0]) + std::fabs(s[2 * h->frameCount - 1]), 0.04f);
    disposeSoundData(data);
    // A stereo file keeps its sides apart: a tone on the left, silence on the right.
    ASSERT_EQ(importSoundFile(PLINX_SOURCE_DIR "/tests/data/tone_on_the_left.mp3", 22050, &data,
                              &duration),
              0);
    h = headerOf(data);
    float sides[2] = {0, 0};
    for (uint32_t i = 0; i < h->frameCount * 2; ++i)
        sides[i % 2] = std::max(sides[i % 2], std::fabs(h->samples()[i]));
    EXPECT_TRUE(sides[0] > 0.3f && sides[1] < 0.01f) << sides[0] << " " << sides[1];
    disposeSoundData(data);

    std::string bytes = readFileBytes(PLINX_SOURCE_DIR "/tests/data/one_second_22k.mp3");
    ASSERT_EQ(importSoundMemory(bytes.data(), bytes.size(), 48000, &data, &duration), 0);
    EXPECT_DOUBLE_EQ(duration, 1.0);
    EXPECT_EQ(headerOf(data)->sampleRate, 48000u);
    EXPECT_EQ(headerOf(data)->frameCount, 48000u);
    EXPECT_LT(malloc_usable_size(data), sizeof(pSoundHeader) + 48000 * 8 + 4096) << "no spare room";
    disposeSoundData(data);
    // At twice its rate each sample plays, then the midpoint to the next; the last is held.
    char *same = nullptr, *twice = nullptr;
    ASSERT_EQ(importSoundMemory(bytes.data(), bytes.size(), 22050, &same, &duration), 0);
    ASSERT_EQ(importSoundMemory(bytes.data(), bytes.size(), 44100, &twice, &duration), 0);
    const uint32_t n = headerOf(same)->frameCount;
    const float *in = headerOf(same)->samples(), *out = headerOf(twice)->samples();
    ASSERT_EQ(headerOf(twice)->frameCount, 2 * n);
    int wrong = 0;
    for (uint32_t i = 0, c = 0; i < n; i += c, c = 1 - c)
        wrong +=
            out[4 * i + c] != in[2 * i + c] ||
            out[4 * i + 2 + c] != in[2 * i + c] * 0.5f + in[2 * std::min(i + 1, n - 1) + c] * 0.5f;
    EXPECT_EQ(wrong, 0);
    disposeSoundData(same);
    disposeSoundData(twice);
}

TEST(MediaImport, RejectsBrokenFilesAndAcceptsSilentOnes) {
    std::string blip = readFileBytes(PLINX_SOURCE_DIR "/Resources/menublip.mp3");
    char* data = reinterpret_cast<char*>(1);
    double duration = 5;
    // Cut mid-frame, cut at a frame edge, plain garbage, and text.
    for (const std::string& bad :
         {blip.substr(0, blip.size() - 1), blip.substr(0, 1894), blip.substr(0, 200),
          std::string("This is a text file, not a sound at all.\n")}) {
        EXPECT_EQ(importSoundMemory(bad.data(), bad.size(), 44100, &data, &duration), kBadFormat);
        EXPECT_EQ(data, nullptr);
        EXPECT_EQ(duration, 0.0) << bad.size();
    }
    EXPECT_EQ(importSoundFile("/no/such/file.mp3", 44100, &data, &duration), kReadError);
    // A file read in 64 KiB pieces loses none: a tag makes this one a piece and a byte long.
    TempFolder folder;
    const size_t tag = 65527 - blip.size();
    std::string file("ID3\3\0\0", 6);
    for (int shift : {21, 14, 7, 0})
        file += char(tag >> shift & 127);
    writeFileBytes(folder.file("long.mp3"), file + std::string(tag, 0) + blip);
    EXPECT_EQ(importSoundFile(folder.file("long.mp3"), 44100, &data, &duration), 0);
    disposeSoundData(data);

    // Nothing at all, or tags only (one with a footer): a sound without data, not an error.
    for (const std::string& tags :
         {std::string("ID3\3\0\0\0\0\0\5abcde", 15), std::string(),
          std::string("ID3\4\0\x10\0\0\0\5abcde3DI\4\0\x10\0\0\0\5", 25)}) {
        EXPECT_EQ(importSoundMemory(tags.data(), tags.size(), 44100, &data, &duration), 0);
        EXPECT_EQ(data, nullptr);
    }
    long offset = 0;
    EXPECT_EQ(getSoundHeaderOffset(nullptr, &offset), kBadFormat);

    // Over two minutes is refused at once, whatever the rate: resampled whole, half an hour of
    // silent 8 kHz frames (72 bytes for 576 samples) took seconds and a gigabyte.
    const std::string frame = std::string("\xFF\xE3\x18\xC0", 4) + std::string(68, 0);
    for (double seconds : {100.0, 125.0, 1800.0}) {
        std::string mp3;
        for (int i = 0; i < int(seconds * 8000 / 576 + 0.5); i++)
            mp3 += frame;
        auto start = std::chrono::steady_clock::now();
        int error = importSoundMemory(mp3.data(), mp3.size(), 48000, &data, &duration);
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(error, seconds < 120 ? 0 : kNoMemory) << seconds;
        EXPECT_EQ(data == nullptr, seconds > 120);
        EXPECT_NEAR(duration, seconds < 120 ? seconds : 0, 0.1);
        EXPECT_TRUE(seconds < 120 || took.count() < 1.5) << took.count() << " s";
        disposeSoundData(data);
    }
}
