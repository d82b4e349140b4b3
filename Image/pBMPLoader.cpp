#include "Image/pBMPLoader.h"

pBMPLoader* pBMPLoader::instance() {
    static pBMPLoader* instance_ = new pBMPLoader();
    return instance_;
}

void pBMPLoader::readBMPHeader(pBMPFileHeader* fileHeader, pBMPInfoHeader* infoHeader) {
    file >> fileHeader->type >> fileHeader->size >> fileHeader->reserved1 >>
        fileHeader->reserved2 >> fileHeader->offBits;
    file >> infoHeader->size >> infoHeader->width >> infoHeader->height >> infoHeader->planes >>
        infoHeader->bitCount >> infoHeader->compression >> infoHeader->sizeImage >>
        infoHeader->xPelsPerMeter >> infoHeader->yPelsPerMeter >> infoHeader->clrUsed >>
        infoHeader->clrImportant;
}

static bool acceptedHeader(pBMPFileHeader const& fileHeader, pBMPInfoHeader const& infoHeader) {
    unsigned int bits = infoHeader.bitCount;
    if (fileHeader.type != 19778 || infoHeader.compression != 0) {
        return false;
    }
    if (bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return false;
    }
    // Smaller info headers (OS/2) lay their fields out differently.
    if (infoHeader.size < 40) {
        return false;
    }
    int64_t width = infoHeader.width;
    int64_t height = infoHeader.height < 0 ? -int64_t{infoHeader.height} : infoHeader.height;
    return width > 0 && height > 0 && width <= pImageLoader::MAX_DIMENSION &&
           height <= pImageLoader::MAX_DIMENSION;
}

bool pBMPLoader::load(std::string const& path, pImage* image) {
    uint64_t size = 0;
    if (!image || !openForReading(path, size)) {
        return false;
    }
    pBMPFileHeader fileHeader;
    pBMPInfoHeader infoHeader;
    readBMPHeader(&fileHeader, &infoHeader);
    pImage picture;
    bool ok = withinMemory([&] {
        return !file.eof() && acceptedHeader(fileHeader, infoHeader) &&
               readPicture(fileHeader, infoHeader, size, picture);
    });
    return finishLoad(ok, picture, image);
}

bool pBMPLoader::readPicture(pBMPFileHeader const& fileHeader, pBMPInfoHeader const& infoHeader,
                             uint64_t size, pImage& picture) {
    unsigned int bits = infoHeader.bitCount;
    unsigned int width = infoHeader.width;
    bool topDown = infoHeader.height < 0;
    unsigned int height = static_cast<unsigned int>(topDown ? -int64_t{infoHeader.height}
                                                            : int64_t{infoHeader.height});
    // A shorter palette (colours used) is followed at once by the pixels or the data offset.
    uint64_t paletteSize = bits <= 8 ? (1u << bits) : 0;
    uint64_t paletteUsed = paletteSize;
    if (infoHeader.clrUsed != 0 && infoHeader.clrUsed < paletteSize) {
        paletteUsed = infoHeader.clrUsed;
    }
    uint64_t paletteStart = 14 + uint64_t{infoHeader.size};
    uint64_t paletteEnd = paletteStart + 4 * paletteUsed;
    // Rows are padded to whole 32-bit words.
    uint64_t rowBytes = (uint64_t{width} * bits + 31) / 32 * 4;
    uint64_t rowUsed = (uint64_t{width} * bits + 7) / 8;
    uint64_t dataStart = fileHeader.offBits;
    if (dataStart < paletteEnd || dataStart + rowBytes * height > size) {
        return false;
    }
    if (!skipBytes(paletteStart - 54)) {
        return false;
    }
    if (paletteSize > 0) {
        palette_.reinitialize(static_cast<unsigned int>(paletteSize), 1);
        for (uint64_t i = 0; i < paletteUsed; ++i) {
            read32BitPixel(PPIXEL_ENCODING_XRGB8888, true, palette_.getPixelData()[i]);
        }
    }
    if (!skipBytes(dataStart - paletteEnd)) {
        return false;
    }
    picture.reinitialize(width, height);
    for (unsigned int r = 0; r < height; ++r) {
        // Top-down files store the top row first; row 0 is always the bottom.
        unsigned int row = topDown ? height - 1 - r : r;
        readRow(bits, picture.getPixelData() + uint64_t{row} * width, width);
        if (!skipBytes(rowBytes - rowUsed) || file.eof()) {
            return false;
        }
    }
    return true;
}

void pBMPLoader::readRow(unsigned int bits, pPixel* row, unsigned int width) {
    pPixel* colours = palette_.getPixelData();
    unsigned int column = 0;
    switch (bits) {
    case 4:
        while (column < width) {
            unsigned char high = 0;
            unsigned char low = 0;
            readHalfByte(high, low);
            row[column++] = colours[high];
            // An odd width leaves the last low half of the row unused.
            if (column < width) {
                row[column++] = colours[low];
            }
        }
        break;
    case 8:
        for (; column < width; ++column) {
            unsigned char index = 0;
            readByte(index);
            row[column] = colours[index];
        }
        break;
    case 16:
        for (; column < width; ++column) {
            read16BitPixel(PPIXEL_ENCODING_XRGB1555, false, row[column]);
        }
        break;
    case 24:
        for (; column < width; ++column) {
            read24BitPixel(PPIXEL_ENCODING_RGB888, true, row[column]);
        }
        break;
    case 32:
        for (; column < width; ++column) {
            read32BitPixel(PPIXEL_ENCODING_XRGB8888, true, row[column]);
        }
        break;
    }
}
