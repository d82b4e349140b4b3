#include "Image/pTGALoader.h"
#include "tests/support/ByteFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

ByteFile tgaHeader(int type, int width, int height, int depth, int idLength = 0, int descriptor = 0,
                   int colorMapType = 0) {
    ByteFile f;
    f.u8(idLength).u8(colorMapType).u8(type).u16(0).u16(0).u8(0).u16(0).u16(0);
    f.u16(static_cast<uint16_t>(width)).u16(static_cast<uint16_t>(height)).u8(depth).u8(descriptor);
    return f;
}

class pTGALoaderTest : public ::testing::Test {
protected:
    // Loads into an image holding one marker pixel, so a refusal shows as an untouched image.
    bool load(const ByteFile& file) {
        image.reinitialize(1, 1);
        image.setPixelub(0, 0, 1, 2, 3, 4);
        return pTGALoader::instance()->load(file.writeTo(folder.file("t.tga")), &image);
    }
    void expectUntouched() {
        ASSERT_EQ(image.getWidth(), 1u);
        ASSERT_EQ(image.getHeight(), 1u);
        EXPECT_EQ(image.getPixel(0, 0), pPixel(1, 2, 3, 4));
    }

    TempFolder folder;
    pImage image;
};

// One pixel's bytes at each depth and what it decodes to.
struct DepthCase {
    int depth;
    std::vector<unsigned char> bytes;
    pPixel pixel;
};

const DepthCase kDepths[] = {
    {8, {0x40}, pPixel(0x40, 0x40, 0x40, 255)},     {16, {0xFF, 0x7F}, pPixel(248, 248, 248, 255)},
    {16, {0xFF, 0xFF}, pPixel(248, 248, 248, 255)}, {16, {0x1F, 0x00}, pPixel(0, 0, 248, 255)},
    {24, {10, 20, 30}, pPixel(30, 20, 10, 255)},    {32, {10, 20, 30, 40}, pPixel(30, 20, 10, 40)},
};

} // namespace

TEST_F(pTGALoaderTest, EveryTypeAndDepth) {
    for (int type : {2, 3, 10, 11}) {
        for (const DepthCase& c : kDepths) {
            SCOPED_TRACE("type " + std::to_string(type) + " depth " + std::to_string(c.depth));
            ByteFile f = tgaHeader(type, 2, 1, c.depth);
            if (type >= 10) {
                f.u8(0x01); // raw packet of two pixels
            }
            f.append(c.bytes).append(c.bytes);
            bool greyType = type == 3 || type == 11;
            if (c.depth == 8 && !greyType) {
                EXPECT_FALSE(load(f));
                expectUntouched();
                continue;
            }
            ASSERT_TRUE(load(f));
            ASSERT_EQ(image.getWidth(), 2u);
            ASSERT_EQ(image.getHeight(), 1u);
            EXPECT_EQ(image.getPixel(0, 0), c.pixel);
            EXPECT_EQ(image.getPixel(0, 1), c.pixel);
        }
    }
    for (int refusedDepth : {1, 15, 31, 64}) {
        EXPECT_FALSE(load(tgaHeader(2, 1, 1, refusedDepth).fill(8, 0)));
    }
    EXPECT_FALSE(load(tgaHeader(1, 1, 1, 24).fill(3, 0)));          // colour-mapped type
    EXPECT_FALSE(load(tgaHeader(2, 1, 1, 24, 0, 0, 1).fill(3, 0))); // colour map present
}

TEST_F(pTGALoaderTest, RunAndRawPacketsCrossRows) {
    // 4 x 2 picture: a run of four (0x83), then a raw packet of three (0x02) and a run of one.
    ByteFile f = tgaHeader(10, 4, 2, 24);
    f.u8(0x83).append({1, 1, 1});
    f.u8(0x02).append({2, 2, 2, 3, 3, 3, 4, 4, 4});
    f.u8(0x80).append({5, 5, 5});
    ASSERT_TRUE(load(f));
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(image.getPixelub(0, c, 0), 1);
    }
    EXPECT_EQ(image.getPixelub(1, 0, 0), 2);
    EXPECT_EQ(image.getPixelub(1, 2, 0), 4);
    EXPECT_EQ(image.getPixelub(1, 3, 0), 5);
}

