#include "Image/pImageLoader.h"
#include "tests/support/ByteFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

// Opens a file on the loader's stream so the pixel routines can be fed real bytes.
struct EncodingProbe : pImageLoader {
    bool load(std::string const&, pImage*) override { return false; }
    bool open(const std::string& path) { return file.open(path, PFILE_READ, PFILE_LITTLE_ENDIAN); }
};

TEST(pImageLoaderTest, EveryPixelEncoding) {
    TempFolder folder;
    ByteFile bytes;
    for (unsigned value : {0xABCD, 0x2BCD, 0xABCD, 0xABCD, 0xABCD}) {
        bytes.u16(value);
    }
    bytes.append({1, 2, 3, 1, 2, 3, 4, 1, 2, 3, 4, 0x5A});
    EncodingProbe probe;
    ASSERT_TRUE(probe.open(bytes.writeTo(folder.file("pixels"))));
    pPixel p;
    probe.read16BitPixel(PPIXEL_ENCODING_ARGB1555, false, p);
    EXPECT_EQ(p, pPixel(80, 240, 104, 255));
    probe.read16BitPixel(PPIXEL_ENCODING_ARGB1555, false, p);
    EXPECT_EQ(p, pPixel(80, 240, 104, 0));
    probe.read16BitPixel(PPIXEL_ENCODING_ARGB4444, false, p);
    EXPECT_EQ(p, pPixel(187, 204, 221, 170));
    probe.read16BitPixel(PPIXEL_ENCODING_XRGB4444, false, p);
    EXPECT_EQ(p, pPixel(187, 204, 221, 255));
    probe.read16BitPixel(PPIXEL_ENCODING_RGB565, true, p);
    EXPECT_EQ(p, pPixel(104, 120, 168, 255));
    probe.read24BitPixel(PPIXEL_ENCODING_RGB888, false, p);
    EXPECT_EQ(p, pPixel(1, 2, 3, 255));
    probe.read32BitPixel(PPIXEL_ENCODING_ARGB8888, false, p);
    EXPECT_EQ(p, pPixel(1, 2, 3, 4));
    probe.read32BitPixel(PPIXEL_ENCODING_XRGB8888, true, p);
    EXPECT_EQ(p, pPixel(3, 2, 1, 255));
    unsigned char high = 0;
    unsigned char low = 0;
    probe.readHalfByte(high, low);
    EXPECT_EQ(high * 16 + low, 0x5A);
}
