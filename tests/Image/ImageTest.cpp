// Pictures: pixels and images, the TGA and BMP readers fed real bytes, textures and their cache.
#include "Image/pBMPLoader.h"
#include "Image/pImage.h"
#include "Image/pTGALoader.h"
#include "Image/pTextureLoader.h"
#include "Image/pTextureManager.h"
#include "Image/pTextureProgram.h"
#include "tests/support/Files.h"
#include "tests/support/GLTestContext.h"

#include <cmath>
#include <tuple>

namespace {

// Every pixel distinct: red = row * 16 + column.
pImage numbered(unsigned int width, unsigned int height) {
    pImage image(width, height);
    for (unsigned int r = 0; r < height; ++r)
        for (unsigned int c = 0; c < width; ++c)
            image.setPixelub(r, c, static_cast<unsigned char>(r * 16 + c), 7, 9, 255);
    return image;
}

// Feeds byte-built files to a reader. The image holds one marker pixel before every load, so a
// refused file shows as an untouched image.
struct ImageFile : ::testing::Test {
    TempFolder folder;
    pImage image;
    bool load(pImageLoader* reader, const ByteFile& file) {
        image.reinitialize(1, 1);
        image.setPixelub(0, 0, 1, 2, 3, 4);
        return reader->load(file.writeTo(folder.file("picture")), &image);
    }
    int red(int row, int column) const { return image.getPixelub(row, column, 0); }
    bool untouched() const {
        return image.getWidth() == 1 && image.getHeight() == 1 &&
               image.getPixel(0, 0) == pPixel(1, 2, 3, 4);
    }
    // Each file must be refused without a change to the image.
    void refuses(pImageLoader* reader, const std::vector<ByteFile>& files) {
        for (size_t i = 0; i < files.size(); ++i) {
            EXPECT_FALSE(load(reader, files[i])) << "hostile file " << i;
            EXPECT_TRUE(untouched()) << "hostile file " << i;
        }
    }
};

ByteFile tga(int type, int width, int height, int depth, int idLength = 0, int descriptor = 0,
             int colorMapType = 0) {
    ByteFile f;
    f.u8(idLength).u8(colorMapType).u8(type).u16(0).u16(0).u8(0).u16(0).u16(0);
    return f.u16(width & 0xFFFF).u16(height & 0xFFFF).u8(depth).u8(descriptor);
}

struct Bmp {
    uint32_t width = 1;
    int32_t height = 1;
    unsigned bits = 24;
    uint32_t compression = 0, colorsUsed = 0;
    std::vector<uint32_t> palette = {}; // 0x00RRGGBB: stored blue, green, red, reserved
    size_t gap = 0;                     // bytes between the palette and the pixels
    std::vector<unsigned char> pixels = {};

    ByteFile file() const {
        uint32_t offset = static_cast<uint32_t>(54 + 4 * palette.size() + gap);
        ByteFile f;
        f.u16(19778).u32(static_cast<uint32_t>(offset + pixels.size())).u32(0).u32(offset);
        f.u32(40).u32(width).u32(static_cast<uint32_t>(height)).u16(1).u16(bits).u32(compression);
        f.u32(0).u32(2835).u32(2835).u32(colorsUsed).u32(0);
        for (uint32_t colour : palette)
            f.u32(colour);
        return f.fill(gap, 0xEE).append(pixels);
    }
};

} // namespace

