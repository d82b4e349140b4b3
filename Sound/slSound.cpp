#include "Sound/slSound.h"

#include "Platform/pMediaImport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

slChannelRec* gChanArray = nullptr;
short gNumChannels = 0;
unsigned char gStereoMode = 1;
long gOldSystemSoundVolume = -1;
SndCallBackProcPtr gslSoundCallBackUPP = nullptr;

static constexpr long kUnitRate = 65536;
static constexpr short memFullErr = -108;

static bool inRange(short channel) {
    return channel >= 0 && channel < gNumChannels;
}

static bool isPlayable(short sound) {
    return sound >= 0 && sound < gNumSounds && gSoundData && gSoundData[sound].data;
}

static long soundHeader(short sound) {
    return reinterpret_cast<long>(gSoundData[sound].data + gSoundData[sound].headerOffset);
}

// 16.16 fixed point, truncated; out-of-range rates saturate instead of overflowing.
static long toFixed(double rate) {
    double fixed = rate * double(kUnitRate);
    if (std::isnan(fixed))
        return 0;
    return long(std::clamp(fixed, -2147483648.0, 2147483647.0));
}

static void sendImmediate(short channel, unsigned short cmd, short param1, long param2) {
    pAudioDevice::doImmediate(gChanArray[channel].chan, SndCommand{cmd, param1, param2});
}

static void sendQueued(short channel, unsigned short cmd, short param1, long param2) {
    pAudioDevice::doCommand(gChanArray[channel].chan, SndCommand{cmd, param1, param2});
}

// Completions reached by the mixer are applied before any answer about the channels.
static void catchUp() {
    pAudioDevice::deliverNotifications();
}

short slInit(short numChannels) {
    if (gChanArray)
        slDisposeSoundChannels();
    gslSoundCallBackUPP = slSoundCallBack;
    gNumChannels = numChannels;
    if (numChannels <= 0)
        return -1;
    gChanArray = static_cast<slChannelRec*>(std::calloc(size_t(numChannels), sizeof(slChannelRec)));
    short error = gChanArray ? 0 : memFullErr;
    short opened = 0;
    for (; !error && opened < numChannels; ++opened) {
        slChannelRec& rec = gChanArray[opened];
        error = short(pAudioDevice::newChannel(gslSoundCallBackUPP, &rec.chan));
        if (error)
            break;
        rec.rate = kUnitRate;
        rec.previousRate = kUnitRate;
        rec.soundID = -1;
        rec.nextSoundID = -1;
        rec.volume = 256;
        rec.stereoPosition = 0;
        rec.done = 1;
        rec.available = 1;
        rec.loopCount = 0;
        sendImmediate(opened, volumeCmd, 0, (256L << 16) | 256);
    }
    if (error) {
        while (opened-- > 0)
            pAudioDevice::disposeChannel(gChanArray[opened].chan);
        std::free(gChanArray);
        gChanArray = nullptr;
        gslSoundCallBackUPP = nullptr;
        gNumChannels = 0;
    }
    return error;
}

void slExit() {
    slStopAllChannels();
    // Channels go first: the mixer may still be reading a sound's samples until it is closed.
    slDisposeSoundChannels();
    slDisposeSounds();
    if (gMovieToolboxInitialized) {
        pMediaImport::stop();
        gMovieToolboxInitialized = false;
    }
}

void slDisposeSoundChannels() {
    for (short c = 0; c < gNumChannels && gChanArray; ++c)
        pAudioDevice::disposeChannel(gChanArray[c].chan);
    std::free(gChanArray);
    gChanArray = nullptr;
    gslSoundCallBackUPP = nullptr;
    gNumChannels = 0;
}

short slPlaySoundDetailed(short sound, short* channel, ChannelType type, short volume,
                          short position, double rate, short loopCount) {
    catchUp();
    if (!isPlayable(sound))
        return -1;
    short chosen = slFindChannel(sound, channel ? *channel : 0, type);
    if (!inRange(chosen))
        return paramErr; // no channel to play on: nothing is touched
    slSetChannelVolume(chosen, volume);
    slSetChannelStereoPosition(chosen, position);
    short error = slStartSound(sound, chosen, rate, loopCount, 0);
    slSetChannelRate(chosen, rate);
    if (channel)
        *channel = chosen;
    return error;
}

