#pragma once

#include "Image/pImageLoader.h"

// The 18-byte header of a Truevision TGA file, little-endian, in file order.
struct pTGAFileHeader {
    unsigned char idLength = 0;
    unsigned char colorMapType = 0;
    unsigned char imageType = 0;
    short colorMapFirstEntry = 0;
    short colorMapLength = 0;
    unsigned char colorMapEntrySize = 0;
    short xOrigin = 0;
    short yOrigin = 0;
    short width = 0;
    short height = 0;
    unsigned char pixelDepth = 0;
    unsigned char imageDescriptor = 0;
};

// Reads uncompressed and run-length TGA files, true-colour (16, 24, 32 bits) and greyscale
// (8 bits). The picture arrives with row 0 at the bottom whatever origin the file declares.
class pTGALoader : public pImageLoader {
public:
    static pTGALoader* instance();

    bool load(std::string const& path, pImage* image) override;
    void readTGAHeader(pTGAFileHeader* header);
    void readTGAPixel(short depth, pPixel& pixel);

private:
    pTGALoader() = default;
    bool readPixels(pTGAFileHeader const& header, uint64_t bytesLeft, pImage& picture);
    bool readRunLengthPixels(pPixel* pixels, uint64_t count, short depth);
};
