#pragma once

#include "Image/pImageLoader.h"

// The 14-byte file header of a Windows BMP file, little-endian, in file order.
struct pBMPFileHeader {
    unsigned short type = 0;
    unsigned int size = 0;
    unsigned short reserved1 = 0;
    unsigned short reserved2 = 0;
    unsigned int offBits = 0;
};

// The 40-byte info header that follows it. The height is signed: negative means the rows are
// stored top down.
struct pBMPInfoHeader {
    unsigned int size = 0;
    unsigned int width = 0;
    int height = 0;
    unsigned short planes = 0;
    unsigned short bitCount = 0;
    unsigned int compression = 0;
    unsigned int sizeImage = 0;
    unsigned int xPelsPerMeter = 0;
    unsigned int yPelsPerMeter = 0;
    unsigned int clrUsed = 0;
    unsigned int clrImportant = 0;
};

// Reads uncompressed BMP files of 4, 8 (paletted), 16, 24 and 32 bits per pixel. The picture
// arrives with row 0 at the bottom, also from top-down files.
class pBMPLoader : public pImageLoader {
public:
    static pBMPLoader* instance();

    bool load(std::string const& path, pImage* image) override;
    void readBMPHeader(pBMPFileHeader* fileHeader, pBMPInfoHeader* infoHeader);

private:
    pBMPLoader() = default;
    bool readPicture(pBMPFileHeader const& fileHeader, pBMPInfoHeader const& infoHeader,
                     uint64_t size, pImage& picture);
    void readRow(unsigned int bitCount, pPixel* row, unsigned int width);

    // The palette of the last paletted file (16 or 256 entries in one row).
    pImage palette_;
};