short slPlaySound(short sound, short channel, ChannelType type) {
    return slPlaySoundDetailed(sound, &channel, type, 256, 0, 1.0, 0);
}

short slPlaySoundAfterDelay(short sound, short* channel, ChannelType type, short volume,
                            short position, double rate, short loopCount, short delay) {
    catchUp();
    if (!isPlayable(sound))
        return -1;
    if (!channel)
        return paramErr;
    short chosen = slFindChannel(sound, *channel, type);
    if (!inRange(chosen))
        return paramErr;
    slSetChannelVolume(chosen, volume);
    slSetChannelStereoPosition(chosen, position);
    slSetChannelRate(chosen, rate);
    short error = slStartSound(sound, chosen, rate, loopCount, delay);
    *channel = chosen;
    return error;
}

short slPlaySoundStretchedOverDuration(short sound, short* channel, ChannelType type, short volume,
                                       short position, short loopCount, float duration) {
    if (!isPlayable(sound))
        return -1;
    if (!channel)
        return paramErr;
    double length = gSoundData[sound].duration;
    double rate = length > 0 && duration > 0 ? length / double(duration) : 1.0;
    return slPlaySoundDetailed(sound, channel, type, volume, position, rate, loopCount);
}

short slPlayConsecutiveSounds(short first, short second, short channel, ChannelType type,
                              short loopCount) {
    if (loopCount == 0 || loopCount == 1)
        loopCount = 2;
    short chosen = channel;
    short error = slPlaySoundDetailed(first, &chosen, type, 256, 0, 1.0, loopCount);
    if (error == 0)
        slPlaySoundWhenCurrentSoundFinished(second, chosen, 0);
    return error;
}

short slPlaySoundWhenCurrentSoundFinished(short sound, short channel, unsigned char addAPlay) {
    catchUp();
    if (!isPlayable(sound) || !inRange(channel))
        return -1;
    short result = 0;
    slChannelRec& rec = gChanArray[channel];
    if (rec.done && rec.available) {
        short chosen = channel;
        result = slPlaySoundDetailed(sound, &chosen, kExactChannel, 256, 0, 1.0, 0);
    }
    rec.nextSoundID = sound;
    if (addAPlay && rec.loopCount != -1)
        rec.loopCount++;
    return result;
}

short slStartSound(short sound, short channel, double rate, short loopCount, short delay) {
    if (!isPlayable(sound))
        return -1;
    if (!inRange(channel))
        return paramErr;
    slStopChannel(channel);
    slChannelRec& rec = gChanArray[channel];
    if (delay > 0) {
        sendQueued(channel, soundCmd, 1, soundHeader(sound));
        sendQueued(channel, waitCmd, delay, 0);
    }
    rec.done = 0;
    rec.loopCount = loopCount;
    rec.soundID = sound;
    rec.nextSoundID = -1;
    short error = short(pAudioDevice::play(rec.chan, reinterpret_cast<void*>(soundHeader(sound))));
    if (error) {
        // Nothing will ever report this sound finished, so the channel must not wait for it.
        rec.done = 1;
        rec.soundID = -1;
        rec.loopCount = 0;
        return error;
    }
    slSetChannelRate(channel, rate);
    sendQueued(channel, callBackCmd, 1, channel);
    return 0;
}

short slFindChannel(short sound, short channel, ChannelType type) {
    catchUp();
    if (channel < -1 || channel >= gNumChannels)
        channel = -1;
    if (type == kExactChannel)
        return channel;
    auto first = [](auto test) -> short {
        for (short c = 0; c < gNumChannels; ++c)
            if (test(gChanArray[c]))
                return c;
        return -1;
    };
    auto playsSound = [sound](const slChannelRec& r) { return r.soundID == sound; };
    auto isFree = [](const slChannelRec& r) { return r.done && r.available; };
    short found = -1;
    if (type == kPreferSameSound && (found = first(playsSound)) != -1)
        return found;
    if (channel != -1 && isFree(gChanArray[channel]))
        return channel;
    if ((found = first(isFree)) != -1)
        return found;
    if (type == kReplaceSameSound && (found = first(playsSound)) != -1)
        return found;
    auto dueToRepeat = [](const slChannelRec& r) {
        return r.available && r.loopCount != 0 && r.loopCount != 1;
    };
    if ((found = first(dueToRepeat)) != -1)
        return found;
    if ((found = first([](const slChannelRec& r) { return r.available != 0; })) != -1)
        return found;
    return channel;
}

