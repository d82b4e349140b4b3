#pragma once

#include "File/pBinaryFile.h"
#include "Image/pImage.h"

#include <cstdint>
#include <new>
#include <string>

enum PPIXEL_ENCODING_16 {
    PPIXEL_ENCODING_XRGB1555 = 16,
    PPIXEL_ENCODING_ARGB1555 = 17,
    PPIXEL_ENCODING_XRGB4444 = 18,
    PPIXEL_ENCODING_ARGB4444 = 19,
    PPIXEL_ENCODING_RGB565 = 20,
};

enum PPIXEL_ENCODING_24 {
    PPIXEL_ENCODING_RGB888 = 24,
};

enum PPIXEL_ENCODING_32 {
    PPIXEL_ENCODING_ARGB8888 = 32,
    PPIXEL_ENCODING_XRGB8888 = 33,
};

// Base of the image file readers: the stream (open only inside load) and the routines that read
// one pixel in a given encoding from it.
class pImageLoader {
public:
    virtual ~pImageLoader();
    // true when the file was read into image; false (image untouched) when it cannot be opened
    // or is refused.
    virtual bool load(std::string const& path, pImage* image) = 0;

    void readByte(unsigned char& value);
    // One byte: its high four bits, then its low four bits.
    void readHalfByte(unsigned char& high, unsigned char& low);
    void readGrayscalePixel(pPixel& pixel);
    void read16BitPixel(PPIXEL_ENCODING_16 encoding, bool flip, pPixel& pixel);
    void read24BitPixel(PPIXEL_ENCODING_24 encoding, bool flip, pPixel& pixel);
    void read32BitPixel(PPIXEL_ENCODING_32 encoding, bool flip, pPixel& pixel);
    // Swaps red and blue: blue-green-red files become red-green-blue pixels.
    void flipColorEncoding(pPixel& pixel);

    // Neither side of a picture may be longer than this. The game's own pictures are far
    // smaller; the bound keeps a hostile header from making us allocate gigabytes (a picture is
    // at most 64 MB) and is a texture size every GL driver takes.
    static constexpr int64_t MAX_DIMENSION = 4096;

protected:
    // Size of a regular file, so that headers can be checked against the bytes really there
    // before anything is allocated. false for a missing file, a folder or a device.
    static bool regularFileSize(std::string const& path, uint64_t& size);
    // Opens a regular file for reading (little-endian) and gives its size.
    bool openForReading(std::string const& path, uint64_t& size);
    // Closes the file and, when the whole picture was read, hands it to the caller's image.
    bool finishLoad(bool ok, pImage& picture, pImage* image);
    // Runs a reader's work; a picture the memory cannot hold is refused like a damaged one.
    template <typename Read> static bool withinMemory(Read read) {
        try {
            return read();
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    // Reads and drops count bytes; false if the file ends first.
    bool skipBytes(uint64_t count);

    pBinaryFile file;
};
