#include "Image/pTGALoader.h"
#include "tests/support/ImageFileTest.h"

namespace {

ByteFile tga(int type, int width, int height, int depth, int idLength = 0, int descriptor = 0,
             int colorMapType = 0) {
    ByteFile f;
    f.u8(idLength).u8(colorMapType).u8(type).u16(0).u16(0).u8(0).u16(0).u16(0);
    return f.u16(width & 0xFFFF).u16(height & 0xFFFF).u8(depth).u8(descriptor);
}

struct pTGALoaderTest : ImageFileTest {
    bool load(const ByteFile& file) { return ImageFileTest::load(pTGALoader::instance(), file); }
};

} // namespace

TEST_F(pTGALoaderTest, EveryTypeAndDepth) {
    struct Case {
        int depth;
        std::vector<unsigned char> bytes;
        pPixel pixel;
    };
    const Case cases[] = {
        {8, {0x40}, pPixel(0x40, 0x40, 0x40, 255)},
        {16, {0xFF, 0x7F}, pPixel(248, 248, 248, 255)},
        {16, {0xFF, 0xFF}, pPixel(248, 248, 248, 255)},
        {24, {10, 20, 30}, pPixel(30, 20, 10, 255)},
        {32, {10, 20, 30, 40}, pPixel(30, 20, 10, 40)},
    };
    for (int type : {2, 3, 10, 11}) {
        for (const Case& c : cases) {
            SCOPED_TRACE("type " + std::to_string(type) + " depth " + std::to_string(c.depth));
            ByteFile f = tga(type, 2, 1, c.depth);
            if (type >= 10) {
                f.u8(0x01); // raw packet of two pixels
            }
            f.append(c.bytes).append(c.bytes);
            if (c.depth == 8 && (type == 2 || type == 10)) {
                EXPECT_FALSE(load(f));
                EXPECT_TRUE(untouched());
                continue;
            }
            ASSERT_TRUE(load(f));
            ASSERT_EQ(image.getWidth(), 2u);
            EXPECT_EQ(image.getPixel(0, 0), c.pixel);
            EXPECT_EQ(image.getPixel(0, 1), c.pixel);
        }
    }
    EXPECT_FALSE(load(tga(2, 1, 1, 15).fill(8, 0)));
    EXPECT_FALSE(load(tga(1, 1, 1, 24).fill(3, 0)));
    EXPECT_FALSE(load(tga(2, 1, 1, 24, 0, 0, 1).fill(3, 0))); // colour map present
}

TEST_F(pTGALoaderTest, PacketsIdFieldAndOrigin) {
    // 4 x 2: a run of four (0x83), a raw packet of three (0x02) across the row end, a run of one.
    ByteFile f = tga(10, 4, 2, 24).u8(0x83).append({1, 1, 1}).u8(0x02);
    ASSERT_TRUE(load(f.append({2, 2, 2, 3, 3, 3, 4, 4, 4}).u8(0x80).append({5, 5, 5})));
    EXPECT_EQ(image.getPixelub(0, 3, 0), 1);
    EXPECT_EQ(image.getPixelub(1, 0, 0), 2);
    EXPECT_EQ(image.getPixelub(1, 3, 0), 5);

    const std::vector<unsigned char> rows = {0, 0, 9, 0, 0, 7}; // bottom row red 9, top red 7
    ASSERT_TRUE(load(tga(2, 1, 2, 24, 5).append({'h', 'e', 'l', 'l', 'o'}).append(rows)));
    EXPECT_EQ(image.getPixelub(0, 0, 0), 9);
    EXPECT_EQ(image.getPixelub(1, 0, 0), 7);
    // Top-left origin: the first stored row is the top one.
    ASSERT_TRUE(load(tga(2, 1, 2, 24, 0, 0x20).append(rows)));
    EXPECT_EQ(image.getPixelub(0, 0, 0), 7);
    EXPECT_EQ(image.getPixelub(1, 0, 0), 9);
}

TEST_F(pTGALoaderTest, HostileFilesAreRefusedAndLeaveTheImage) {
    ByteFile good = tga(2, 2, 2, 32).fill(16, 0x55);
    ASSERT_TRUE(load(good));
    const ByteFile hostile[] = {
        tga(2, 0, 2, 32).fill(16, 0),
        tga(2, 2, -2, 32).fill(16, 0),
        tga(3, 20000, 1, 8).fill(20000, 0),
        tga(3, 16384, 16384, 8).fill(10, 0), // a gigabyte promised by ten bytes
        tga(11, 16384, 16384, 8).fill(10, 0x81),
        good.truncated(1),
        good.truncated(20), // ends inside the header
        tga(2, 2, 2, 32, 200).fill(16, 0),
        tga(10, 2, 2, 32).u8(0x84).fill(4, 0),                      // run of five into four
        tga(10, 2, 2, 32).u8(0x81).fill(4, 0).u8(0x02).fill(12, 0), // raw packet overruns
        tga(10, 2, 2, 32).u8(0x81).fill(4, 0),                      // ends before the last packet
    };
    for (size_t i = 0; i < std::size(hostile); ++i) {
        EXPECT_FALSE(load(hostile[i])) << "hostile file " << i;
        EXPECT_TRUE(untouched()) << "hostile file " << i;
    }
    EXPECT_FALSE(pTGALoader::instance()->load(folder.file("missing.tga"), &image));
    EXPECT_FALSE(pTGALoader::instance()->load(folder.path(), &image));
    EXPECT_TRUE(untouched());
}
