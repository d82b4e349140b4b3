#pragma once

#include <cstdint>

// One RGBA pixel of 8-bit channels. An array of pixels is also an R, G, B, A byte array, which is
// what the texture upload reads.
class pPixel {
public:
    // How clamp() resolves channel sums above 255: 0 cuts each channel at 255, 1 scales all four
    // channels down together so the largest lands on 255, anything else leaves them.
    static int32_t clampMode_;

    pPixel() : c_{0, 0, 0, 255} {}
    pPixel(unsigned char r, unsigned char g, unsigned char b, unsigned char a) : c_{r, g, b, a} {}
    pPixel(pPixel const& other) = default;
    pPixel& operator=(pPixel const& other) = default;

    unsigned char& operator[](unsigned int i) { return c_[i]; }
    unsigned char operator[](unsigned int i) const { return c_[i]; }

    bool operator==(pPixel const& other) const;
    bool operator!=(pPixel const& other) const { return !(*this == other); }

    // Brings four wide channel values into range by the current clamp mode.
    static void clamp(unsigned int* channels);

    pPixel operator+(pPixel const& other) const;
    pPixel& operator+=(pPixel const& other);
    pPixel& operator*=(float factor);

private:
    void store(unsigned int* channels);

    unsigned char c_[4];
};

// Every channel scaled by the factor (truncated), then clamped.
pPixel operator*(float factor, pPixel const& pixel);
pPixel operator*(pPixel const& pixel, float factor);

static_assert(sizeof(pPixel) == 4, "pixel arrays are uploaded as raw RGBA bytes");
