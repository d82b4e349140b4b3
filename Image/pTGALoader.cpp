#include "Image/pTGALoader.h"

#include <algorithm>

pTGALoader* pTGALoader::instance() {
    static pTGALoader* instance_ = new pTGALoader();
    return instance_;
}

void pTGALoader::readTGAHeader(pTGAFileHeader* header) {
    file >> header->idLength >> header->colorMapType >> header->imageType >>
        header->colorMapFirstEntry >> header->colorMapLength >> header->colorMapEntrySize >>
        header->xOrigin >> header->yOrigin >> header->width >> header->height >>
        header->pixelDepth >> header->imageDescriptor;
}

void pTGALoader::readTGAPixel(short depth, pPixel& pixel) {
    switch (depth) {
    case 8:
        readGrayscalePixel(pixel);
        break;
    case 16:
        read16BitPixel(PPIXEL_ENCODING_XRGB1555, false, pixel);
        break;
    case 24:
        read24BitPixel(PPIXEL_ENCODING_RGB888, true, pixel);
        break;
    case 32:
        read32BitPixel(PPIXEL_ENCODING_ARGB8888, true, pixel);
        break;
    }
}

static bool acceptedHeader(pTGAFileHeader const& header) {
    if (header.colorMapType == 1) {
        return false;
    }
    bool greyscale = header.imageType == 3 || header.imageType == 11;
    bool trueColour = header.imageType == 2 || header.imageType == 10;
    if (!greyscale && !trueColour) {
        return false;
    }
    int depth = header.pixelDepth;
    if (depth != 16 && depth != 24 && depth != 32 && !(depth == 8 && greyscale)) {
        return false;
    }
    return header.width > 0 && header.height > 0 && header.width <= pImageLoader::MAX_DIMENSION &&
           header.height <= pImageLoader::MAX_DIMENSION;
}

bool pTGALoader::load(std::string const& path, pImage* image) {
    uint64_t size = 0;
    if (!image || !openForReading(path, size)) {
        return false;
    }
    pTGAFileHeader header;
    readTGAHeader(&header);
    uint64_t used = 18 + uint64_t{header.idLength};
    pImage picture;
    bool ok = withinMemory([&] {
        return !file.eof() && acceptedHeader(header) && size >= used &&
               skipBytes(header.idLength) && readPixels(header, size - used, picture);
    });
    return finishLoad(ok, picture, image);
}

bool pTGALoader::readPixels(pTGAFileHeader const& header, uint64_t bytesLeft, pImage& picture) {
    uint64_t width = static_cast<uint64_t>(header.width);
    uint64_t height = static_cast<uint64_t>(header.height);
    uint64_t count = width * height;
    uint64_t pixelBytes = header.pixelDepth / 8u;
    bool runLength = header.imageType >= 10;
    // Check the claim against the bytes really there before allocating: raw pixels need all
    // their bytes, and one run packet (a byte and a pixel) covers at most 128 pixels.
    uint64_t mostPixels = runLength ? bytesLeft / (1 + pixelBytes) * 128 : bytesLeft / pixelBytes;
    if (count > mostPixels) {
        return false;
    }
    picture.reinitialize(static_cast<unsigned int>(width), static_cast<unsigned int>(height));
    pPixel* pixels = picture.getPixelData();
    if (runLength) {
        if (!readRunLengthPixels(pixels, count, header.pixelDepth)) {
            return false;
        }
    } else {
        for (uint64_t row = 0; row < height; ++row) {
            for (uint64_t column = 0; column < width; ++column) {
                readTGAPixel(header.pixelDepth, pixels[row * width + column]);
            }
            if (file.eof()) {
                return false;
            }
        }
    }
    // Bit 5 of the descriptor puts the first stored row at the top, bit 4 the first column at the
    // right; turn those around so every picture has row 0 at the bottom, column 0 at the left.
    if (header.imageDescriptor & 0x20) {
        picture.flipVertical();
    }
    if (header.imageDescriptor & 0x10) {
        picture.flipHorizontal();
    }
    return true;
}

bool pTGALoader::readRunLengthPixels(pPixel* pixels, uint64_t count, short depth) {
    uint64_t position = 0;
    while (position < count) {
        unsigned char packet = 0;
        readByte(packet);
        uint64_t length = (packet & 127u) + 1;
        // A packet that runs past the last pixel means a corrupt file.
        if (file.eof() || length > count - position) {
            return false;
        }
        if (packet & 128u) {
            readTGAPixel(depth, pixels[position]);
            std::fill(pixels + position + 1, pixels + position + length, pixels[position]);
        } else {
            for (uint64_t i = 0; i < length; ++i) {
                readTGAPixel(depth, pixels[position + i]);
            }
        }
        if (file.eof()) {
            return false;
        }
        position += length;
    }
    return true;
}
