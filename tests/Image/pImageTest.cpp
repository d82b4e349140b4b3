#include "Image/pImage.h"

#include <gtest/gtest.h>

namespace {

pPixel clamped(unsigned int a, unsigned int b, unsigned int c, unsigned int d, int mode) {
    int saved = pPixel::clampMode_;
    pPixel::clampMode_ = mode;
    unsigned int v[4] = {a, b, c, d};
    pPixel::clamp(v);
    pPixel::clampMode_ = saved;
    return pPixel(v[0] & 255, v[1] & 255, v[2] & 255, v[3] & 255);
}

// Every pixel distinct: red = row * 16 + column.
pImage numbered(unsigned int width, unsigned int height) {
    pImage image(width, height);
    for (unsigned int r = 0; r < height; ++r) {
        for (unsigned int c = 0; c < width; ++c) {
            image.setPixelub(r, c, static_cast<unsigned char>(r * 16 + c), 7, 9, 255);
        }
    }
    return image;
}

} // namespace

TEST(pPixelTest, ClampModesSumsAndTruncatingScale) {
    EXPECT_EQ(pPixel(), pPixel(0, 0, 0, 255));
    EXPECT_EQ(clamped(300, 150, 0, 255, 1), pPixel(255, 127, 0, 216));
    EXPECT_EQ(clamped(300, 150, 0, 255, 0), pPixel(255, 150, 0, 255));
    EXPECT_EQ(pPixel(200, 100, 50, 255) + pPixel(100, 100, 50, 255), pPixel(150, 100, 50, 255));
    EXPECT_EQ(0.25f * pPixel(255, 255, 255, 255), pPixel(63, 63, 63, 63));
    // Huge factors scale down together; negative ones give zero instead of an undefined cast.
    EXPECT_EQ(1e9f * pPixel(255, 0, 0, 255), pPixel(255, 0, 0, 255));
    EXPECT_EQ(pPixel(255, 255, 255, 255) * -3.0f, pPixel(0, 0, 0, 0));
}

TEST(pImageTest, ReinitializeAndDeepCopies) {
    pImage image;
    EXPECT_EQ(image.getPixelData(), nullptr);
    image.reinitialize(3, 2);
    ASSERT_EQ(image.getWidth() * image.getHeight(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(image.getPixelData()[i], pPixel());
    }
    image.setPixelub(1, 2, 1, 2, 3, 4);
    EXPECT_EQ(image.getRawData()[(1 * 3 + 2) * 4 + 2], 3);

    pImage copy(image);
    copy.setPixelub(1, 2, 200, 0u);
    EXPECT_EQ(image.getPixelub(1, 2, 0), 1);
    image = copy;
    pImage& same = image;
    image = same;
    EXPECT_EQ(image.getPixelub(1, 2, 0), 200);
}

TEST(pImageTest, BilinearSamplingStaysInside) {
    pImage white(2, 2);
    for (int i = 0; i < 4; ++i) {
        white.getPixelData()[i] = pPixel(255, 255, 255, 255);
    }
    EXPECT_EQ(white.getPixelBilinear(0.5f, 0.5f), pPixel(252, 252, 252, 252));

    pImage image = numbered(4, 3);
    EXPECT_EQ(image.getPixelBilinear(1, 2), image.getPixel(1, 2));
    // Past the last row and column the last ones are reused.
    EXPECT_EQ(image.getPixelBilinear(2, 3), image.getPixel(2, 3));
    pPixel last = image.getPixel(2, 3);
    EXPECT_EQ(image.getPixelBilinear(2.5f, 3.5f),
              ((0.25f * last + 0.25f * last) + 0.25f * last) + 0.25f * last);
}

TEST(pImageTest, ResizeAndPowerOfTwoSizes) {
    pImage image = numbered(4, 4);
    pPixel* before = image.getPixelData();
    image.resize(4, 4);
    EXPECT_EQ(image.getPixelData(), before);
    pImage halved = numbered(4, 4);
    halved.resize(2, 2);
    EXPECT_EQ(halved.getPixel(0, 1), image.getPixel(0, 2));
    EXPECT_EQ(halved.getPixel(1, 0), image.getPixel(2, 0));
    EXPECT_EQ(halved.getPixel(1, 1), image.getPixel(2, 2));

    const unsigned int sizes[][2] = {{64, 64}, {1, 1},    {3, 4},     {5, 4},    {6, 8},
                                     {90, 64}, {91, 128}, {100, 128}, {200, 256}};
    for (auto [from, to] : sizes) {
        pImage picture = numbered(from, 3);
        picture.makeUseableAsTexture();
        EXPECT_EQ(picture.getWidth(), to) << from;
        EXPECT_EQ(picture.getHeight(), 4u);
    }
    pImage empty;
    empty.makeUseableAsTexture();
    EXPECT_EQ(empty.getWidth() + empty.getHeight(), 0u);
}
