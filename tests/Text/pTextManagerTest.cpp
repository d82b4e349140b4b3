#include "Text/pTextManager.h"

#include "Game/pPlinx.h"
#include "tests/support/FontSheet.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/InkBox.h"
#include "tests/support/TempFolder.h"

#include <sstream>

namespace {

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

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
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
    InkBox ink() { return InkBox::of(readAll(), kWidth, kHeight); }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
};

// Fonts are registered once by name; measuring takes the widest line and every line break.
TEST_F(TextManagerTest, FontsAreRegisteredOnceAndMeasureWidestLineAndAllLines) {
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
}

TEST_F(TextManagerTest, ColourEscapesHaveExactBytesAndSetTheColour) {
    EXPECT_EQ(pTextManager::getColorChangeStringf(1.0f, 0.5f, 0.0f, 1.0f), "\x01"
                                                                           "A\x20\x01"
                                                                           "A");
    EXPECT_EQ(pTextManager::getColorChangeStringub(255, 128, 0, 64), "\x01"
                                                                     "A\x21\x01\x11");
    EXPECT_EQ(pTextManager::getColorChangeStringf(2.0f, -1.0f, 1e30f, 0.999f), "\x01"
                                                                               "A\x01"
                                                                               "A\x40");
    auto colour = [] {
        GLfloat c[4];
        glGetFloatv(GL_CURRENT_COLOR, c);
        return std::array<int, 4>{int(c[0] * 255 + 0.5f), int(c[1] * 255 + 0.5f),
                                  int(c[2] * 255 + 0.5f), int(c[3] * 255 + 0.5f)};
    };
    text->drawString(pTextManager::getColorChangeStringf(1.0f, 0.5f, 0.0f, 1.0f), 10, 100, 48);
    EXPECT_EQ(litPixels(), 0);
    EXPECT_EQ(colour(), (std::array<int, 4>{255, 124, 0, 255}));

    // Code bytes 10 and 13 are colours, not line breaks.
    const std::string amber = pTextManager::getColorChangeStringf(1.0f, 0.8f, 0.2f, 1.0f);
    ASSERT_EQ(amber[3], '\r');
    EXPECT_FLOAT_EQ(text->getStringHeight(amber + "H", 10), 10.0f);
    EXPECT_FLOAT_EQ(text->getStringWidth(amber + "H", 48), 47.2f);
    EXPECT_EQ(text->formatStringToWidth(amber + "HH HH", 3 * 47.2f, 48), amber + "HH\nHH");
    EXPECT_EQ(text->formatStringToWidth("HH HH" + amber, 3 * 47.2f, 48), "HH\nHH" + amber);
    text->drawString(amber + "H", 10, 100, 48);
    EXPECT_EQ(ink().bottom, 99);
    EXPECT_EQ(ink().top, 52);
    EXPECT_EQ(colour(), (std::array<int, 4>{255, 204, 48, 255}));

    // A cut-short escape ends the line without changing the colour.
    glClear(GL_COLOR_BUFFER_BIT);
    text->drawString(std::string("H\x01\x02\x02\x02"), 10, 100, 48);
    EXPECT_EQ(colour(), (std::array<int, 4>{255, 204, 48, 255}));
    EXPECT_EQ(ink().right, 57);
}

TEST_F(TextManagerTest, WrapsAtBlanksAndBreaksLongWords) {
    // Every glyph but the blank measures like 'H' here; wrap to four of them.
    const std::string words = "HH HHH H HHHH HH H HHH HHHH H";
    std::string joined;
    for (const std::string& line : lines(text->formatStringToWidth(words, 4 * 47.2f + 1, 48))) {
        EXPECT_LE(text->getStringWidth(line, 48), 4 * 47.2f + 1) << line;
        EXPECT_FALSE(line.empty() || line.front() == ' ' || line.back() == ' ') << line;
        joined += (joined.empty() ? "" : " ") + line;
    }
    EXPECT_EQ(joined, words);
    EXPECT_EQ(text->formatStringToWidth("HH\tHHH", 4 * 47.2f + 1, 48), "HH\nHHH");

    // A 30-letter word, 5 letters a line: each overflow keeps all but the last two letters, as
    // does a word more than ten letters past the last blank.
    const std::string word(30, 'H');
    const std::vector<std::string> pieces =
        lines(text->formatStringToWidth(word, 5 * 47.2f + 1, 48));
    std::string rejoined;
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i], "HHHH-");
        rejoined += pieces[i].substr(0, pieces[i].size() - 1);
    }
    EXPECT_EQ(rejoined + pieces.back(), word);
    EXPECT_EQ(lines(text->formatStringToWidth("H " + std::string(12, 'H'), 12 * 47.2f, 48))[0],
              "H HHHHHHHHH-");
    // Too narrow for three letters, or for any: every piece still holds one letter.
    EXPECT_EQ(text->formatStringToWidth("HHHH", 1.5f * 47.2f, 48), "H-\nH-\nH-\nH");
    EXPECT_EQ(text->formatStringToWidth("HHH", 1.0f, 48), "H-\nH-\nH");
    EXPECT_EQ(text->formatStringToWidth("", 1.0f, 48), "");
}

