#include "Platform/pAudioDevice.h"

#include "Platform/pMediaImport.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

using pMediaImport::pSoundHeader;

namespace {

// One producer, one consumer, no locks: the game and the audio thread never wait on each other.
template <typename T, uint32_t N> class Ring {
public:
    bool push(const T& item) {
        uint32_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == N)
            return false;
        items_[tail % N] = item;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }
    bool peek(T& item) const {
        uint32_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire))
            return false;
        item = items_[head % N];
        return true;
    }
    void pop() {
        head_.store(head_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    }

private:
    T items_[N];
    std::atomic<uint32_t> head_{0};
    std::atomic<uint32_t> tail_{0};
};

struct Message {
    SndCommand command;
    uint32_t epoch;
    bool immediate;
};

struct Notification {
    pAudioChannel* channel;
    uint32_t serial;
    uint32_t epoch;
    SndCommand command;
};

constexpr uint32_t kQueueLength = 256;
constexpr int kDefaultRate = 44100;
constexpr int kDeviceFrames = 512; // ~12 ms at 44.1 kHz: a menu blip must follow the key at once
constexpr long kFullVolume = 0x01000100;

} // namespace

struct pAudioChannel {
    SndCallBackProcPtr callBack = nullptr;
    uint32_t serial = 0;

    // Game thread only.
    uint32_t epoch = 0; // bumped by every flush: notifications of older commands are stale
    long sentVolume = kFullVolume;
    long sentRate = 0x10000;

    Ring<Message, kQueueLength> inbox; // game -> mixer

    // Audio thread only.
    Message queue[kQueueLength];
    uint32_t queueHead = 0;
    uint32_t queueCount = 0;
    const pSoundHeader* installed = nullptr;
    const pSoundHeader* playing = nullptr;
    double position = 0.0;
    uint32_t waitFrames = 0;
    bool paused = false;
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
    long rate = 0x10000;

    std::atomic<uint32_t> started{0};
};

namespace pAudioDevice {

static SDL_AudioDeviceID device_ = 0;
static bool manual_ = false;
static int rate_ = kDefaultRate;
static uint32_t nextSerial_ = 0;
static std::vector<pAudioChannel*> live_;    // game thread
static std::vector<pAudioChannel*> mixList_; // audio thread; changed only under the device lock
static Ring<Notification, 1024> notifications_;
static std::atomic<long> outputVolume_{kFullVolume};
static std::atomic<int> beepFrames_{0};
static std::atomic<int64_t> lastStartNanos_{0};
static bool delivering_ = false;

static bool isLive(const pAudioChannel* channel) {
    return channel && std::find(live_.begin(), live_.end(), channel) != live_.end();
}

static uint32_t halfMillisecondsToFrames(short halfMs) {
    return halfMs > 0 ? uint32_t(int64_t(halfMs) * rate_ / 2000) : 0;
}

static void startSound(pAudioChannel& c, const pSoundHeader* header) {
    c.playing = header && header->magic == pMediaImport::kHeaderMagic ? header : nullptr;
    c.position = 0.0;
    c.started.fetch_add(1, std::memory_order_relaxed);
    lastStartNanos_.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count(),
                          std::memory_order_relaxed);
}

// Runs one command on the mixer's side. False when a notification found no room; the command
// then stays where it is and is tried again on the next mix.
static bool execute(pAudioChannel& c, const Message& m) {
    const SndCommand& cmd = m.command;
    const auto* header = reinterpret_cast<const pSoundHeader*>(cmd.param2);
    switch (cmd.cmd) {
    case quietCmd:
        c.playing = nullptr;
        c.waitFrames = 0;
        break;
    case flushCmd:
        c.queueCount = 0;
        break;
    case waitCmd:
        c.waitFrames = halfMillisecondsToFrames(cmd.param1);
        break;
    case pauseCmd:
        c.paused = true;
        break;
    case resumeCmd:
        c.paused = false;
        break;
    case callBackCmd:
        return notifications_.push(Notification{&c, c.serial, m.epoch, cmd});
    case volumeCmd:
        c.gainLeft = float(cmd.param2 & 0xFFFF) / 256.0f;
        c.gainRight = float((cmd.param2 >> 16) & 0xFFFF) / 256.0f;
        break;
    case soundCmd:
        c.installed = header;
        break;
    case bufferCmd:
        startSound(c, header);
        break;
    case rateCmd:
        c.rate = cmd.param2;
        break;
    default:
        break;
    }
    return true;
}