TEST(pImage, PixelsCopiesSamplingResizingAndTextureSizes) {
    EXPECT_EQ(pPixel(), pPixel(0, 0, 0, 255));
    // Clamped in mode 1 by scaling all four down together, in mode 0 each on its own.
    const int savedMode = pPixel::clampMode_;
    for (auto [mode, expected] :
         {std::pair{1, pPixel(255, 127, 0, 216)}, {0, pPixel(255, 150, 0, 255)}}) {
        unsigned int v[4] = {300, 150, 0, 255};
        pPixel::clampMode_ = mode;
        pPixel::clamp(v);
        EXPECT_EQ(pPixel(v[0] & 255, v[1] & 255, v[2] & 255, v[3] & 255), expected) << mode;
    }
    pPixel::clampMode_ = savedMode;
    EXPECT_EQ(pPixel(200, 100, 50, 255) + pPixel(100, 100, 50, 255), pPixel(150, 100, 50, 255));
    EXPECT_EQ(0.25f * pPixel(255, 255, 255, 255), pPixel(63, 63, 63, 63));
    // Huge factors scale down together; negative ones give zero instead of an undefined cast.
    EXPECT_EQ(1e9f * pPixel(255, 0, 0, 255), pPixel(255, 0, 0, 255));
    EXPECT_EQ(pPixel(255, 255, 255, 255) * -3.0f, pPixel(0, 0, 0, 0));
    pImage image;
    image.reinitialize(3, 2);
    EXPECT_EQ(std::count(image.getPixelData(), image.getPixelData() + 6, pPixel()), 6);
    image.setPixelf(1, 2, 0.5f, 1.0f, 2.0f, 0); // truncated; beyond 1 it wraps
    image.setPixelub(0, 0, 1, 2, 3, 4);
    EXPECT_EQ(image.getRawData()[(1 * 3 + 2) * 4 + 2] * 1000 + image.getPixelub(1, 2, 0), 254127);
    image.setPixelf(0, 1, NAN, 1e30f, -1e30f, 1.0f); // no number, or far out of range: 0
    EXPECT_EQ(image.getPixel(0, 1), pPixel(0, 0, 0, 255));
    pImage copy(image);
    copy.setPixelub(0, 0, 200, 0u);
    image = copy;
    EXPECT_EQ(image.getPixelub(0, 0, 0) * 1000 + copy.getPixelub(0, 0, 1), 200002);
    // Bilinear samples stay inside: past the last row and column the last ones are reused.
    pImage white(2, 2);
    std::fill(white.getPixelData(), white.getPixelData() + 4, pPixel(255, 255, 255, 255));
    EXPECT_EQ(white.getPixelBilinear(0.5f, 0.5f), pPixel(252, 252, 252, 252));
    pImage grid = numbered(4, 3);
    pPixel last = grid.getPixel(2, 3);
    EXPECT_TRUE(grid.getPixelBilinear(1, 2) == grid.getPixel(1, 2) &&
                grid.getPixelBilinear(2, 3) == last);
    EXPECT_EQ(grid.getPixelBilinear(2.5f, 3.5f),
              ((0.25f * last + 0.25f * last) + 0.25f * last) + 0.25f * last);
    pImage square = numbered(4, 4), halved = numbered(4, 4);
    pPixel* before = square.getPixelData();
    square.resize(4, 4);
    halved.resize(2, 2);
    EXPECT_EQ(square.getPixelData(), before) << "the same size is left alone";
    for (auto [r, c] : {std::pair{0, 1}, {1, 0}, {1, 1}})
        EXPECT_EQ(halved.getPixel(r, c), square.getPixel(2 * r, 2 * c));
    std::string sizes;
    for (unsigned int width : {64, 1, 3, 5, 6, 90, 91, 100, 200, 0}) {
        pImage picture = numbered(width, width ? 3 : 0);
        picture.makeUseableAsTexture();
        sizes +=
            std::to_string(picture.getWidth()) + "x" + std::to_string(picture.getHeight()) + " ";
    }
    EXPECT_EQ(sizes, "64x4 1x4 4x4 4x4 8x4 64x4 128x4 128x4 256x4 0x0 ");
}

