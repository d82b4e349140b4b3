#include "Text/pTextManager.h"
#include "Game/pPlinx.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/Files.h"
#include "Text/pFontDesc.h"
#include "Image/pTexture.h"

#include <chrono>
#include <cmath>
#include <sstream>

namespace {

// A font sheet built pixel by pixel: 16 x 8 cells of 16 x 16 pixels (256 x 128), white, with
// alpha set where a test puts ink or a baseline marker. Cell coordinates count x from the cell's
// left edge and y from its bottom edge; column 0 is the marker column.
struct FontSheet {
    static constexpr int CELL = 16, WIDTH = 16 * CELL, HEIGHT = 8 * CELL;
    std::vector<unsigned char> alpha = std::vector<unsigned char>(WIDTH * HEIGHT, 0);

    static size_t index(int ch, int x, int y) {
        return size_t((7 - ch / 16) * CELL + y) * WIDTH + (ch % 16) * CELL + x;
    }
    FontSheet& ink(int ch, int x, int y, unsigned char a = 255) {
        return alpha[index(ch, x, y)] = a, *this;
    }
    // Fills the cell columns x0..x1 and rows y0..y1 (inclusive).
    FontSheet& block(int ch, int x0, int x1, int y0, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                ink(ch, x, y);
        return *this;
    }
    FontSheet& marker(int ch, int y) { return ink(ch, 0, y); }
    // An uncompressed 32-bit TGA, bottom row first.
    std::string writeTo(const std::string& path) const {
        ByteFile file;
        file.u8(0).u8(0).u8(2).fill(9, 0).u16(WIDTH).u16(HEIGHT).u8(32).u8(8);
        for (unsigned char a : alpha)
            file.u8(255).u8(255).u8(255).u8(a);
        return file.writeTo(path);
    }
};

// The test font: 'H' is a 12 x 12 texel block standing on the baseline, 'i' a 3-texel column,
// the blank measures 6 texels and 'T' is the tallest ink (12 of 16 rows), so the glyph size is
// 4/3 of the text height. At h = 48 a texel is 4 pixels and 'H' measures 44 + 3.2 pixels.
class TextManagerTest : public GLTestContext {
protected:
    TempFolder folder;
    pTextManager* text = pTextManager::instance();
    pFontDesc* before = nullptr;
    std::string name = "Test" + std::to_string(++made);
    static inline int made = 0;