static void drainInbox(pAudioChannel& c) {
    Message m;
    while (c.inbox.peek(m)) {
        if (m.immediate) {
            if (!execute(c, m))
                return;
        } else {
            if (c.queueCount == kQueueLength)
                return;
            c.queue[(c.queueHead + c.queueCount) % kQueueLength] = m;
            c.queueCount++;
        }
        c.inbox.pop();
    }
}

// Adds the playing sound into out; returns the frames it covered.
static int mixSound(pAudioChannel& c, float* out, int frames) {
    const pSoundHeader* h = c.playing;
    if (c.rate <= 0)
        return frames; // a stopped rate holds the sound where it is
    const double step = double(c.rate) / 65536.0 * double(h->sampleRate) / double(rate_);
    const float* s = h->samples();
    const double end = double(h->frameCount);
    double pos = c.position;
    int k = 0;
    for (; k < frames && pos < end; ++k) {
        uint32_t j = uint32_t(pos);
        uint32_t j1 = j + 1 < h->frameCount ? j + 1 : j;
        float f = float(pos - double(j));
        float left = s[2 * j] + (s[2 * j1] - s[2 * j]) * f;
        float right = s[2 * j + 1] + (s[2 * j1 + 1] - s[2 * j + 1]) * f;
        out[2 * k] += left * c.gainLeft;
        out[2 * k + 1] += right * c.gainRight;
        pos += step;
    }
    c.position = pos;
    if (pos >= end)
        c.playing = nullptr;
    return k;
}

static void mixChannel(pAudioChannel& c, float* out, int frames) {
    drainInbox(c);
    int done = 0;
    while (done < frames && !c.paused) {
        if (c.waitFrames > 0) {
            uint32_t n = std::min<uint32_t>(c.waitFrames, uint32_t(frames - done));
            c.waitFrames -= n;
            done += int(n);
        } else if (c.playing) {
            done += mixSound(c, out + 2 * done, frames - done);
        } else if (c.queueCount > 0) {
            if (!execute(c, c.queue[c.queueHead]))
                return;
            c.queueHead = (c.queueHead + 1) % kQueueLength;
            c.queueCount--;
        } else {
            return;
        }
    }
}

void render(float* out, int frames) {
    std::fill(out, out + 2 * frames, 0.0f);
    for (pAudioChannel* c : mixList_)
        mixChannel(*c, out, frames);
    long packed = outputVolume_.load(std::memory_order_relaxed);
    const float masterLeft = float(packed & 0xFFFF) / 256.0f;
    const float masterRight = float((packed >> 16) & 0xFFFF) / 256.0f;
    const int beepStart = beepFrames_.load(std::memory_order_relaxed);
    int beep = beepStart;
    for (int i = 0; i < frames; ++i) {
        float left = out[2 * i] * masterLeft;
        float right = out[2 * i + 1] * masterRight;
        if (beep > 0) {
            float tone = 0.2f * std::sin(float(beep) * 2.0f * 3.14159265f * 660.0f / float(rate_));
            left += tone;
            right += tone;
            beep--;
        }
        out[2 * i] = std::clamp(left, -1.0f, 1.0f);
        out[2 * i + 1] = std::clamp(right, -1.0f, 1.0f);
    }
    if (beepStart > beep)
        beepFrames_.fetch_sub(beepStart - beep, std::memory_order_relaxed);
}

static void audioCallback(void*, Uint8* stream, int length) {
    render(reinterpret_cast<float*>(stream), length / int(2 * sizeof(float)));
}

// The audio thread reads the mix list until the device closes. A process that ends without
// stopping the sound (a test, an exit from deep inside) closes it here first: registered after
// the list was built, this runs before the list is destroyed.
static void closeDeviceAtExit() {
    if (device_ != 0)
        SDL_CloseAudioDevice(device_);
    device_ = 0;
}