TEST_F(ImageFile, TgaEveryTypeAndDepthPacketsIdFieldAndOriginAndNoHostileFile) {
    pTGALoader* reader = pTGALoader::instance();
    const std::tuple<int, std::vector<unsigned char>, pPixel> cases[] = {
        {8, {0x40}, pPixel(0x40, 0x40, 0x40, 255)},
        {16, {0xFF, 0x7F}, pPixel(248, 248, 248, 255)},
        {16, {0xFF, 0xFF}, pPixel(248, 248, 248, 255)},
        {24, {10, 20, 30}, pPixel(30, 20, 10, 255)},
        {32, {10, 20, 30, 40}, pPixel(30, 20, 10, 40)}};
    for (int type : {2, 3, 10, 11}) {
        for (const auto& [depth, bytes, pixel] : cases) {
            SCOPED_TRACE("type " + std::to_string(type) + " depth " + std::to_string(depth));
            // Packed types start with a raw packet of two pixels.
            ByteFile f = tga(type, 2, 1, depth).fill(type >= 10, 0x01).append(bytes).append(bytes);
            const bool colourOfGrey = depth == 8 && (type == 2 || type == 10);
            ASSERT_EQ(load(reader, f), !colourOfGrey);
            EXPECT_TRUE(colourOfGrey ? untouched()
                                     : image.getPixel(0, 0) == pixel &&
                                           image.getPixel(0, 1) == pixel && image.getWidth() == 2);
        }
    }
    // 4 x 2: a run of four (0x83), a raw packet of three (0x02) across the row end, a run of one.
    ByteFile f = tga(10, 4, 2, 24).u8(0x83).append({1, 1, 1}).u8(0x02);
    ASSERT_TRUE(load(reader, f.append({2, 2, 2, 3, 3, 3, 4, 4, 4}).u8(0x80).append({5, 5, 5})));
    EXPECT_EQ(red(0, 3) * 100 + red(1, 0) * 10 + red(1, 3), 125);
    const std::vector<unsigned char> rows = {0, 0, 9, 0, 0, 7}; // bottom row red 9, top red 7
    ASSERT_TRUE(load(reader, tga(2, 1, 2, 24, 5).append({'h', 'e', 'l', 'l', 'o'}).append(rows)));
    EXPECT_EQ(red(0, 0) * 10 + red(1, 0), 97);
    // Top-left origin: the first stored row is the top one.
    ASSERT_TRUE(load(reader, tga(2, 1, 2, 24, 0, 0x20).append(rows)));
    EXPECT_EQ(red(0, 0) * 10 + red(1, 0), 79);
    // Sides up to 4096 are taken.
    EXPECT_TRUE(load(reader, runLengthTga(4096, 1)) && load(reader, runLengthTga(1, 4096)));
    ByteFile good = tga(2, 2, 2, 32).fill(16, 0x55);
    ASSERT_TRUE(load(reader, good));
    // No width, negative height, a side past 4096 (each way), too wide, a gigabyte promised by ten
    // bytes (raw and packed), cut short (also inside the header), an id field past the end, a run
    // of five into four pixels, a raw packet past them, a missing last packet, 15 bits, a
    // colour-mapped type and a colour map present.
    refuses(reader, {tga(2, 0, 2, 32).fill(16, 0), tga(2, 2, -2, 32).fill(16, 0),
                     runLengthTga(4097, 2), runLengthTga(2, 4097),
                     tga(3, 20000, 1, 8).fill(20000, 0), tga(3, 16384, 16384, 8).fill(10, 0),
                     tga(11, 16384, 16384, 8).fill(10, 0x81), good.truncated(1), good.truncated(20),
                     tga(2, 2, 2, 32, 200).fill(16, 0), tga(10, 2, 2, 32).u8(0x84).fill(4, 0),
                     tga(10, 2, 2, 32).u8(0x81).fill(4, 0).u8(0x02).fill(12, 0),
                     tga(10, 2, 2, 32).u8(0x81).fill(4, 0), tga(2, 1, 1, 15).fill(8, 0),
                     tga(1, 1, 1, 24).fill(3, 0), tga(2, 1, 1, 24, 0, 0, 1).fill(3, 0)});
    EXPECT_FALSE(reader->load(folder.file("missing.tga"), &image));
    EXPECT_TRUE(!reader->load(folder.path(), &image) && untouched());
}

// A picture the memory cannot hold is refused, never a crash: 64 MB of pixels from a 640 kB
// file, read in a child process with 16 MB to spare. The address sanitizer reserves terabytes
// of address space, so no such limit can be set under it.
TEST_F(ImageFile, TgaTheMemoryCannotHoldIsRefused) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "no address space limit under the address sanitizer";
#elif defined(__has_feature)
    if (__has_feature(address_sanitizer))
        GTEST_SKIP() << "no address space limit under the address sanitizer";
#endif
    const std::string big = runLengthTga(4096, 4096).writeTo(folder.file("big.tga"));
    auto [status, said] = inChild([&] {
        const std::string process = readFileBytes("/proc/self/status");
        const rlim_t bytes =
            (std::stoul(process.substr(process.find("VmSize:") + 7)) + 16384) * 1024;
        rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
        // What escapes the reader ends the child, as it would end the game.
        return [&]() noexcept { return !pTGALoader::instance()->load(big, &image); }();
    });
    // Refused in too little memory (not loaded, not ended by a signal), and loaded with enough.
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(pTGALoader::instance()->load(big, &image));
}

