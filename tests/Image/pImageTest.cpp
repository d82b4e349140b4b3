#include "Image/pImage.h"

#include <gtest/gtest.h>

namespace {

struct ClampModeGuard {
    explicit ClampModeGuard(int mode) : saved(pPixel::clampMode_) { pPixel::clampMode_ = mode; }
    ~ClampModeGuard() { pPixel::clampMode_ = saved; }
    int saved;
};

pPixel channels(unsigned int (&values)[4]) {
    pPixel::clamp(values);
    return pPixel(static_cast<unsigned char>(values[0]), static_cast<unsigned char>(values[1]),
                  static_cast<unsigned char>(values[2]), static_cast<unsigned char>(values[3]));
}

// A picture whose every pixel is distinct: red = row * 16 + column.
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

TEST(pPixelTest, DefaultsAndClampModes) {
    EXPECT_EQ(pPixel(), pPixel(0, 0, 0, 255));
    EXPECT_EQ(pPixel::clampMode_, 1);

    unsigned int scaled[4] = {300, 150, 0, 255};
    EXPECT_EQ(channels(scaled), pPixel(255, 127, 0, 216));
    {
        ClampModeGuard cut(0);
        unsigned int values[4] = {300, 150, 0, 255};
        EXPECT_EQ(channels(values), pPixel(255, 150, 0, 255));
    }
    {
        ClampModeGuard none(7);
        unsigned int values[4] = {300, 150, 0, 255};
        pPixel::clamp(values);
        EXPECT_EQ(values[0], 300u);
    }
}

TEST(pPixelTest, SumAndScaleTruncate) {
    EXPECT_EQ(pPixel(200, 100, 50, 255) + pPixel(100, 100, 50, 255), pPixel(150, 100, 50, 255));
    EXPECT_EQ(0.25f * pPixel(255, 255, 255, 255), pPixel(63, 63, 63, 63));
    EXPECT_EQ(pPixel(10, 20, 30, 40) * 2.0f, pPixel(20, 40, 60, 80));
    // Overflowing factors scale the channels down together; nonsense factors give zero.
    EXPECT_EQ(1e9f * pPixel(255, 0, 0, 255), pPixel(255, 0, 0, 255));
    EXPECT_EQ(-3.0f * pPixel(255, 255, 255, 255), pPixel(0, 0, 0, 0));
}

TEST(pImageTest, ReinitializeCopyAndAssign) {
    pImage empty;
    EXPECT_EQ(empty.getWidth(), 0u);
    EXPECT_EQ(empty.getPixelData(), nullptr);

    pImage image;
    image.reinitialize(3, 2);
    ASSERT_EQ(image.getWidth(), 3u);
    ASSERT_EQ(image.getHeight(), 2u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(image.getPixelData()[i], pPixel());
    }
    image.setPixelub(1, 2, 1, 2, 3, 4);
    EXPECT_EQ(image.getRawData()[(1 * 3 + 2) * 4 + 2], 3);
    EXPECT_EQ(image.getPixelub(1, 2, 3), 4);

    pImage copy(image);
    copy.setPixelub(1, 2, 200, 0u);
    EXPECT_EQ(image.getPixelub(1, 2, 0), 1);
    EXPECT_NE(copy.getPixelData(), image.getPixelData());
    image = copy;
    EXPECT_EQ(image.getPixelub(1, 2, 0), 200);
    pImage& same = image;
    image = same; // self-assignment keeps the pixels
    EXPECT_EQ(image.getPixelub(1, 2, 0), 200);

    image.setPixelf(0, 0, 1.0f, 0.5f, 1.5f, 0.0f);
    EXPECT_EQ(image.getPixel(0, 0), pPixel(255, 127, 126, 0)); // 382.5 -> 382, low byte 126
}

TEST(pImageTest, BilinearSampling) {
    pImage white(2, 2);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            white.setPixelub(r, c, 255, 255, 255, 255);
        }
    }
    EXPECT_EQ(white.getPixelBilinear(0.5f, 0.5f), pPixel(252, 252, 252, 252));

    pImage image = numbered(4, 3);
    EXPECT_EQ(image.getPixelBilinear(1, 2), image.getPixel(1, 2));
    // The last row and column reuse themselves instead of reading past the array.
    EXPECT_EQ(image.getPixelBilinear(2, 3), image.getPixel(2, 3));
    pPixel last = image.getPixel(2, 3);
    EXPECT_EQ(image.getPixelBilinear(2.5f, 3.5f),
              ((0.25f * last + 0.25f * last) + 0.25f * last) + 0.25f * last);
}

TEST(pImageTest, ResizeSamplesWithoutOffset) {
    pImage image = numbered(4, 4);
    pPixel* before = image.getPixelData();
    image.resize(4, 4);
    EXPECT_EQ(image.getPixelData(), before);

    pImage halved = numbered(4, 4);
    halved.resize(2, 2);
    EXPECT_EQ(halved.getPixel(0, 0), image.getPixel(0, 0));
    EXPECT_EQ(halved.getPixel(0, 1), image.getPixel(0, 2));
    EXPECT_EQ(halved.getPixel(1, 0), image.getPixel(2, 0));
    EXPECT_EQ(halved.getPixel(1, 1), image.getPixel(2, 2));

    // Upward resizing reaches past the last row and column; it must stay inside the array.
    pImage grown = numbered(3, 3);
    grown.resize(8, 8);
    EXPECT_EQ(grown.getPixel(7, 7), numbered(3, 3).getPixelBilinear(2.625f, 2.625f));
    EXPECT_EQ(grown.getPixel(0, 0), numbered(3, 3).getPixel(0, 0));
}

TEST(pImageTest, MakeUseableAsTextureChoosesNearestPowerByRatio) {
    const unsigned int cases[][2] = {{64, 64}, {1, 1},    {3, 4},     {5, 4},    {6, 8},
                                     {90, 64}, {91, 128}, {100, 128}, {200, 256}};
    for (auto [from, to] : cases) {
        pImage image(from, 1);
        image.makeUseableAsTexture();
        EXPECT_EQ(image.getWidth(), to) << "width " << from;
    }
    pImage wide(100, 40);
    wide.makeUseableAsTexture();
    EXPECT_EQ(wide.getWidth(), 128u);
    EXPECT_EQ(wide.getHeight(), 32u);

    pImage empty;
    empty.makeUseableAsTexture();
    EXPECT_EQ(empty.getWidth(), 0u);
    EXPECT_EQ(empty.getHeight(), 0u);
}

TEST(pImageTest, Flips) {
    pImage image = numbered(3, 3);
    image.flipVertical();
    EXPECT_EQ(image.getPixelub(0, 1, 0), 2 * 16 + 1);
    EXPECT_EQ(image.getPixelub(1, 1, 0), 1 * 16 + 1);
    image.flipHorizontal();
    EXPECT_EQ(image.getPixelub(0, 0, 0), 2 * 16 + 2);
}