void slSoundCallBack(pAudioChannel*, SndCommand* command) {
    if (!command || command->param1 != 1 || command->param2 < 0 || command->param2 >= gNumChannels)
        return;
    short channel = short(command->param2);
    slChannelRec& rec = gChanArray[channel];
    if (rec.loopCount > 0)
        rec.loopCount--;
    if (rec.nextSoundID == -1 || rec.loopCount == 0) {
        if (rec.loopCount == 0) {
            rec.done = 1;
            rec.soundID = -1;
        } else {
            sendQueued(channel, bufferCmd, 1, soundHeader(rec.soundID));
            sendQueued(channel, callBackCmd, 1, channel);
        }
        return;
    }
    short previous = rec.soundID;
    short chosen = channel;
    short error =
        slPlaySoundDetailed(rec.nextSoundID, &chosen, kExactChannel, 256, 0, 1.0, rec.loopCount);
    if (error == 0 && rec.loopCount != 0)
        slPlaySoundWhenCurrentSoundFinished(previous, channel, 0);
    else
        rec.nextSoundID = -1;
}

void slStopChannel(short channel) {
    catchUp();
    if (!inRange(channel) || gChanArray[channel].done)
        return;
    sendImmediate(channel, flushCmd, 0, 0);
    sendImmediate(channel, quietCmd, 0, 0);
    gChanArray[channel].done = 1;
    gChanArray[channel].loopCount = 0;
    gChanArray[channel].soundID = -1;
}

void slStopAllChannels() {
    for (short c = 0; c < gNumChannels; ++c)
        slStopChannel(c);
}

// Runs `action` on every channel playing a sound of the table.
static void forChannelsPlaying(short sound, void (*action)(short)) {
    if (sound < 0 || sound >= gNumSounds)
        return;
    catchUp();
    for (short c = 0; c < gNumChannels; ++c)
        if (gChanArray[c].soundID == sound)
            action(c);
}

void slStopSoundByID(short sound) {
    forChannelsPlaying(sound, slStopChannel);
}

void slStopLoopingChannel(short channel) {
    catchUp();
    if (!inRange(channel) || gChanArray[channel].done)
        return;
    gChanArray[channel].loopCount = 0;
    gChanArray[channel].nextSoundID = -1;
}

void slStopLoopingSoundByID(short sound) {
    forChannelsPlaying(sound, slStopLoopingChannel);
}

short slCountSounds(short sound) {
    catchUp();
    short count = 0;
    for (short c = 0; c < gNumChannels; ++c)
        count += gChanArray[c].soundID == sound;
    return count;
}

short slFindSound(short sound) {
    catchUp();
    for (short c = 0; c < gNumChannels; ++c)
        if (gChanArray[c].soundID == sound)
            return c;
    return -1;
}

bool slIsChannelAvailable(short channel) {
    return inRange(channel) && gChanArray[channel].available;
}

bool slIsChannelPlaying(short channel) {
    catchUp();
    return inRange(channel) && !gChanArray[channel].done;
}

bool slAreAnySoundsPlaying() {
    catchUp();
    for (short c = 0; c < gNumChannels; ++c)
        if (!gChanArray[c].done && gChanArray[c].rate > 0)
            return true;
    return false;
}

void slSetChannelAvailability(short channel, unsigned char available) {
    if (inRange(channel))
        gChanArray[channel].available = available;
}

void slSetChannelRate(short channel, double rate) {
    if (!inRange(channel))
        return;
    long fixed = toFixed(rate);
    sendImmediate(channel, rateCmd, 0, fixed);
    gChanArray[channel].previousRate = gChanArray[channel].rate;
    gChanArray[channel].rate = fixed;
}