TEST_F(ImageFile, BmpPaddedRowsPalettesAndTheDataOffsetAndNoHostileFile) {
    pBMPLoader* reader = pBMPLoader::instance();
    for (uint32_t width : {1u, 2u, 3u}) {
        Bmp bmp{.width = width, .height = 2};
        for (int row = 0; row < 2; ++row) {
            for (uint32_t c = 0; c < width; ++c)
                bmp.pixels.insert(bmp.pixels.end(), {0, static_cast<unsigned char>(c),
                                                     static_cast<unsigned char>(row + 1)});
            bmp.pixels.resize((width * 3 + 3) / 4 * 4 * (row + 1), 0xAA); // padding
        }
        ASSERT_TRUE(load(reader, bmp.file()));
        EXPECT_EQ(image.getPixel(0, width - 1), pPixel(1, width - 1, 0, 255)) << width;
        EXPECT_EQ(image.getPixel(1, width - 1), pPixel(2, width - 1, 0, 255)) << width;
        bmp.height = -2; // the same rows stored top down
        ASSERT_TRUE(load(reader, bmp.file()));
        EXPECT_EQ(red(0, 0) * 10 + red(1, 0), 21);
    }
    ASSERT_TRUE(load(reader, Bmp{.bits = 32, .pixels = {10, 20, 30, 40}}.file()));
    EXPECT_EQ(image.getPixel(0, 0), pPixel(30, 20, 10, 255));
    ASSERT_TRUE(
        load(reader, Bmp{.width = 2, .bits = 16, .pixels = {0xFF, 0x7F, 0xFF, 0xFF}}.file()));
    EXPECT_EQ(image.getPixel(0, 1), pPixel(248, 248, 248, 255));

    Bmp four{.width = 3, .bits = 4, .pixels = {0x10, 0x1F, 0, 0}}; // odd width: last half unused
    four.palette = {0x00FF00, 0xFF0000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(load(reader, four.file()));
    EXPECT_TRUE(image.getPixel(0, 0) == pPixel(255, 0, 0, 255) &&
                image.getPixel(0, 1) == pPixel(0, 255, 0, 255) &&
                image.getPixel(0, 2) == pPixel(255, 0, 0, 255));
    // Two colours stored, then a gap up to the data offset; indexes past them are black.
    Bmp eight{.width = 3, .bits = 8, .colorsUsed = 2, .palette = {0x0000FF, 0x123456}, .gap = 6};
    eight.pixels = {1, 0, 200, 0};
    ASSERT_TRUE(load(reader, eight.file()));
    EXPECT_TRUE(image.getPixel(0, 0) == pPixel(0x12, 0x34, 0x56, 255) &&
                image.getPixel(0, 1) == pPixel(0, 0, 255, 255) &&
                image.getPixel(0, 2) == pPixel(0, 0, 0, 255));
    // Sixteen bytes of pixels, 2 x 2 at 24 bits a pixel; one bit a pixel has two colours.
    auto bmp = [](uint32_t width, int32_t height, unsigned bits, uint32_t compression,
                  std::vector<uint32_t> palette = {}) {
        Bmp b{width, height, bits, compression, 0, palette};
        b.pixels.assign(16, 0x33);
        return b.file();
    };
    const ByteFile good = bmp(2, 2, 24, 0);
    ASSERT_TRUE(load(reader, good));
    auto patched = [&](size_t at, unsigned char value) {
        ByteFile f = good;
        f.bytes[at] = value;
        return f;
    };
    // Not "BM", pixel data inside the headers, an OS/2 info header, cut short, compressed, one
    // bit a pixel, no width, the most negative height, a gigabyte of 70 bytes, too wide.
    refuses(reader, {patched(0, 'X'), patched(10, 20), patched(14, 12), good.truncated(1),
                     good.truncated(40), bmp(2, 2, 24, 1), bmp(2, 2, 24, 2), bmp(2, 2, 24, 3),
                     bmp(2, 2, 1, 0, {0, 0xFFFFFF}), bmp(0, 2, 24, 0), bmp(2, INT32_MIN, 24, 0),
                     bmp(16384, 16384, 24, 0), bmp(16385, 2, 24, 0)});
}

using Textures = GLTestContext;

// Textures upload at a power-of-two size, keep their picture only when asked, and the loader
// and the cache read each file once; the texturing program draws as fixed function does.
TEST_F(Textures, UploadLoadEachFileOnceAndDrawWithOrWithoutTheProgram) {
    pImage picture(100, 40);
    pTexture plain, kept;
    plain.bindWithImage(&picture, false, false);
    kept.bindWithImage(&picture, true, true);
    std::string levels;
    for (auto [texture, level, which] : {std::tuple{&plain, 0, GL_TEXTURE_WIDTH},
                                         {&plain, 0, GL_TEXTURE_HEIGHT},
                                         {&plain, 1, GL_TEXTURE_WIDTH},
                                         {&kept, 7, GL_TEXTURE_WIDTH}}) {
        GLint value = -1;
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture->getTexID()));
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &value);
        levels += std::to_string(value) + " ";
    }
    EXPECT_EQ(levels, "128 32 0 1 ");
    EXPECT_TRUE(!plain.getImage() && kept.getImage() && kept.getImage() != &picture &&
                picture.getWidth() == 100);
    kept.deleteImage();
    EXPECT_TRUE(!kept.getImage() && glIsTexture(static_cast<GLuint>(kept.getTexID())));
    TempFolder folder;
    ByteFile redBlue = tga(2, 2, 1, 24).append({0, 0, 255, 255, 0, 0});
    std::string file = redBlue.writeTo(folder.file("pic.tga"));
    pTextureLoader* loader = pTextureLoader::instance();
    std::unique_ptr<pTexture> loaded(loader->loadTexture(file, false, true));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->getImage()->getPixel(0, 1), pPixel(0, 0, 255, 255));
    EXPECT_EQ(loader->loadTexture(ByteFile().u32(0).writeTo(folder.file("bad.bmp")), 0, 0),
              nullptr);
    pTextureManager* cache = pTextureManager::instance();
    pTexture* cached = cache->getTexture(file);
    std::filesystem::remove(file);
    EXPECT_TRUE(cached && cache->getTexture(file) == cached) << "served without reading again";
    EXPECT_EQ(cache->getTexture(folder.file("later.tga")), nullptr);
    redBlue.writeTo(folder.file("later.tga"));
    EXPECT_NE(cache->getTexture(folder.file("later.tga")), nullptr) << "a failure is not kept";
    cache->clearTextures();
    EXPECT_EQ(cache->getTexture(file), nullptr);
    // The texturing program draws exactly what fixed function draws (a filtered, scaled, tinted
    // and blended picture), is used only where texturing is on, and is put away after the outer
    // scope.
    picture.reinitialize(64, 64);
    for (int row = 0; row < 64; row++)
        for (int column = 0; column < 64; column++)
            picture.setPixel(row, column,
                             pPixel(column * 4, row * 4, (row * column) % 256, (row + column) * 2));
    plain.bindWithImage(&picture, false, false);
    auto draw = [&](bool textured, bool wanted) {
        glClearColor(0.3f, 0.1f, 0.6f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        blended();
        if (!textured)
            glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(plain.getTexID()));
        glColor4f(0.9f, 0.5f, 0.7f, 0.6f);
        pTextureProgram::Scope outer(wanted);
        bool innerUsed = false;
        {
            pTextureProgram::Scope inner(true); // follows the outer scope's choice
            innerUsed = inner.programmed();
        }
        // The inner scope's end leaves the outer one's program on.
        const bool stillOn = glIsEnabled(GL_FRAGMENT_PROGRAM_ARB);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(0.1f, 0.9f), glVertex2f(13.5f, 7);
        glTexCoord2f(0.8f, 0.9f), glVertex2f(413.5f, 7);
        glTexCoord2f(0.1f, 0.2f), glVertex2f(13.5f, 290);
        glTexCoord2f(0.8f, 0.2f), glVertex2f(413.5f, 290);
        glEnd();
        return std::tuple{readAll(), outer.programmed(), innerUsed && stillOn};
    };
    for (bool textured : {true, false}) {
        auto [fixed, fixedUsed, fixedInner] = draw(textured, false);
        auto [programmed, used, innerUsed] = draw(textured, true);
        EXPECT_TRUE(!fixedUsed && !fixedInner && used == textured && innerUsed == textured);
        EXPECT_TRUE(programmed == fixed) << "textured " << textured;
        EXPECT_FALSE(glIsEnabled(GL_FRAGMENT_PROGRAM_ARB));
    }
}
