#include "Text/pFontDesc.h"

#include "tests/support/GLTestContext.h"

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

} // namespace
