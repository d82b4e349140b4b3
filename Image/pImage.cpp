#include "Image/pImage.h"

#include <algorithm>
#include <cstdint>
#include <utility>

pImage::pImage() : pixels_(nullptr), width_(0), height_(0) {}

pImage::pImage(unsigned int width, unsigned int height)
    : pixels_(nullptr), width_(width), height_(height) {
    reinitialize(width, height);
}

pImage::pImage(pImage const& other)
    : pixels_(nullptr), width_(other.width_), height_(other.height_) {
    if (other.pixels_) {
        size_t count = size_t{width_} * height_;
        pixels_ = new pPixel[count];
        std::copy(other.pixels_, other.pixels_ + count, pixels_);
    }
}

pImage::pImage(pImage&& other) noexcept
    : pixels_(std::exchange(other.pixels_, nullptr)), width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)) {}

pImage& pImage::operator=(pImage const& other) {
    if (this == &other) {
        return *this;
    }
    pImage copy(other);
    return *this = std::move(copy);
}

pImage& pImage::operator=(pImage&& other) noexcept {
    if (this != &other) {
        delete[] pixels_;
        pixels_ = std::exchange(other.pixels_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
    }
    return *this;
}

pImage::~pImage() {
    delete[] pixels_;
}

void pImage::reinitialize(unsigned int width, unsigned int height) {
    delete[] pixels_;
    pixels_ = nullptr;
    width_ = width;
    height_ = height;
    pixels_ = new pPixel[size_t{width} * height];
}

unsigned char pImage::getPixelub(int row, int column, unsigned int channel) const {
    return pixels_[index(row, column)][channel];
}

float pImage::getPixelf(int row, int column, unsigned int channel) const {
    return static_cast<float>(pixels_[index(row, column)][channel] / 255.0);
}

void pImage::setPixelub(int row, int column, unsigned char r, unsigned char g, unsigned char b,
                        unsigned char a) {
    pixels_[index(row, column)] = pPixel(r, g, b, a);
}

void pImage::setPixelub(int row, int column, unsigned char value, unsigned int channel) {
    pixels_[index(row, column)][channel] = value;
}

// value * 255, truncated, low 8 bits; no clamping. Done in 64 bits so that out-of-range values
// wrap instead of being an undefined conversion.
static unsigned char floatToChannel(float value) {
    double scaled = value * 255.0;
    if (!(scaled > -9.2e18 && scaled < 9.2e18)) {
        return 0;
    }
    return static_cast<unsigned char>(static_cast<uint64_t>(static_cast<int64_t>(scaled)) & 0xFF);
}

void pImage::setPixelf(int row, int column, float r, float g, float b, float a) {
    pixels_[index(row, column)] =
        pPixel(floatToChannel(r), floatToChannel(g), floatToChannel(b), floatToChannel(a));
}

void pImage::setPixelf(int row, int column, float value, unsigned int channel) {
    pixels_[index(row, column)][channel] = floatToChannel(value);
}

void pImage::bilinearTaps(float row, float column, pPixel taps[4], float weights[4]) const {
    int r0 = static_cast<int>(row);
    int c0 = static_cast<int>(column);
    float r1 = static_cast<float>(r0 + 1);
    float c1 = static_cast<float>(c0 + 1);
    weights[0] = (r1 - row) * (c1 - column);                                         // (r0, c0)
    weights[1] = (r1 - row) * (column - static_cast<float>(c0));                     // (r0, c1)
    weights[2] = (row - static_cast<float>(r0)) * (column - static_cast<float>(c0)); // (r1, c1)
    weights[3] = (row - static_cast<float>(r0)) * (c1 - column);                     // (r1, c0)
    int rowBelow = r0 + 1 < static_cast<int>(height_) ? r0 + 1 : r0;
    int columnNext = c0 + 1 < static_cast<int>(width_) ? c0 + 1 : c0;
    taps[0] = pixels_[index(r0, c0)];
    taps[1] = pixels_[index(r0, columnNext)];
    taps[2] = pixels_[index(rowBelow, columnNext)];
    taps[3] = pixels_[index(rowBelow, c0)];
}

pPixel pImage::getPixelBilinear(float row, float column) const {
    pPixel taps[4];
    float w[4];
    bilinearTaps(row, column, taps, w);
    return ((w[0] * taps[0] + w[1] * taps[1]) + w[2] * taps[2]) + w[3] * taps[3];
}

unsigned char pImage::getPixelBilinearub(float row, float column, unsigned int channel) const {
    pPixel taps[4];
    float w[4];
    bilinearTaps(row, column, taps, w);
    unsigned int sum = 0;
    for (int i = 0; i < 4; ++i) {
        sum += (w[i] * taps[i])[channel];
    }
    return static_cast<unsigned char>(sum & 0xFF);
}

float pImage::getPixelBilinearf(float row, float column, unsigned int channel) const {
    return static_cast<float>(getPixelBilinearub(row, column, channel) / 255.0);
}

void pImage::resize(unsigned int width, unsigned int height) {
    if (width == width_ && height == height_) {
        return;
    }
    pPixel* resized = new pPixel[size_t{width} * height];
    // An empty picture has nothing to sample; the new one stays opaque black.
    if (pixels_ && width_ > 0 && height_ > 0) {
        for (unsigned int y = 0; y < height; ++y) {
            float row =
                static_cast<float>(y) / static_cast<float>(height) * static_cast<float>(height_);
            for (unsigned int x = 0; x < width; ++x) {
                float column =
                    static_cast<float>(x) / static_cast<float>(width) * static_cast<float>(width_);
                resized[size_t{y} * width + x] = getPixelBilinear(row, column);
            }
        }
    }
    delete[] pixels_;
    pixels_ = resized;
    width_ = width;
    height_ = height;
}

// The power of two nearest to the dimension by ratio; ties go down, 0 stays 0.
static unsigned int nearestPowerOfTwo(unsigned int dimension) {
    uint64_t upper = 1;
    while (upper <= dimension) {
        upper *= 2;
    }
    uint64_t lower = upper / 2;
    float dim = static_cast<float>(dimension);
    if (upper > 0xFFFFFFFFu) {
        return static_cast<unsigned int>(lower);
    }
    if (lower > 0 && static_cast<float>(upper) / dim < dim / static_cast<float>(lower)) {
        return static_cast<unsigned int>(upper);
    }
    return static_cast<unsigned int>(lower);
}

void pImage::makeUseableAsTexture() {
    resize(nearestPowerOfTwo(width_), nearestPowerOfTwo(height_));
}

void pImage::flipVertical() {
    for (unsigned int r = 0; r < height_ / 2; ++r) {
        std::swap_ranges(pixels_ + size_t{r} * width_, pixels_ + size_t{r + 1} * width_,
                         pixels_ + size_t{height_ - 1 - r} * width_);
    }
}

void pImage::flipHorizontal() {
    for (unsigned int r = 0; r < height_; ++r) {
        pPixel* line = pixels_ + size_t{r} * width_;
        for (unsigned int j = 0; j < width_ / 2; ++j) {
            std::swap(line[j], line[width_ - 1 - j]);
        }
    }
}