    void ready() override {
        before = text->currentFont;
        FontSheet sheet;
        sheet.block('H', 2, 13, 2, 13).marker('H', 2);
        sheet.block('i', 4, 6, 2, 10).marker('i', 2);
        sheet.block('T', 2, 9, 2, 14).marker('T', 2);
        sheet.block(' ', 1, 7, 2, 2).marker(' ', 2);
        ASSERT_TRUE(text->loadAndSetFont(sheet.writeTo(folder.file("test.tga")), name));
        blended();
    }
    void TearDown() override {
        text->currentFont = before;
        pPlinx::instance()->transitionManager.active = false;
    }
    // The current colour as "r,g,b,a," in 0..255.
    static std::string colour() {
        GLfloat c[4];
        glGetFloatv(GL_CURRENT_COLOR, c);
        std::string all;
        for (GLfloat channel : c)
            all += std::to_string(std::lround(channel * 255)) + ",";
        return all;
    }
};

// Fonts are registered once by name; measuring takes the widest line and every line break; a
// font's glyph metrics come from the ink of its sheet and the baseline markers.
TEST_F(TextManagerTest, FontsRegisterOnceMeasureStringsAndTakeTheirMetricsFromTheInk) {
    pFontDesc* mine = text->currentFont;
    EXPECT_FALSE(text->loadFont(folder.file("test.tga"), name) ||
                 text->loadAndSetFont(folder.file("missing.tga"), name + "x") ||
                 text->fonts.count(name + "x") || text->setCurrentFont("Euphemia"));
    EXPECT_TRUE(text->loadFont(folder.file("test.tga"), name + "b") && text->currentFont == mine);
    EXPECT_TRUE(text->setCurrentFont(name + "b") && text->currentFont != mine);
    const std::string red = pTextManager::getColorChangeStringub(255, 0, 0, 255);
    // Codes past 127 and an escape cut short by the end count nothing.
    std::string widths;
    for (const std::string& string :
         {std::string("H"), std::string(), std::string("Hi\nHHH"), std::string(" "), red,
          "H" + red + "H", std::string("H\xC8\xFF"), std::string("H\001AA")})
        widths += std::to_string(std::lround(text->getStringWidth(string, 48) * 10)) + " ";
    EXPECT_EQ(widths, "472 0 1416 272 0 944 472 472 ");
    EXPECT_FLOAT_EQ(text->getStringHeight("a\r\nb", 10) + text->getStringHeight("a", 10), 44);
    text->currentFont = nullptr;
    EXPECT_FLOAT_EQ(text->getStringWidth("HHH", 48), 0.0f);
    text->drawString("HHH", 100, 100, 48);
    text->drawStringCentered("HHH", 100, 100, 48);
    EXPECT_EQ(litPixels(), 0);
    FontSheet sheet;
    sheet.block('|', 5, 5, 4, 9).marker('|', 4);
    sheet.block('B', 3, 6, 5, 8).marker('B', 2).marker('B', 9);
    sheet.block('T', 2, 9, 2, 14).marker('T', 2);
    sheet.block('N', 4, 8, 6, 9).block('l', 1, 1, 2, 5); // 'l' inked in the first column only
    sheet.block('\x7f', 1, 15, 0, 15).marker('\x7f', 0); // the last cell, filled to its edges
    sheet.block('\x02', 7, 8, 3, 3).marker('\x02', 3);   // a cell of the first row
    sheet.ink('o', 1, 7, 1).ink('o', 15, 7, 1); // faint ink still counts, up to the last column
    pFontDesc font(sheet.writeTo(folder.file("font.tga")));
    ASSERT_TRUE(font.ok());
    // Left, width, top, height and baseline of each, in sixteenths of the cell.
    const std::pair<char, std::array<float, 5>> expected[] = {
        {'|', {5, 0, 9, 5, 4}},       {'B', {3, 3, 8, 3, 2}},    {'N', {4, 4, 9, 3, 0}},
        {'o', {1, 14, 7, 0, 0}},      {'a', {0, 0, 0, 0, 0}},    {'T', {2, 7, 14, 12, 2}},
        {'\x7f', {1, 14, 15, 15, 0}}, {'\x02', {7, 1, 3, 0, 3}}, {'l', {1, 0, 5, 3, 0}}};
    for (const auto& [ch, m] : expected) {
        const pGlyphMetrics& g = font.glyphs[static_cast<int>(ch)];
        EXPECT_EQ((std::array<float, 5>{g.left, g.width, g.top, g.height, g.baseline}),
                  (std::array<float, 5>{m[0] / 16, m[1] / 16, m[2] / 16, m[3] / 16, m[4] / 16}))
            << ch;
    }
    // The baseline marker is wiped from the uploaded texture; ink and a second marker stay.
    std::vector<unsigned char> texels(FontSheet::WIDTH * FontSheet::HEIGHT * 4);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(font.texture->getTexID()));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    auto alpha = [&](int x, int y) { return texels[FontSheet::index('B', x, y) * 4 + 3]; };
    EXPECT_EQ(alpha(0, 2) + alpha(0, 9) * 1000 + alpha(3, 5), 255255);
    EXPECT_EQ(font.getMaxCharHeight(), 15.0f / 16);
    EXPECT_EQ(font.getCharWidth('T', 32.0f), 14.0f);
    EXPECT_EQ(font.getCharWidth(static_cast<char>(200), 32.0f), 0.0f);
    EXPECT_EQ(font.texture->getImage(), nullptr);
    EXPECT_FALSE(pFontDesc(folder.file("missing.tga")).ok());
}

