#include "Text/pFontDesc.h"
#include "Text/pTextManager.h"

#include "Shell/pOGLUtil.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/InkBox.h"

#include <gtest/gtest.h>

namespace {

const pGlyphMetrics& glyph(const pFontDesc& font, unsigned char ch) {
    return font.glyphs[ch];
}

class BriskFontTest : public GLTestContext {};

// The shipped sheet must give every printable character ink on one shared baseline, a blank
// with a width, and room around each glyph.
TEST_F(BriskFontTest, SheetGivesUsableMetrics) {
    pFontDesc font(PLINX_SOURCE_DIR "/Resources/Brisk.tga");
    ASSERT_TRUE(font.ok());
    const float baseline = glyph(font, 'A').baseline;
    EXPECT_GT(baseline, 0.1f);
    for (int ch = 33; ch < 127; ++ch) {
        const pGlyphMetrics& g = font.glyphs[ch];
        EXPECT_EQ(g.baseline, baseline) << ch;
        EXPECT_GT(g.height, 0.0f) << ch;
        EXPECT_GT(g.left, 0.0f) << ch;
        EXPECT_LT(g.left + g.width, 1.0f) << ch;
    }
    for (int ch = 0; ch < 32; ++ch) {
        EXPECT_EQ(font.glyphs[ch].width + font.glyphs[ch].height, 0.0f) << ch;
    }
    EXPECT_EQ(glyph(font, ' ').height, 0.0f);
    EXPECT_GT(glyph(font, ' ').width, glyph(font, 'i').width);
    // Capitals stand on the baseline; descenders go below it.
    EXPECT_EQ(glyph(font, 'H').top - glyph(font, 'H').height, baseline);
    EXPECT_LT(glyph(font, 'g').top - glyph(font, 'g').height, baseline);
    EXPECT_GT(font.getMaxCharHeight(), 0.5f);
}

TEST_F(BriskFontTest, ScoreLineDrawsAtItsMeasuredSize) {
    pTextManager* text = pTextManager::instance();
    ASSERT_TRUE(text->loadAndSetFont(PLINX_SOURCE_DIR "/Resources/Brisk.tga", "BriskTest"));
    pOGLUtil::setOrthographicProjection(kWidth, kHeight);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    const float width = text->getStringWidth("Score : 1234", 32);
    text->drawString("Score : 1234", 50, 100, 32);
    const InkBox box = InkBox::of(readAll(), kWidth, kHeight);
    text->currentFont = nullptr;
    text->fonts.erase("BriskTest");

    EXPECT_NEAR(box.left, 50, 2);
    EXPECT_NEAR(box.right, 50 + width, 4);
    // Capitals and digits fill most of the text height above the baseline.
    EXPECT_NEAR(box.bottom, 99, 1);
    EXPECT_GT(100 - box.top, 0.65f * 32);
    EXPECT_LT(100 - box.top, 32);
}

} // namespace
