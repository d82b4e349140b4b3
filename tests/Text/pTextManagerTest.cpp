#include "Text/pTextManager.h"

#include "Game/pPlinx.h"
#include "Shell/pOGLUtil.h"
#include "Utils/pStringUtils.h"
#include "tests/support/FontSheet.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/InkBox.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// The test font: 'H' is a 12 x 12 texel block standing on the baseline, 'i' a 3-texel column,
// the blank measures 6 texels and 'T' is the tallest ink (12 of 16 rows), so the glyph size is
// 4/3 of the text height. At h = 48 a texel is 4 pixels and 'H' measures 44 + 3.2 pixels.
class TextManagerTest : public GLTestContext {
protected:
    TempFolder folder;
    pTextManager* text = pTextManager::instance();

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        FontSheet sheet;
        sheet.block('H', 2, 13, 2, 13).marker('H', 2);
        sheet.block('i', 4, 6, 2, 10).marker('i', 2);
        sheet.block('T', 2, 9, 2, 14).marker('T', 2);
        sheet.block(' ', 1, 7, 2, 2).marker(' ', 2);
        ASSERT_TRUE(text->loadAndSetFont(sheet.writeTo(folder.file("test.tga")), "Test"));
        pOGLUtil::setOrthographicProjection(kWidth, kHeight);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(1, 1, 1, 1);
    }

    void TearDown() override {
        // The fonts' textures belong to this test's context.
        text->currentFont = nullptr;
        text->fonts.clear();
        pPlinx::instance()->transitionManager.active = false;
        GLTestContext::TearDown();
    }

    InkBox ink() { return InkBox::of(readAll(), kWidth, kHeight); }
};

TEST_F(TextManagerTest, FontsAreRegisteredByName) {
    EXPECT_FALSE(text->loadFont(folder.file("test.tga"), "Test"));
    EXPECT_FALSE(text->loadAndSetFont(folder.file("missing.tga"), "Other"));
    EXPECT_EQ(text->fonts.count("Other"), 0u);
    EXPECT_TRUE(text->loadFont(folder.file("test.tga"), "Second"));
    EXPECT_EQ(text->currentFont, text->fonts["Test"].get());
    EXPECT_FALSE(text->setCurrentFont("Euphemia"));
    EXPECT_EQ(text->currentFont, text->fonts["Test"].get());
    EXPECT_TRUE(text->setCurrentFont("Second"));
    EXPECT_EQ(text->currentFont, text->fonts["Second"].get());
}

TEST_F(TextManagerTest, MeasuresWidestLineAndAllLines) {
    EXPECT_FLOAT_EQ(text->getStringWidth("H", 48), 47.2f);
    EXPECT_FLOAT_EQ(text->getStringWidth("", 48), 0.0f);
    EXPECT_FLOAT_EQ(text->getStringWidth("Hi\nHHH", 48), 3 * 47.2f);
    EXPECT_FLOAT_EQ(text->getStringWidth(" ", 48), 24 + 3.2f);
    EXPECT_FLOAT_EQ(text->getStringHeight("a\r\nb", 10), 34.0f);

    const std::string red = pTextManager::getColorChangeStringub(255, 0, 0, 255);
    EXPECT_FLOAT_EQ(text->getStringWidth(red, 48), 0.0f);
    EXPECT_FLOAT_EQ(text->getStringWidth("H" + red + "H", 48), 2 * 47.2f);
    // Codes past 127 and an escape cut short by the end count nothing.
    EXPECT_FLOAT_EQ(text->getStringWidth("H\xC8\xFF", 48), 47.2f);
    EXPECT_FLOAT_EQ(text->getStringWidth("H\x01"
                                         "AA",
                                         48),
                    47.2f);

    text->currentFont = nullptr;
    EXPECT_FLOAT_EQ(text->getStringWidth("HHH", 48), 0.0f);
    text->drawString("HHH", 100, 100, 48);
    text->drawStringCentered("HHH", 100, 100, 48);
    EXPECT_EQ(litPixels(), 0);
}

