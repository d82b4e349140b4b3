#include "Image/pBMPLoader.h"
#include "tests/support/ImageFileTest.h"

namespace {

struct Bmp {
    uint32_t width = 1;
    int32_t height = 1;
    unsigned bits = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> palette = {}; // 0x00RRGGBB: stored blue, green, red, reserved
    size_t gap = 0;                     // bytes between the palette and the pixels
    std::vector<unsigned char> pixels = {};

    ByteFile file() const {
        uint32_t offset = static_cast<uint32_t>(54 + 4 * palette.size() + gap);
        ByteFile f;
        f.u16(19778).u32(static_cast<uint32_t>(offset + pixels.size())).u32(0).u32(offset);
        f.u32(40).u32(width).u32(static_cast<uint32_t>(height)).u16(1).u16(bits).u32(compression);
        f.u32(0).u32(2835).u32(2835).u32(colorsUsed).u32(0);
        for (uint32_t colour : palette) {
            f.u32(colour);
        }
        return f.fill(gap, 0xEE).append(pixels);
    }
};

struct pBMPLoaderTest : ImageFileTest {
    bool load(const Bmp& bmp) { return load(bmp.file()); }
    bool load(const ByteFile& file) { return ImageFileTest::load(pBMPLoader::instance(), file); }
};

} // namespace

TEST_F(pBMPLoaderTest, PaddedRowsTopDownAndAlpha) {
    for (uint32_t width : {1u, 2u, 3u}) {
        Bmp bmp{.width = width, .height = 2};
        for (int row = 0; row < 2; ++row) {
            for (uint32_t c = 0; c < width; ++c) {
                bmp.pixels.insert(bmp.pixels.end(), {0, static_cast<unsigned char>(c),
                                                     static_cast<unsigned char>(row + 1)});
            }
            bmp.pixels.resize((width * 3 + 3) / 4 * 4 * (row + 1), 0xAA); // padding
        }
        ASSERT_TRUE(load(bmp));
        EXPECT_EQ(image.getPixel(0, width - 1), pPixel(1, width - 1, 0, 255)) << width;
        EXPECT_EQ(image.getPixel(1, width - 1), pPixel(2, width - 1, 0, 255)) << width;
        bmp.height = -2; // the same rows stored top down
        ASSERT_TRUE(load(bmp));
        EXPECT_EQ(image.getPixelub(0, 0, 0), 2);
        EXPECT_EQ(image.getPixelub(1, 0, 0), 1);
    }
    ASSERT_TRUE(load(Bmp{.bits = 32, .pixels = {10, 20, 30, 40}}));
    EXPECT_EQ(image.getPixel(0, 0), pPixel(30, 20, 10, 255));
    ASSERT_TRUE(load(Bmp{.width = 2, .bits = 16, .pixels = {0xFF, 0x7F, 0xFF, 0xFF}}));
    EXPECT_EQ(image.getPixel(0, 1), pPixel(248, 248, 248, 255));
}

TEST_F(pBMPLoaderTest, PalettesShortPalettesAndDataOffset) {
    Bmp four{.width = 3, .bits = 4, .pixels = {0x10, 0x1F, 0, 0}}; // odd width: last half unused
    four.palette.assign(16, 0);
    four.palette[0] = 0x00FF00;
    four.palette[1] = 0xFF0000;
    ASSERT_TRUE(load(four));
    EXPECT_EQ(image.getPixel(0, 0), pPixel(255, 0, 0, 255));
    EXPECT_EQ(image.getPixel(0, 1), pPixel(0, 255, 0, 255));
    EXPECT_EQ(image.getPixel(0, 2), pPixel(255, 0, 0, 255));

    // Two colours stored, then a gap up to the data offset; indexes past them are black.
    Bmp eight{.width = 3, .bits = 8, .colorsUsed = 2, .palette = {0x0000FF, 0x123456}, .gap = 6};
    eight.pixels = {1, 0, 200, 0};
    ASSERT_TRUE(load(eight));
    EXPECT_EQ(image.getPixel(0, 0), pPixel(0x12, 0x34, 0x56, 255));
    EXPECT_EQ(image.getPixel(0, 1), pPixel(0, 0, 255, 255));
    EXPECT_EQ(image.getPixel(0, 2), pPixel(0, 0, 0, 255));
}

TEST_F(pBMPLoaderTest, HostileFilesAreRefusedAndLeaveTheImage) {
    const Bmp good{.width = 2, .height = 2, .pixels = std::vector<unsigned char>(16, 0x33)};
    ASSERT_TRUE(load(good));
    auto patched = [&](size_t at, unsigned char value) {
        ByteFile f = good.file();
        f.bytes[at] = value;
        return f;
    };
    auto with = [&](auto change) {
        Bmp bmp = good;
        change(bmp);
        return bmp.file();
    };
    const ByteFile hostile[] = {
        patched(0, 'X'), // not "BM"
        patched(10, 20), // pixel data inside the headers
        patched(14, 12), // OS/2 info header
        good.file().truncated(1),
        good.file().truncated(40),
        with([](Bmp& b) { b.compression = 1; }),
        with([](Bmp& b) { b.compression = 2; }),
        with([](Bmp& b) { b.compression = 3; }),
        with([](Bmp& b) { b.bits = 1; }),
        with([](Bmp& b) { b.width = 0; }),
        with([](Bmp& b) { b.height = INT32_MIN; }),
        with([](Bmp& b) { b.width = 16384, b.height = 16384; }), // a gigabyte from 70 bytes
        with([](Bmp& b) { b.width = 16385; }),
    };
    for (size_t i = 0; i < std::size(hostile); ++i) {
        EXPECT_FALSE(load(hostile[i])) << "hostile file " << i;
        EXPECT_TRUE(untouched()) << "hostile file " << i;
    }
}
