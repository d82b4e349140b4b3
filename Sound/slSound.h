#pragma once

#include "Platform/pAudioDevice.h"

#include <string>

// The game's sound library: a table of sounds loaded from the resources and a pool of output
// channels to play them on. Results are short error codes: 0 for success, -1 for a bad sound or
// a missing file, -50 for a bad parameter, otherwise the audio back end's code.

enum ChannelType {
    kAnyChannel = 0,       // no preference for channels already playing the same sound
    kReplaceSameSound = 1, // when no channel is free, take one that plays the same sound
    kExactChannel = 2,     // use exactly the channel asked for, or none
    kPreferSameSound = 3,  // take a channel that plays the same sound before any free one
};

struct slChannelRec {
    pAudioChannel* chan;
    long rate;               // 16.16 fixed point
    long previousRate;       // 16.16, before the last slSetChannelRate
    short soundID;           // -1 when nothing plays
    short nextSoundID;       // -1 when nothing follows
    short volume;            // 256 is full
    short stereoPosition;    // -256 left ... 0 centre ... 256 right
    unsigned char done;      // 1 while nothing plays
    unsigned char available; // 0 when reserved from the channel choice
    short loopCount;         // plays left; negative repeats without end
};

struct slSoundRec {
    char* data; // the decoded sound (pMediaImport block); null when the file held no audio
    double duration;
    long headerOffset;
};

constexpr short paramErr = -50;

extern slChannelRec* gChanArray;
extern short gNumChannels;
extern unsigned char gStereoMode;
extern long gOldSystemSoundVolume;
extern SndCallBackProcPtr gslSoundCallBackUPP;

extern slSoundRec* gSoundData;
extern short gNumSounds;
extern short gMaximumNumSounds;
extern bool gMovieToolboxInitialized;
constexpr int kCapacityIncrement = 10;

// Start and end.
short slInit(short numChannels);
void slExit();
void slDisposeSoundChannels();

// Playing.
short slPlaySoundDetailed(short sound, short* channel, ChannelType type, short volume,
                          short position, double rate, short loopCount);
short slPlaySound(short sound, short channel, ChannelType type);
short slPlaySoundAfterDelay(short sound, short* channel, ChannelType type, short volume,
                            short position, double rate, short loopCount, short delay);
short slPlaySoundStretchedOverDuration(short sound, short* channel, ChannelType type, short volume,
                                       short position, short loopCount, float duration);
short slPlayConsecutiveSounds(short first, short second, short channel, ChannelType type,
                              short loopCount);
short slPlaySoundWhenCurrentSoundFinished(short sound, short channel, unsigned char addAPlay);
short slStartSound(short sound, short channel, double rate, short loopCount, short delay);
short slFindChannel(short sound, short channel, ChannelType type);
void slSoundCallBack(pAudioChannel* channel, SndCommand* command);

// Channel control.
void slStopChannel(short channel);
void slStopAllChannels();
void slStopSoundByID(short sound);
void slStopLoopingChannel(short channel);
void slStopLoopingSoundByID(short sound);
short slCountSounds(short sound);
short slFindSound(short sound);
bool slIsChannelAvailable(short channel);
bool slIsChannelPlaying(short channel);
bool slAreAnySoundsPlaying();
void slSetChannelAvailability(short channel, unsigned char available);
void slSetChannelRate(short channel, double rate);
double slGetChannelRate(short channel);
void slRestoreChannelRate(short channel);
short slGetSoundRate(short sound);
short slPauseChannel(short channel);
void slResumeChannel(short channel);
short slPauseChannelForDuration(short channel, double seconds);
void slPauseAllChannels();
void slResumeAllChannels();
void slSetChannelVolume(short channel, short volume);
void slSetChannelStereoPosition(short channel, short position);
void slSetVolumeAndStereoPosition(short channel, short volume, short position);
short slGetChannelVolume(short channel);
short slGetChannelStereoPosition(short channel);
void slSetStereoMode(unsigned char mode);

// The machine's output volume, 256 full on each side.
void slSetSystemVolume(long volume);
short slGetSystemVolume(long* volume);
void slSaveSystemVolume();
void slRestoreSystemVolume();

// Loading.
short slLoadSoundFromBundle(const char* folder, const char* name, short* index);
short slSetInitialMaximumNumberSounds(short count);
short _increaseMaximumNumberSounds(short increment);
short _getBundleResourceFSSpec(const char* name, const char* folder, std::string* path);
short _readSoundFile(const std::string& path, char** data, double* duration);
float slGetSoundDuration(short sound);
void slDisposeSounds();
