#include "Image/pImageLoader.h"

#include <filesystem>
#include <utility>

pImageLoader::~pImageLoader() = default;

void pImageLoader::readByte(unsigned char& value) {
    value = 0;
    file >> value;
}

void pImageLoader::readHalfByte(unsigned char& high, unsigned char& low) {
    unsigned char value = 0;
    file >> value;
    high = value >> 4;
    low = value & 0x0F;
}

void pImageLoader::readGrayscalePixel(pPixel& pixel) {
    unsigned char grey = 0;
    file >> grey;
    pixel = pPixel(grey, grey, grey, 255);
}

static unsigned char bits(unsigned int value, int low, unsigned int mask, unsigned int scale) {
    return static_cast<unsigned char>(((value >> low) & mask) * scale);
}

void pImageLoader::read16BitPixel(PPIXEL_ENCODING_16 encoding, bool flip, pPixel& pixel) {
    unsigned short value = 0;
    file >> value;
    switch (encoding) {
    case PPIXEL_ENCODING_XRGB1555:
    case PPIXEL_ENCODING_ARGB1555:
        pixel = pPixel(bits(value, 10, 31, 8), bits(value, 5, 31, 8), bits(value, 0, 31, 8),
                       encoding == PPIXEL_ENCODING_XRGB1555 || (value & 0x8000) ? 255 : 0);
        break;
    case PPIXEL_ENCODING_XRGB4444:
    case PPIXEL_ENCODING_ARGB4444:
        pixel = pPixel(bits(value, 8, 15, 17), bits(value, 4, 15, 17), bits(value, 0, 15, 17),
                       encoding == PPIXEL_ENCODING_XRGB4444 ? 255 : bits(value, 12, 15, 17));
        break;
    case PPIXEL_ENCODING_RGB565:
        pixel = pPixel(bits(value, 11, 31, 8), bits(value, 5, 63, 4), bits(value, 0, 31, 8), 255);
        break;
    }
    if (flip) {
        flipColorEncoding(pixel);
    }
}

void pImageLoader::read24BitPixel(PPIXEL_ENCODING_24, bool flip, pPixel& pixel) {
    unsigned char c[3] = {0, 0, 0};
    file >> c[0] >> c[1] >> c[2];
    pixel = pPixel(c[0], c[1], c[2], 255);
    if (flip) {
        flipColorEncoding(pixel);
    }
}

void pImageLoader::read32BitPixel(PPIXEL_ENCODING_32 encoding, bool flip, pPixel& pixel) {
    unsigned char c[4] = {0, 0, 0, 0};
    file >> c[0] >> c[1] >> c[2] >> c[3];
    pixel = pPixel(c[0], c[1], c[2], encoding == PPIXEL_ENCODING_ARGB8888 ? c[3] : 255);
    if (flip) {
        flipColorEncoding(pixel);
    }
}

void pImageLoader::flipColorEncoding(pPixel& pixel) {
    std::swap(pixel[0], pixel[2]);
}

bool pImageLoader::regularFileSize(std::string const& path, uint64_t& size) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    size = std::filesystem::file_size(path, error);
    return !error;
}

bool pImageLoader::openForReading(std::string const& path, uint64_t& size) {
    return regularFileSize(path, size) && file.open(path, PFILE_READ, PFILE_LITTLE_ENDIAN);
}

bool pImageLoader::finishLoad(bool ok, pImage& picture, pImage* image) {
    file.close();
    if (ok) {
        *image = std::move(picture);
    }
    return ok;
}

bool pImageLoader::skipBytes(uint64_t count) {
    char scratch[4096];
    while (count > 0) {
        int chunk = count < sizeof scratch ? static_cast<int>(count) : int{sizeof scratch};
        if (!file.readBytes(scratch, chunk)) {
            return false;
        }
        count -= static_cast<uint64_t>(chunk);
    }
    return true;
}
