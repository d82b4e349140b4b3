#include "Sound/slSound.h"

#include "Platform/pMediaImport.h"
#include "Platform/pResourceFolder.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

slSoundRec* gSoundData = nullptr;
short gNumSounds = 0;
short gMaximumNumSounds = 0;
bool gMovieToolboxInitialized = false;

static constexpr short kInitialCapacity = 20;
static constexpr short memFullErr = -108;

short slSetInitialMaximumNumberSounds(short count) {
    if (gSoundData)
        return paramErr;
    if (count <= 0)
        return paramErr;
    gSoundData = static_cast<slSoundRec*>(std::calloc(size_t(count), sizeof(slSoundRec)));
    if (!gSoundData)
        return memFullErr;
    gMaximumNumSounds = count;
    return 0;
}

short _increaseMaximumNumberSounds(short increment) {
    int capacity = gNumSounds + increment;
    if (increment <= 0 || capacity > SHRT_MAX)
        return memFullErr; // indexes are shorts: the table cannot grow past them
    auto* table = static_cast<slSoundRec*>(std::calloc(size_t(capacity), sizeof(slSoundRec)));
    if (!table)
        return memFullErr;
    if (gSoundData && gNumSounds > 0)
        std::memcpy(table, gSoundData, size_t(gNumSounds) * sizeof(slSoundRec));
    std::free(gSoundData);
    gSoundData = table;
    gMaximumNumSounds = short(capacity);
    return 0;
}

short _getBundleResourceFSSpec(const char* name, const char* folder, std::string* path) {
    namespace fs = std::filesystem;
    path->clear();
    if (!name || !*name)
        return -1;
    if (!folder || !*folder) {
        *path = findResource(name);
        return path->empty() ? -1 : 0;
    }
    // A sub-folder of the resources, never a way out of them.
    fs::path relative = fs::path(folder) / name;
    if (relative.is_absolute())
        return -1;
    for (const fs::path& part : relative)
        if (part == "..")
            return -1;
    fs::path full = fs::path(resourceFolder()) / relative;
    std::error_code error;
    if (!fs::is_regular_file(full, error))
        return -1;
    *path = full.string();
    return 0;
}

short _readSoundFile(const std::string& path, char** data, double* duration) {
    return short(pMediaImport::importSoundFile(path, pAudioDevice::outputRate(), data, duration));
}

short slLoadSoundFromBundle(const char* folder, const char* name, short* index) {
    short error = 0;
    if (gMaximumNumSounds == 0)
        error = slSetInitialMaximumNumberSounds(kInitialCapacity);
    else if (gMaximumNumSounds < gNumSounds + 1)
        error = _increaseMaximumNumberSounds(kCapacityIncrement);
    if (!error && !gMovieToolboxInitialized) {
        gMovieToolboxInitialized = true;
        error = short(pMediaImport::start());
    }
    short taken = -1;
    if (!error) {
        // The record is taken now, so a failed load still uses up its index.
        taken = gNumSounds++;
        std::string path;
        error = _getBundleResourceFSSpec(name, folder, &path);
        if (!error)
            error = _readSoundFile(path, &gSoundData[taken].data, &gSoundData[taken].duration);
    }
    if (!error && gSoundData[taken].data)
        error = short(pMediaImport::getSoundHeaderOffset(gSoundData[taken].data,
                                                         &gSoundData[taken].headerOffset));
    if (index)
        *index = error ? -1 : taken;
    return error;
}

float slGetSoundDuration(short sound) {
    if (sound < 0 || sound >= gNumSounds || !gSoundData || !gSoundData[sound].data)
        return 0.0f;
    return float(gSoundData[sound].duration);
}

void slDisposeSounds() {
    // The mixer may be reading a sound this very moment, and a looping channel would queue it
    // again from its next notification: the channels are stopped and closed before the sounds
    // go, as at exit.
    if (gChanArray) {
        slStopAllChannels();
        slDisposeSoundChannels();
    }
    for (short i = 0; i < gNumSounds && gSoundData; ++i) {
        pMediaImport::disposeSoundData(gSoundData[i].data);
        gSoundData[i].data = nullptr;
    }
    gNumSounds = 0;
    std::free(gSoundData);
    gSoundData = nullptr;
    // Forgetting the capacity too lets a later load start a fresh table instead of writing
    // through the freed one.
    gMaximumNumSounds = 0;
}
