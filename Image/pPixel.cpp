#include "Image/pPixel.h"

int32_t pPixel::clampMode_ = 1;

bool pPixel::operator==(pPixel const& other) const {
    return c_[0] == other.c_[0] && c_[1] == other.c_[1] && c_[2] == other.c_[2] &&
           c_[3] == other.c_[3];
}

void pPixel::clamp(unsigned int* channels) {
    if (clampMode_ == 0) {
        for (int i = 0; i < 4; ++i) {
            if (channels[i] > 255) {
                channels[i] = 255;
            }
        }
    } else if (clampMode_ == 1) {
        unsigned int largest = 0;
        for (int i = 0; i < 4; ++i) {
            if (channels[i] > largest) {
                largest = channels[i];
            }
        }
        if (largest > 255) {
            // Wide product so that large scaled values cannot wrap before the division.
            for (int i = 0; i < 4; ++i) {
                channels[i] = static_cast<unsigned int>(uint64_t{channels[i]} * 255u / largest);
            }
        }
    }
}

void pPixel::store(unsigned int* channels) {
    clamp(channels);
    for (int i = 0; i < 4; ++i) {
        c_[i] = static_cast<unsigned char>(channels[i] & 0xFF);
    }
}

pPixel pPixel::operator+(pPixel const& other) const {
    pPixel sum(*this);
    sum += other;
    return sum;
}

pPixel& pPixel::operator+=(pPixel const& other) {
    unsigned int sums[4];
    for (int i = 0; i < 4; ++i) {
        sums[i] = unsigned{c_[i]} + unsigned{other.c_[i]};
    }
    store(sums);
    return *this;
}

pPixel& pPixel::operator*=(float factor) {
    unsigned int products[4];
    for (int i = 0; i < 4; ++i) {
        float product = static_cast<float>(c_[i]) * factor;
        // Truncate toward zero; negative, NaN and out-of-range products would be undefined casts.
        if (!(product > 0.0f)) {
            products[i] = 0;
        } else if (product >= 4294967040.0f) {
            products[i] = 4294967040u;
        } else {
            products[i] = static_cast<unsigned int>(product);
        }
    }
    store(products);
    return *this;
}

pPixel operator*(float factor, pPixel const& pixel) {
    pPixel scaled(pixel);
    scaled *= factor;
    return scaled;
}

pPixel operator*(pPixel const& pixel, float factor) {
    return factor * pixel;
}