TEST_F(pTGALoaderTest, IdFieldIsSkippedAndOriginIsHonoured) {
    ByteFile plain = tgaHeader(2, 1, 2, 24).append({0, 0, 9, 0, 0, 7});
    ASSERT_TRUE(load(plain));
    pImage expected = image;
    EXPECT_EQ(expected.getPixelub(0, 0, 0), 9); // first stored row is the bottom

    ByteFile withId = tgaHeader(2, 1, 2, 24, 5).append({'h', 'e', 'l', 'l', 'o'});
    withId.append({0, 0, 9, 0, 0, 7});
    ASSERT_TRUE(load(withId));
    EXPECT_EQ(image.getPixel(0, 0), expected.getPixel(0, 0));
    EXPECT_EQ(image.getPixel(1, 0), expected.getPixel(1, 0));

    // Top-left origin: the first stored row is the top, so it ends up as the last row.
    ASSERT_TRUE(load(tgaHeader(2, 1, 2, 24, 0, 0x20).append({0, 0, 9, 0, 0, 7})));
    EXPECT_EQ(image.getPixelub(0, 0, 0), 7);
    EXPECT_EQ(image.getPixelub(1, 0, 0), 9);
    // Right-to-left: the first stored column is the right one.
    ASSERT_TRUE(load(tgaHeader(2, 2, 1, 24, 0, 0x10).append({0, 0, 9, 0, 0, 7})));
    EXPECT_EQ(image.getPixelub(0, 0, 0), 7);
}

TEST_F(pTGALoaderTest, HostileFilesAreRefusedAndLeaveTheImage) {
    ByteFile good = tgaHeader(2, 2, 2, 32).fill(16, 0x55);
    ASSERT_TRUE(load(good));

    const ByteFile hostile[] = {
        tgaHeader(2, 0, 2, 32).fill(16, 0),        // zero width
        tgaHeader(2, 2, -2, 32).fill(16, 0),       // negative height
        tgaHeader(3, 20000, 1, 8).fill(20000, 0),  // wider than any texture
        tgaHeader(3, 16384, 16384, 8).fill(10, 0), // a gigabyte promised by ten bytes
        tgaHeader(11, 16384, 16384, 8).fill(10, 0x81),
        good.truncated(1),                           // ends one byte before its pixels do
        tgaHeader(2, 2, 2, 32).truncated(5),         // ends inside the header
        tgaHeader(2, 2, 2, 32, 200).fill(16, 0),     // ID field longer than the file
        tgaHeader(10, 2, 2, 32).u8(0x84).fill(4, 0), // run of five into four pixels
        tgaHeader(10, 2, 2, 32).u8(0x81).fill(4, 0).u8(0x02).fill(12, 0), // raw packet overruns
        tgaHeader(10, 2, 2, 32).u8(0x83).fill(3, 0), // stream ends inside the run's pixel
        tgaHeader(10, 2, 2, 32).u8(0x81).fill(4, 0), // stream ends before the last packet
    };
    for (size_t i = 0; i < std::size(hostile); ++i) {
        SCOPED_TRACE("hostile file " + std::to_string(i));
        EXPECT_FALSE(load(hostile[i]));
        expectUntouched();
    }

    image.reinitialize(1, 1);
    EXPECT_FALSE(pTGALoader::instance()->load(folder.file("missing.tga"), &image));
    EXPECT_FALSE(pTGALoader::instance()->load(folder.path(), &image));
    EXPECT_EQ(image.getWidth(), 1u);
}
