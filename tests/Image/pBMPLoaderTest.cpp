#include "Image/pBMPLoader.h"
#include "tests/support/ByteFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

struct Bmp {
    uint32_t width = 1;
    int32_t height = 1;
    unsigned bits = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> palette; // 0x00RRGGBB, stored blue, green, red, reserved
    size_t gap = 0;                // bytes between the palette and the pixels
    std::vector<unsigned char> pixels;

    ByteFile file() const {
        uint32_t offset = static_cast<uint32_t>(54 + 4 * palette.size() + gap);
        ByteFile f;
        f.u16(19778).u32(static_cast<uint32_t>(offset + pixels.size())).u16(0).u16(0).u32(offset);
        f.u32(40).u32(width).u32(static_cast<uint32_t>(height)).u16(1).u16(bits).u32(compression);
        f.u32(0).u32(2835).u32(2835).u32(colorsUsed).u32(0);
        for (uint32_t colour : palette) {
            f.u32(colour);
        }
        return f.fill(gap, 0xEE).append(pixels);
    }
};

class pBMPLoaderTest : public ::testing::Test {
protected:
    bool load(const ByteFile& file) {
        image.reinitialize(1, 1);
        image.setPixelub(0, 0, 1, 2, 3, 4);
        return pBMPLoader::instance()->load(file.writeTo(folder.file("b.bmp")), &image);
    }
    bool load(const Bmp& bmp) { return load(bmp.file()); }
    void expectUntouched() {
        ASSERT_EQ(image.getWidth(), 1u);
        EXPECT_EQ(image.getPixel(0, 0), pPixel(1, 2, 3, 4));
    }

    TempFolder folder;
    pImage image;
};

} // namespace

TEST_F(pBMPLoaderTest, TrueColourDepthsDropAlpha) {
    Bmp bmp;
    bmp.bits = 32;
    bmp.pixels = {10, 20, 30, 40};
    ASSERT_TRUE(load(bmp));
    EXPECT_EQ(image.getPixel(0, 0), pPixel(30, 20, 10, 255));

    bmp.bits = 16;
    bmp.width = 2;
    bmp.pixels = {0xFF, 0x7F, 0xFF, 0xFF};
    ASSERT_TRUE(load(bmp));
    EXPECT_EQ(image.getPixel(0, 0), pPixel(248, 248, 248, 255));
    EXPECT_EQ(image.getPixel(0, 1), pPixel(248, 248, 248, 255));

    for (uint32_t compression : {1u, 2u, 3u}) {
        bmp.compression = compression;
        EXPECT_FALSE(load(bmp));
        expectUntouched();
    }
}

TEST_F(pBMPLoaderTest, PaddedRowsBottomFirstAndTopDown) {
    for (uint32_t width : {1u, 2u, 3u}) {
        SCOPED_TRACE("width " + std::to_string(width));
        Bmp bmp;
        bmp.width = width;
        bmp.height = 2;
        size_t stride = (width * 3 + 3) / 4 * 4;
        for (int row = 0; row < 2; ++row) {
            for (uint32_t c = 0; c < width; ++c) {
                bmp.pixels.insert(bmp.pixels.end(), {0, static_cast<unsigned char>(c),
                                                     static_cast<unsigned char>(row + 1)});
            }
            bmp.pixels.resize(stride * (row + 1), 0xAA); // padding must not become a pixel
        }
        ASSERT_TRUE(load(bmp));
        for (int row = 0; row < 2; ++row) {
            for (uint32_t c = 0; c < width; ++c) {
                EXPECT_EQ(image.getPixel(row, c), pPixel(row + 1, c, 0, 255));
            }
        }
        bmp.height = -2; // same bytes, stored top row first
        ASSERT_TRUE(load(bmp));
        EXPECT_EQ(image.getPixelub(0, 0, 0), 2);
        EXPECT_EQ(image.getPixelub(1, 0, 0), 1);
    }
}

TEST_F(pBMPLoaderTest, PalettesOffsetsAndShortPalettes) {
    // The 4-bit example: entry 1 is red, pixel byte 0x10 gives red then entry 0.
    Bmp four;
    four.bits = 4;
    four.width = 3; // odd: the last low half is unused
    four.palette.assign(16, 0x000000);
    four.palette[0] = 0x00FF00;
    four.palette[1] = 0xFF0000;
    four.pixels = {0x10, 0x1F, 0, 0};
    ASSERT_TRUE(load(four));
    EXPECT_EQ(image.getPixel(0, 0), pPixel(255, 0, 0, 255));
    EXPECT_EQ(image.getPixel(0, 1), pPixel(0, 255, 0, 255));
    EXPECT_EQ(image.getPixel(0, 2), pPixel(255, 0, 0, 255));

    // 8 bits with only two colours stored and a gap before the pixels at the data offset.
    Bmp eight;
    eight.bits = 8;
    eight.width = 2;
    eight.colorsUsed = 2;
    eight.palette = {0x0000FF, 0x123456};
    eight.gap = 6;
    eight.pixels = {1, 0, 0, 0};
    ASSERT_TRUE(load(eight));
    EXPECT_EQ(image.getPixel(0, 0), pPixel(0x12, 0x34, 0x56, 255));
    EXPECT_EQ(image.getPixel(0, 1), pPixel(0, 0, 255, 255));
    // Indexes past the stored colours are black, not bytes from elsewhere.
    eight.pixels = {200, 0, 0, 0};
    ASSERT_TRUE(load(eight));
    EXPECT_EQ(image.getPixel(0, 0), pPixel(0, 0, 0, 255));
}

TEST_F(pBMPLoaderTest, HostileFilesAreRefusedAndLeaveTheImage) {
    Bmp good;
    good.width = 2;
    good.height = 2;
    good.pixels.assign(16, 0x33);
    ASSERT_TRUE(load(good));

    auto with = [&](auto change) {
        Bmp bmp = good;
        change(bmp);
        return bmp.file();
    };
    ByteFile notBM = good.file();
    notBM.bytes[0] = 'X';
    ByteFile offsetInsideHeader = good.file();
    offsetInsideHeader.bytes[10] = 20;
    ByteFile shortInfo = good.file();
    shortInfo.bytes[14] = 12;
    const ByteFile hostile[] = {
        notBM,
        offsetInsideHeader,
        shortInfo,
        good.file().truncated(1),
        good.file().truncated(40),
        with([](Bmp& b) { b.bits = 1; }),
        with([](Bmp& b) { b.bits = 15; }),
        with([](Bmp& b) { b.width = 0; }),
        with([](Bmp& b) { b.height = 0; }),
        with([](Bmp& b) { b.width = 0x80000000u; }),
        with([](Bmp& b) { b.height = INT32_MIN; }),
        with([](Bmp& b) { b.width = 16384, b.height = 16384; }), // a gigabyte from 70 bytes
        with([](Bmp& b) { b.width = 16385; }),
    };
    for (size_t i = 0; i < std::size(hostile); ++i) {
        SCOPED_TRACE("hostile file " + std::to_string(i));
        EXPECT_FALSE(load(hostile[i]));
        expectUntouched();
    }
}