double slGetChannelRate(short channel) {
    return inRange(channel) ? double(gChanArray[channel].rate) / double(kUnitRate) : -1.0;
}

void slRestoreChannelRate(short channel) {
    if (!inRange(channel))
        return;
    sendImmediate(channel, rateCmd, 0, gChanArray[channel].previousRate);
    gChanArray[channel].rate = gChanArray[channel].previousRate;
}

short slGetSoundRate(short sound) {
    catchUp();
    for (short c = 0; c < gNumChannels; ++c)
        if (gChanArray[c].soundID == sound)
            return short(gChanArray[c].rate / kUnitRate);
    return -1;
}

short slPauseChannel(short channel) {
    if (!inRange(channel))
        return paramErr;
    sendImmediate(channel, pauseCmd, 0, 0);
    return 0;
}

void slResumeChannel(short channel) {
    if (inRange(channel))
        sendImmediate(channel, resumeCmd, 0, 0);
}

short slPauseChannelForDuration(short channel, double seconds) {
    if (!inRange(channel))
        return paramErr;
    // The wait takes at most 32767 half-milliseconds; longer pauses are cut to that.
    double halfMs = seconds * 2000.0;
    short param = std::isnan(halfMs) ? 0 : short(std::clamp(halfMs, 0.0, 32767.0));
    sendImmediate(channel, waitCmd, param, 0);
    return 0;
}

void slPauseAllChannels() {
    for (short c = 0; c < gNumChannels; ++c)
        slPauseChannel(c);
}

void slResumeAllChannels() {
    for (short c = 0; c < gNumChannels; ++c)
        slResumeChannel(c);
}

void slSetChannelVolume(short channel, short volume) {
    if (inRange(channel) && gChanArray[channel].volume != volume)
        slSetVolumeAndStereoPosition(channel, volume, gChanArray[channel].stereoPosition);
}

void slSetChannelStereoPosition(short channel, short position) {
    if (inRange(channel) && gChanArray[channel].stereoPosition != position)
        slSetVolumeAndStereoPosition(channel, gChanArray[channel].volume, position);
}

void slSetVolumeAndStereoPosition(short channel, short volume, short position) {
    if (!inRange(channel))
        return;
    volume = std::max<short>(volume, 0);
    position = std::clamp<short>(position, -256, 256);
    gChanArray[channel].volume = volume;
    gChanArray[channel].stereoPosition = position;
    long left = volume;
    long right = volume;
    if (gStereoMode == 1 && position != 0) {
        long d = long(position) * volume / 256;
        left = volume - d;
        right = volume + d;
    }
    sendImmediate(channel, volumeCmd, 0, (right << 16) | (left & 0xFFFF));
}

short slGetChannelVolume(short channel) {
    return inRange(channel) ? gChanArray[channel].volume : 0;
}

short slGetChannelStereoPosition(short channel) {
    return inRange(channel) ? gChanArray[channel].stereoPosition : 0;
}

void slSetStereoMode(unsigned char mode) {
    gStereoMode = mode;
    for (short c = 0; c < gNumChannels; ++c)
        slSetVolumeAndStereoPosition(c, gChanArray[c].volume, gChanArray[c].stereoPosition);
}

void slSetSystemVolume(long volume) {
    volume = std::clamp(volume, 0L, 256L);
    pAudioDevice::setDefaultOutputVolume((volume << 16) | volume);
}

short slGetSystemVolume(long* volume) {
    if (!volume)
        return paramErr;
    long packed = pAudioDevice::getDefaultOutputVolume();
    *volume = ((packed & 0xFFFF) + ((packed >> 16) & 0xFFFF)) / 2;
    return 0;
}

void slSaveSystemVolume() {
    gOldSystemSoundVolume = pAudioDevice::getDefaultOutputVolume();
}

void slRestoreSystemVolume() {
    if (gOldSystemSoundVolume == 0)
        pAudioDevice::sysBeep();
    else if (gOldSystemSoundVolume != -1)
        pAudioDevice::setDefaultOutputVolume(gOldSystemSoundVolume);
}