TEST_F(TextManagerTest, ColourEscapesHaveExactBytesAndSetTheColour) {
    EXPECT_EQ(pTextManager::getColorChangeStringf(1.0f, 0.5f, 0.0f, 1.0f), std::string("\x01"
                                                                                       "A\x20\x01"
                                                                                       "A"));
    EXPECT_EQ(pTextManager::getColorChangeStringub(255, 128, 0, 64), std::string("\x01"
                                                                                 "A\x21\x01\x11"));
    EXPECT_EQ(pTextManager::getColorChangeStringf(2.0f, -1.0f, 1e30f, 0.999f),
              std::string("\x01"
                          "A\x01"
                          "A\x40"));

    text->drawString(pTextManager::getColorChangeStringf(1.0f, 0.5f, 0.0f, 1.0f), 10, 100, 48);
    EXPECT_EQ(litPixels(), 0);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_NEAR(colour[0] * 255, 255, 0.01);
    EXPECT_NEAR(colour[1] * 255, 124, 0.01);
    EXPECT_NEAR(colour[2] * 255, 0, 0.01);
    EXPECT_NEAR(colour[3] * 255, 255, 0.01);

    // Code bytes 10 and 13 are colours, not line breaks.
    const std::string amber = pTextManager::getColorChangeStringf(1.0f, 0.8f, 0.2f, 1.0f);
    ASSERT_EQ(amber[3], '\r');
    EXPECT_FLOAT_EQ(text->getStringHeight(amber + "H", 10), 10.0f);
    EXPECT_FLOAT_EQ(text->getStringWidth(amber + "H", 48), 47.2f);
    EXPECT_EQ(text->formatStringToWidth(amber + "HH HH", 3 * 47.2f, 48), amber + "HH\nHH");
    text->drawString(amber + "H", 10, 100, 48);
    EXPECT_EQ(ink().bottom, 99);
    EXPECT_EQ(ink().top, 52);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_NEAR(colour[1] * 255, 204, 0.01);
    EXPECT_NEAR(colour[2] * 255, 48, 0.01);

    // A cut-short escape ends the line without changing the colour.
    glClear(GL_COLOR_BUFFER_BIT);
    text->drawString(std::string("H\x01\x02\x02\x02"), 10, 100, 48);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_NEAR(colour[1] * 255, 204, 0.01);
    EXPECT_EQ(ink().right, 57);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

TEST_F(TextManagerTest, WrapsAtBlanksAndBreaksLongWords) {
    // Every glyph but the blank measures like 'H' here; wrap to four of them.
    const std::string words = "HH HHH H HHHH HH H HHH HHHH H";
    const std::string wrapped = text->formatStringToWidth(words, 4 * 47.2f + 1, 48);
    std::string joined;
    for (const std::string& line : lines(wrapped)) {
        EXPECT_LE(text->getStringWidth(line, 48), 4 * 47.2f + 1) << line;
        EXPECT_FALSE(line.empty() || line.front() == ' ' || line.back() == ' ') << line;
        joined += (joined.empty() ? "" : " ") + line;
    }
    EXPECT_EQ(joined, words);

    // A 30-letter word, 5 letters a line: each overflow keeps all but the last two letters.
    const std::string word(30, 'H');
    const std::vector<std::string> pieces =
        lines(text->formatStringToWidth(word, 5 * 47.2f + 1, 48));
    std::string rejoined;
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i], "HHHH-");
        rejoined += pieces[i].substr(0, pieces[i].size() - 1);
    }
    rejoined += pieces.back();
    EXPECT_EQ(rejoined, word);

    // Too narrow for three letters, or for any: every piece still holds one letter.
    EXPECT_EQ(text->formatStringToWidth("HHHH", 1.5f * 47.2f, 48), "H-\nH-\nH-\nH");
    EXPECT_EQ(text->formatStringToWidth("HHH", 1.0f, 48), "H-\nH-\nH");
    EXPECT_EQ(text->formatStringToWidth("", 1.0f, 48), "");
}

TEST_F(TextManagerTest, AlignedStringsLandWhereMeasured) {
    // Measured widths run to the end of the gap after the last glyph; the visible ink ends one
    // texel past the measured ink width.
    const float gap = 3.2f;
    const float texel = 4.0f;
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

TEST_F(TextManagerTest, ClippedStringStaysInsideItsRectangle) {
    text->drawString("HHHH\nHHHH", 100, 100, 48, 130, 220, 80, 140);
    int outside = 0;
    const std::vector<unsigned char> rgba = readAll();
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool inside = x >= 130 && x < 220 && y >= 80 && y < 140;
            outside += !inside && rgba[(static_cast<size_t>(kHeight - 1 - y) * kWidth + x) * 4];
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(InkBox::of(rgba, kWidth, kHeight).count, 60 * 40);
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
    EXPECT_EQ(first.left, 106);
    EXPECT_EQ(first.right, 129);
    EXPECT_EQ(first.top, 168);
    EXPECT_EQ(first.bottom, 191);
    EXPECT_EQ(second.left, 153);
    EXPECT_EQ(second.right, 176);
    EXPECT_EQ(second.top, 168);
}

} // namespace