TEST_F(TextManagerTest, AlignedStringsLandWhereMeasured) {
    // Measured widths run to the end of the gap after the last glyph; the visible ink ends one
    // texel past the measured ink width.
    const float gap = 3.2f, texel = 4.0f;
    const float w = text->getStringWidth("HiH", 48);
    text->drawString("HiH", 100, 100, 48);
    InkBox box = ink();
    EXPECT_EQ(box.left, 100);
    EXPECT_NEAR(box.right + 1, 100 + w - gap + texel, 1.0f);
    EXPECT_EQ(box.top, 52);
    EXPECT_EQ(box.bottom, 99);

    glClear(GL_COLOR_BUFFER_BIT);
    text->drawStringCentered("HiH\nH", 320, 100, 48);
    box = ink();
    EXPECT_NEAR(box.left, 320 - w / 2, 1.0f);
    EXPECT_NEAR(box.right + 1, 320 + w / 2 - gap + texel, 1.0f);
    EXPECT_NEAR(box.bottom + 1, 100 + 1.2f * 48, 1.0f);
    EXPECT_EQ(pixel(298, 130)[0], 255); // the second line is centred on its own
    EXPECT_EQ(pixel(290, 130)[0], 0);

    glClear(GL_COLOR_BUFFER_BIT);
    text->drawStringFromRight("H\r\rHiH", 600, 100, 48);
    box = ink();
    EXPECT_NEAR(box.left, 600 - w, 1.0f);
    EXPECT_NEAR(box.right + 1, 600 - gap + texel, 1.0f);
    EXPECT_EQ(box.top, 52);
    EXPECT_NEAR(box.bottom + 1, 100 + 2 * 1.2f * 48, 1.0f);
    EXPECT_EQ(pixel(560, 130)[0], 0); // the middle line is empty
}

TEST_F(TextManagerTest, ClippedStringsStayInsideTheirRectangle) {
    text->drawString("HHHH\nHHHH", 100, 100, 48, 130, 220, 80, 140);
    EXPECT_EQ(litPixels(), litPixels(130, 80, 220, 140));
    EXPECT_GT(litPixels(), 60 * 40);
    glClear(GL_COLOR_BUFFER_BIT);
    // Placed by their centre or right end, then cut at the sides (ink edges half lit aside).
    text->drawStringCentered("HHHH", 400, 300, 48, 380, 420, 0, 480);
    EXPECT_EQ(litPixels(0, 0, kWidth, kHeight, 127), litPixels(380, 252, 420, 300, 127));
    EXPECT_EQ(litPixels(380, 252, 420, 300, 127), 40 * 48);
    glClear(GL_COLOR_BUFFER_BIT);
    text->drawStringFromRight("HHHH", 600, 400, 48, 0, 560, 0, 480);
    InkBox box = ink();
    EXPECT_EQ((std::array<int, 4>{box.left, box.right, box.top, box.bottom}),
              (std::array<int, 4>{411, 559, 352, 399}));
}

TEST_F(TextManagerTest, TextShrinksWithTheFadeButKeepsItsStride) {
    pTransitionManager& fade = pPlinx::instance()->transitionManager;
    fade.active = true;
    fade.darkness = 0.5f;
    text->drawString("HH", 100.25f, 200, 48);
    // Half-size glyphs (2 pixels a texel), each 44 / 8 right of its pen and 64 / 8 up.
    const std::vector<unsigned char> rgba = readAll();
    const InkBox first = InkBox::of(rgba, kWidth, kHeight, 0, 148);
    const InkBox second = InkBox::of(rgba, kWidth, kHeight, 148, kWidth);
    EXPECT_EQ((std::array<int, 4>{first.left, first.right, first.top, first.bottom}),
              (std::array<int, 4>{106, 129, 168, 191}));
    EXPECT_EQ(second.left, 153);
    EXPECT_EQ(second.right, 176);
    EXPECT_EQ(second.top, 168);
}

} // namespace