static int openDevice() {
    if (manual_)
        return 0;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::printf("Sound is off: %s\n", SDL_GetError());
        return kNoAudioDevice;
    }
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = kDefaultRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = audioCallback;
    // SDL converts to whatever the hardware takes (16-bit included); we always mix in float.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device_ == 0) {
        std::printf("Sound is off: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return kNoAudioDevice;
    }
    rate_ = have.freq;
    static bool exitHookInstalled = false;
    if (!exitHookInstalled)
        exitHookInstalled = std::atexit(closeDeviceAtExit) == 0;
    SDL_PauseAudioDevice(device_, 0);
    return 0;
}

static void closeDevice() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device_ = 0;
    }
    if (!manual_)
        rate_ = kDefaultRate;
}

// Changes the mix list with the audio thread held off (only when channels open and close).
template <typename F> static void withMixLocked(F change) {
    if (device_ != 0)
        SDL_LockAudioDevice(device_);
    change();
    if (device_ != 0)
        SDL_UnlockAudioDevice(device_);
}

int newChannel(SndCallBackProcPtr callBack, pAudioChannel** channel) {
    *channel = nullptr;
    if (live_.size() >= size_t(kMaxChannels))
        return kTooManyChannels;
    if (live_.empty()) {
        if (int error = openDevice())
            return error;
    }
    auto* c = new pAudioChannel;
    c->callBack = callBack;
    c->serial = ++nextSerial_;
    live_.push_back(c);
    withMixLocked([c] { mixList_.push_back(c); });
    *channel = c;
    return 0;
}

int disposeChannel(pAudioChannel* channel) {
    if (!isLive(channel))
        return kBadChannel;
    live_.erase(std::find(live_.begin(), live_.end(), channel));
    withMixLocked(
        [channel] { mixList_.erase(std::find(mixList_.begin(), mixList_.end(), channel)); });
    delete channel;
    if (live_.empty())
        closeDevice();
    return 0;
}

static int send(pAudioChannel* channel, const SndCommand& command, bool immediate) {
    if (!isLive(channel))
        return kBadChannel;
    if (immediate && command.cmd == flushCmd)
        channel->epoch++;
    if (command.cmd == volumeCmd)
        channel->sentVolume = command.param2;
    if (command.cmd == rateCmd)
        channel->sentRate = command.param2;
    Message m{command, channel->epoch, immediate};
    // A full queue drains as the sounds ahead play; give up only if the mix has stalled.
    for (int tries = 0; !channel->inbox.push(m); ++tries) {
        if (manual_ || device_ == 0 || tries >= 500)
            return kQueueFull;
        SDL_Delay(1);
    }
    return 0;
}

int doImmediate(pAudioChannel* channel, const SndCommand& command) {
    return send(channel, command, true);
}

int doCommand(pAudioChannel* channel, const SndCommand& command) {
    return send(channel, command, false);
}

int play(pAudioChannel* channel, const void* soundHeader) {
    SndCommand command{bufferCmd, 0, reinterpret_cast<long>(soundHeader)};
    return send(channel, command, false);
}

void deliverNotifications() {
    if (delivering_)
        return;
    delivering_ = true;
    Notification n;
    while (notifications_.peek(n)) {
        notifications_.pop();
        // A closed channel, or a flush since the command was queued, makes it stale.
        if (isLive(n.channel) && n.channel->serial == n.serial && n.channel->epoch == n.epoch &&
            n.channel->callBack)
            n.channel->callBack(n.channel, &n.command);
    }
    delivering_ = false;
}

int outputRate() {
    return rate_;
}

long getDefaultOutputVolume() {
    return outputVolume_.load();
}
void setDefaultOutputVolume(long packed) {
    outputVolume_.store(packed);
}
void sysBeep() {
    beepFrames_.store(rate_ / 10);
}

long sentVolume(pAudioChannel* channel) {
    return isLive(channel) ? channel->sentVolume : 0;
}
long sentRate(pAudioChannel* channel) {
    return isLive(channel) ? channel->sentRate : 0;
}
uint32_t buffersStarted(pAudioChannel* channel) {
    return isLive(channel) ? channel->started.load() : 0;
}
int64_t lastBufferStartNanos() {
    return lastStartNanos_.load();
}

void setManualOutput(bool manual, int rate) {
    manual_ = manual;
    rate_ = manual && rate > 0 ? rate : kDefaultRate;
}

} // namespace pAudioDevice