// Colour escapes: their bytes, the colour they set, and word wrapping around them.
TEST_F(TextManagerTest, ColourEscapesSetTheColourAndWrappingKeepsThemWhole) {
    EXPECT_EQ(pTextManager::getColorChangeStringf(1.0f, 0.5f, 0.0f, 1.0f), "\001A\040\001A");
    EXPECT_EQ(pTextManager::getColorChangeStringub(255, 128, 0, 64), "\001A\041\001\021");
    EXPECT_EQ(pTextManager::getColorChangeStringf(2.0f, -1.0f, 1e30f, 0.999f), "\001A\001A\100");
    text->drawString(pTextManager::getColorChangeStringf(1.0f, 0.5f, 0.0f, 1.0f), 10, 100, 48);
    EXPECT_EQ(litPixels(), 0);
    EXPECT_EQ(colour(), "255,124,0,255,");
    // Code bytes 10 and 13 are colours, not line breaks; a cut-short escape ends the line
    // without changing the colour.
    const std::string amber = pTextManager::getColorChangeStringf(1.0f, 0.8f, 0.2f, 1.0f);
    ASSERT_EQ(amber[3], '\r');
    EXPECT_EQ(text->getStringHeight(amber + "H", 10) + text->getStringWidth(amber + "H", 48),
              57.2f);
    text->drawString(amber + "H", 10, 100, 48);
    EXPECT_EQ(inkBox() + " " + colour(), "10,57,52,99 255,204,48,255,");
    glClear(GL_COLOR_BUFFER_BIT);
    text->drawString(std::string("H\001\002\002\002"), 10, 100, 48);
    EXPECT_EQ(inkBox() + " " + colour(), "10,57,52,99 255,204,48,255,");
    // Every glyph but the blank measures like 'H' here. At four of them to a line the words
    // wrap at blanks; a word that does not fit breaks with a hyphen, the last two letters
    // going on (also more than ten letters past the last blank), and a piece always keeps one
    // letter however narrow the width. The amber escape's line-break byte breaks no line.
    const float h4 = 4 * 47.2f + 1;
    const std::tuple<std::string, float, std::string> wraps[] = {
        {"HH HHH H HHHH HH H HHH HHHH H", h4, "HH\nHHH\nH\nHHHH\nHH H\nHHH\nHHHH\nH"},
        {"HH\tHHH", h4, "HH\nHHH"},
        {std::string(10, 'H'), 5 * 47.2f + 1, "HHHH-\nHHHH-\nHH"},
        {"H " + std::string(12, 'H'), 12 * 47.2f, "H HHHHHHHHH-\nHHH"},
        {"HHHH", 1.5f * 47.2f, "H-\nH-\nH-\nH"},
        {"HHH", 1.0f, "H-\nH-\nH"},
        {"", 1, ""},
        {amber + "HH HH", 3 * 47.2f, amber + "HH\nHH"},
        {"HH HH" + amber, 3 * 47.2f, "HH\nHH" + amber}};
    for (const auto& [input, width, expected] : wraps)
        EXPECT_EQ(text->formatStringToWidth(input, width, 48), expected) << input;
    // Wherever a word breaks, a colour escape stays whole: white's code bytes are letters,
    // black's are themselves the escape byte.
    const std::string word(12, 'H');
    for (const std::string& escape : {pTextManager::getColorChangeStringf(1, 1, 1, 1),
                                      pTextManager::getColorChangeStringub(0, 0, 0, 255)}) {
        for (int width = 1; width <= 600; width++) {
            std::istringstream lines(text->formatStringToWidth(word + escape + word, width, 20));
            std::string letters, line;
            int escapes = 0;
            while (std::getline(lines, line)) {
                if (!lines.eof() && !line.empty() && line.back() == '-')
                    line.pop_back(); // the hyphen of a broken word
                for (size_t i = 0; i < line.size(); i++)
                    if (line.compare(i, 5, escape) == 0)
                        escapes++, i += 4;
                    else
                        letters += line[i];
            }
            ASSERT_EQ(letters + std::to_string(escapes), word + word + "1") << "width " << width;
        }
    }
}

