#pragma once

#include "Image/pPixel.h"

// An RGBA picture. Pixel (row, column) is element row * width + column, and row 0 is the bottom
// of the picture as seen on screen. Positions are not checked: callers stay inside the image.
class pImage {
public:
    pImage();
    pImage(unsigned int width, unsigned int height);
    pImage(pImage const& other);
    pImage(pImage&& other) noexcept;
    pImage& operator=(pImage const& other);
    pImage& operator=(pImage&& other) noexcept;
    ~pImage();

    // Drops the pixels and makes width x height opaque black ones.
    void reinitialize(unsigned int width, unsigned int height);

    unsigned int getWidth() const { return width_; }
    unsigned int getHeight() const { return height_; }
    pPixel* getPixelData() { return pixels_; }
    unsigned char* getRawData() { return reinterpret_cast<unsigned char*>(pixels_); }

    pPixel& operator()(int row, int column) { return pixels_[index(row, column)]; }
    pPixel operator()(int row, int column) const { return pixels_[index(row, column)]; }
    pPixel getPixel(int row, int column) const { return pixels_[index(row, column)]; }
    unsigned char getPixelub(int row, int column, unsigned int channel) const;
    float getPixelf(int row, int column, unsigned int channel) const;

    void setPixel(int row, int column, pPixel pixel) { pixels_[index(row, column)] = pixel; }
    void setPixelub(int row, int column, unsigned char r, unsigned char g, unsigned char b,
                    unsigned char a);
    void setPixelub(int row, int column, unsigned char value, unsigned int channel);
    void setPixelf(int row, int column, float r, float g, float b, float a);
    void setPixelf(int row, int column, float value, unsigned int channel);

    // Bilinear sample at a fractional (row, column). Each weighted term is truncated, so blends
    // come out slightly dark; whole-number positions give the pixel itself.
    pPixel getPixelBilinear(float row, float column) const;
    unsigned char getPixelBilinearub(float row, float column, unsigned int channel) const;
    float getPixelBilinearf(float row, float column, unsigned int channel) const;

    // Resamples to the new size, new row 0 taken from old row 0.
    void resize(unsigned int width, unsigned int height);
    // Brings each dimension to the power of two nearest by ratio.
    void makeUseableAsTexture();

    void flipVertical();
    void flipHorizontal();

private:
    long index(int row, int column) const { return long{row} * long{width_} + column; }
    // The four neighbours of a sample and their weights; past the last row or column the last
    // one is reused.
    void bilinearTaps(float row, float column, pPixel taps[4], float weights[4]) const;

    pPixel* pixels_;
    unsigned int width_;
    unsigned int height_;
};
