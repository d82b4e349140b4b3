#include "Platform/pMediaImport.h"

#include <mpg123.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace pMediaImport {

// A game sound is seconds long; these bounds keep a hostile file from eating the memory. The
// length is counted in seconds, so the block played (at the device's rate) stays below
// kMaxSeconds of it however low the file's own rate is.
static constexpr size_t kMaxFileBytes = 64u << 20;
static constexpr size_t kMaxSeconds = 120;

static bool started_ = false;

int start() {
    if (started_)
        return 0;
    if (mpg123_init() != MPG123_OK)
        return kBadFormat;
    started_ = true;
    return 0;
}

void stop() {
    // mpg123_exit is a no-op in current libraries; only the flag matters.
    started_ = false;
}

// True when the bytes hold nothing but ID3 tags (or nothing at all): a file without audio.
static bool holdsNoAudio(const unsigned char* bytes, size_t size) {
    size_t at = 0;
    while (size - at >= 10 && std::memcmp(bytes + at, "ID3", 3) == 0) {
        const unsigned char* h = bytes + at;
        if ((h[6] | h[7] | h[8] | h[9]) & 0x80)
            return false;
        size_t length = (size_t(h[6]) << 21) | (size_t(h[7]) << 14) | (size_t(h[8]) << 7) | h[9];
        length += 10 + ((h[5] & 0x10) ? 10 : 0);
        if (length > size - at)
            return false;
        at += length;
    }
    size_t rest = size - at;
    return rest == 0 || (rest == 128 && std::memcmp(bytes + at, "TAG", 3) == 0);
}

namespace {
struct Decoder {
    mpg123_handle* handle = nullptr;
    ~Decoder() {
        if (handle)
            mpg123_delete(handle);
    }
};
} // namespace

// Linear resampling of interleaved stereo frames into `out`, which holds outFrames of them.
static void resample(const std::vector<float>& in, long inRate, long outRate, float* out,
                     size_t outFrames) {
    size_t inFrames = in.size() / 2;
    if (inRate == outRate || inFrames == 0) {
        std::copy(in.begin(), in.begin() + long(std::min(inFrames, outFrames) * 2), out);
        return;
    }
    double step = double(inRate) / double(outRate);
    for (size_t i = 0; i < outFrames; ++i) {
        double pos = double(i) * step;
        size_t k = size_t(pos);
        if (k >= inFrames)
            k = inFrames - 1;
        size_t k1 = k + 1 < inFrames ? k + 1 : k;
        float f = float(pos - double(k));
        for (int c = 0; c < 2; ++c)
            out[i * 2 + c] = in[k * 2 + c] * (1.0f - f) + in[k1 * 2 + c] * f;
    }
}

// A block for frameCount stereo frames, header written, samples left to the caller.
static char* makeEmptySoundData(uint32_t frameCount, uint32_t sampleRate) {
    size_t sampleBytes = size_t(frameCount) * 2 * sizeof(float);
    // malloc keeps the block aligned for the header and the floats behind it.
    char* block = static_cast<char*>(std::malloc(sizeof(pSoundHeader) + sampleBytes));
    if (!block)
        return nullptr;
    pSoundHeader header{kHeaderMagic, sampleRate, frameCount, 0};
    std::memcpy(block, &header, sizeof header);
    return block;
}

static int decode(const unsigned char* input, size_t size, int outputRate, char** data,
                  double* duration);