// Left, centred or right, each line on its own, 1.2 text heights apart; the visible ink ends a
// texel past the measured ink, which leaves out the gap after the last glyph.
TEST_F(TextManagerTest, AlignedStringsLandWhereMeasuredAndShrinkWithTheFade) {
    EXPECT_FLOAT_EQ(text->getStringWidth("HiH", 48), 105.6f);
    std::string boxes;
    text->drawString("HiH", 100, 100, 48);
    boxes += inkBox() + " ";
    glClear(GL_COLOR_BUFFER_BIT);
    text->drawStringCentered("HiH\nH", 320, 100, 48);
    boxes += inkBox() + std::to_string(pixel(298, 130)[0] + pixel(290, 130)[0]) + " ";
    glClear(GL_COLOR_BUFFER_BIT);
    text->drawStringFromRight("H\r\rHiH", 600, 100, 48);
    boxes += inkBox() + std::to_string(pixel(560, 130)[0]) + " ";
    EXPECT_EQ(boxes, "100,205,52,99 267,373,52,157255 494,600,52,2140 ");
    // Cut at the sides of a rectangle, with the ink edges' half-lit pixels aside.
    glClear(GL_COLOR_BUFFER_BIT);
    text->drawString("HHHH\nHHHH", 100, 100, 48, 130, 220, 80, 140);
    EXPECT_TRUE(litPixels() == litPixels(130, 80, 220, 140) && litPixels() > 60 * 40);
    glClear(GL_COLOR_BUFFER_BIT);
    text->drawStringCentered("HHHH", 400, 300, 48, 380, 420, 0, 480);
    EXPECT_EQ(litPixels(0, 0, kWidth, kHeight, 127), litPixels(380, 252, 420, 300, 127));
    EXPECT_EQ(litPixels(380, 252, 420, 300, 127), 40 * 48);
    glClear(GL_COLOR_BUFFER_BIT);
    text->drawStringFromRight("HHHH", 600, 400, 48, 0, 560, 0, 480);
    EXPECT_EQ(inkBox(), "411,559,352,399");

    // A text far longer than the window, as a doctored scores.txt can hold: drawing it costs what
    // its visible part costs, shows the same, and still leaves the colour its end sets.
    const auto shown = [&](const std::string& s, int variant, double& seconds) {
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        auto start = std::chrono::steady_clock::now();
        if (variant == 1)
            text->drawString(s, 64, 100, 20, 0, 300, 0, 480);
        else
            text->drawString(s, 64, variant ? 900 : 100, 20); // 2: below the window
        glFinish();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return readAll();
    };
    std::string visible;
    for (int i = 0; i < 200; i++)
        visible += "HiT "[i % 4];
    const std::string end = pTextManager::getColorChangeStringub(255, 0, 0, 255) + "\nHiT";
    for (int variant = 0; variant < 3; variant++) {
        double shortTime = 0, longTime = 0;
        auto expected = shown(visible + end, variant, shortTime);
        EXPECT_TRUE(shown(visible + std::string(4 << 20, 'H') + end, variant, longTime) ==
                    expected);
        EXPECT_EQ(colour(), "255,0,0,255,") << "the colour change at the end was lost";
        EXPECT_LT(longTime, 0.1) << "the visible part alone: " << shortTime << " s";
    }
    // Half way into a fade: half-size glyphs, each 44 / 8 right of its pen and 64 / 8 up.
    pTransitionManager& fade = pPlinx::instance()->transitionManager;
    fade.active = true;
    fade.darkness = 0.5f;
    glClear(GL_COLOR_BUFFER_BIT);
    text->drawString("HH", 100.25f, 200, 48);
    EXPECT_EQ(inkBox(0, 148) + " " + inkBox(148), "106,129,168,191 153,176,168,191");
}

} // namespace
