#pragma once

#include <cstdint>

// The game's sound output: one SDL audio device (stereo, 32-bit float) feeding channels that
// each run a queue of commands, after the Sound Manager's model. Queued commands run in order,
// each waiting for the sound before it; immediate commands act at the next mix, ahead of the
// queue. The mix runs on SDL's audio thread and never waits for the game: commands travel
// through lock-free rings, and completion notifications come back the same way to be delivered
// on the game thread by deliverNotifications().
struct pAudioChannel;

struct SndCommand {
    unsigned short cmd;
    short param1;
    long param2;
};

using SndCallBackProcPtr = void (*)(pAudioChannel* channel, SndCommand* command);

enum : unsigned short {
    quietCmd = 3,     // stop the sound now
    flushCmd = 4,     // drop the queued commands
    waitCmd = 10,     // param1: half-milliseconds of silence
    pauseCmd = 11,    // hold the channel where it is
    resumeCmd = 12,   // carry on after a pause
    callBackCmd = 13, // hand the command back to the channel's callback
    volumeCmd = 46,   // param2: right volume in the high 16 bits, left in the low; 256 is full
    soundCmd = 80,    // param2: a pMediaImport::pSoundHeader*, installed without playing
    bufferCmd = 81,   // param2: a pMediaImport::pSoundHeader*, played from its start
    rateCmd = 86,     // param2: playback rate, 16.16 fixed point
};

namespace pAudioDevice {

constexpr int kNoAudioDevice = -201; // SDL could not open an output device
constexpr int kTooManyChannels = -203;
constexpr int kBadChannel = -205;
constexpr int kQueueFull = -206;
constexpr int kMaxChannels = 64;

// Opens a channel on the device, opening the device with the first one.
int newChannel(SndCallBackProcPtr callBack, pAudioChannel** channel);
// Closes a channel at once, dropping its queue; the device closes with the last channel.
int disposeChannel(pAudioChannel* channel);
int doImmediate(pAudioChannel* channel, const SndCommand& command);
// Appends to the channel's queue, waiting a little while it is full.
int doCommand(pAudioChannel* channel, const SndCommand& command);
// Starts a sound without waiting: it joins the queue as a buffer command.
int play(pAudioChannel* channel, const void* soundHeader);

// Runs the callbacks for every notification the mixer has reached; call on the game thread.
// Calls made from inside a callback return at once.
void deliverNotifications();

// The device's sample rate, or the rate it will ask for when it is not open.
int outputRate();

// The machine's output volume for this game, packed right/left, 256 full on each side.
long getDefaultOutputVolume();
void setDefaultOutputVolume(long packed);
void sysBeep();

// What the game last sent a channel, for checks: the packed volume and the 16.16 rate.
long sentVolume(pAudioChannel* channel);
long sentRate(pAudioChannel* channel);
// Sounds the mixer has started on the channel so far (buffer commands reached).
uint32_t buffersStarted(pAudioChannel* channel);
// Steady-clock time (ns since its epoch) at which the mixer last started a buffer on any channel.
int64_t lastBufferStartNanos();

// Without a device: the mix is pulled by render() instead of SDL's audio thread (benchmarks).
void setManualOutput(bool manual, int rate);
void render(float* stereoOut, int frames);

} // namespace pAudioDevice
