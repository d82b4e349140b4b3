#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Decodes a whole sound file (MP3, through mpg123) into one block of memory that the audio
// device plays directly: a pSoundHeader followed by interleaved stereo float samples.
namespace pMediaImport {

constexpr uint32_t kHeaderMagic = 0x534e4450; // "PDNS"

struct pSoundHeader {
    uint32_t magic;
    uint32_t sampleRate;
    uint32_t frameCount; // stereo frames after the header
    uint32_t reserved;
    const float* samples() const { return reinterpret_cast<const float*>(this + 1); }
};

// Error codes; 0 is success.
constexpr int kReadError = -36;   // the file could not be opened or read
constexpr int kNoMemory = -108;   // the file or its decoded sound is too large
constexpr int kBadFormat = -2048; // not a sound we can decode, or cut short

// Starts and stops the decoder library; decoding starts it on demand as well.
int start();
void stop();

// Decodes the file into a new block resampled to `outputRate`. A file with no audio in it
// (empty, or tags only) succeeds with *data null. The block is freed with disposeSoundData.
int importSoundFile(const std::string& path, int outputRate, char** data, double* duration);
int importSoundMemory(const void* bytes, size_t size, int outputRate, char** data,
                      double* duration);

// Offset of the header inside a block; kBadFormat when the block holds none.
int getSoundHeaderOffset(const char* data, long* offset);
// A block holding the given interleaved stereo frames.
char* makeSoundData(const float* frames, uint32_t frameCount, uint32_t sampleRate);
void disposeSoundData(char* data);

} // namespace pMediaImport