int importSoundMemory(const void* bytes, size_t size, int outputRate, char** data,
                      double* duration) {
    *data = nullptr;
    *duration = 0.0;
    // A sound the memory cannot hold is refused like one too long.
    try {
        return decode(static_cast<const unsigned char*>(bytes), size, outputRate, data, duration);
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
}

static int decode(const unsigned char* input, size_t size, int outputRate, char** data,
                  double* duration) {
    if (outputRate <= 0)
        outputRate = 44100;
    if (size > kMaxFileBytes)
        return kNoMemory;
    if (holdsNoAudio(input, size))
        return 0;
    if (int error = start())
        return error;

    Decoder decoder;
    int error = MPG123_OK;
    decoder.handle = mpg123_new(nullptr, &error);
    mpg123_handle* mh = decoder.handle;
    if (!mh)
        return kNoMemory;
    mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    if (mpg123_open_feed(mh) != MPG123_OK || mpg123_feed(mh, input, size) != MPG123_OK)
        return kBadFormat;

    std::vector<float> frames;
    long rate = 0;
    int channels = 0;
    bool sawFrame = false;
    for (;;) {
        off_t frameNumber = 0;
        unsigned char* audio = nullptr;
        size_t audioBytes = 0;
        int result = mpg123_decode_frame(mh, &frameNumber, &audio, &audioBytes);
        if (result == MPG123_NEW_FORMAT) {
            long newRate = 0;
            int encoding = 0;
            mpg123_getformat(mh, &newRate, &channels, &encoding);
            // One sound has one rate; a stream that changes it is not a file we made.
            if ((rate != 0 && newRate != rate) || encoding != MPG123_ENC_FLOAT_32 || channels < 1 ||
                channels > 2 || newRate <= 0)
                return kBadFormat;
            rate = newRate;
            continue;
        }
        if (result == MPG123_NEED_MORE || result == MPG123_DONE)
            break;
        if (result != MPG123_OK)
            return kBadFormat;
        if (rate <= 0)
            return kBadFormat; // audio before its format
        sawFrame = true;
        size_t count = audioBytes / (sizeof(float) * size_t(channels));
        if (frames.size() / 2 + count > kMaxSeconds * size_t(rate))
            return kNoMemory;
        const float* samples = reinterpret_cast<const float*>(audio);
        for (size_t i = 0; i < count; ++i) {
            float left = samples[i * channels];
            float right = channels == 2 ? samples[i * 2 + 1] : left;
            frames.push_back(left);
            frames.push_back(right);
        }
    }
    if (!sawFrame || rate <= 0)
        return kBadFormat;
    // Bytes mpg123 could not turn into a frame at the end: the file was cut short.
    long leftover = 0;
    double unused = 0;
    if (mpg123_getstate(mh, MPG123_BUFFERFILL, &leftover, &unused) == MPG123_OK && leftover > 128)
        return kBadFormat;

    size_t nativeFrames = frames.size() / 2;
    // An encoder's info frame states the length; fewer samples means a file cut at a frame edge.
    off_t declared = mpg123_length(mh);
    if (declared > 0 && size_t(declared) > nativeFrames)
        return kBadFormat;
    size_t outFrames = rate == outputRate
                           ? nativeFrames
                           : size_t(double(nativeFrames) * double(outputRate) / double(rate) + 0.5);
    // Resampled straight into the block: the decoded sound is held twice at most, not three
    // times.
    char* block = makeEmptySoundData(uint32_t(outFrames), uint32_t(outputRate));
    if (!block)
        return kNoMemory;
    resample(frames, rate, outputRate, reinterpret_cast<float*>(block + sizeof(pSoundHeader)),
             outFrames);
    *data = block;
    *duration = double(nativeFrames) / double(rate);
    return 0;
}

int importSoundFile(const std::string& path, int outputRate, char** data, double* duration) {
    *data = nullptr;
    *duration = 0.0;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return kReadError;
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t got = 0;
    int error = 0;
    try {
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            if (bytes.size() + got > kMaxFileBytes) {
                error = kNoMemory;
                break;
            }
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
    } catch (const std::bad_alloc&) {
        error = kNoMemory;
    }
    if (!error && std::ferror(file))
        error = kReadError;
    std::fclose(file);
    if (error)
        return error;
    return importSoundMemory(bytes.data(), bytes.size(), outputRate, data, duration);
}

int getSoundHeaderOffset(const char* data, long* offset) {
    *offset = 0;
    pSoundHeader header;
    if (!data)
        return kBadFormat;
    std::memcpy(&header, data, sizeof header);
    return header.magic == kHeaderMagic ? 0 : kBadFormat;
}

char* makeSoundData(const float* frames, uint32_t frameCount, uint32_t sampleRate) {
    char* block = makeEmptySoundData(frameCount, sampleRate);
    if (block && frameCount)
        std::memcpy(block + sizeof(pSoundHeader), frames, size_t(frameCount) * 2 * sizeof(float));
    return block;
}

void disposeSoundData(char* data) {
    std::free(data);
}

} // namespace pMediaImport
