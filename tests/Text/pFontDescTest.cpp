#include "Text/pFontDesc.h"

#include "Image/pTexture.h"
#include "Shell/pOGLUtil.h"
#include "tests/support/FontSheet.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/InkBox.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const pGlyphMetrics& glyph(const pFontDesc& font, unsigned char ch) {
    return font.glyphs[ch];
}

class FontDescTest : public GLTestContext {
protected:
    TempFolder folder;

    // The alpha of a texel of the uploaded texture, in cell coordinates.
    static int uploadedAlpha(pFontDesc& font, int ch, int x, int y) {
        std::vector<unsigned char> texels(FontSheet::WIDTH * FontSheet::HEIGHT * 4);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(font.texture->getTexID()));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        const int row = (7 - ch / 16) * FontSheet::CELL + y;
        return texels[(static_cast<size_t>(row) * FontSheet::WIDTH + (ch % 16) * 16 + x) * 4 + 3];
    }
};

TEST_F(FontDescTest, MetricsComeFromTheInkAndTheMarkers) {
    FontSheet sheet;
    sheet.block('|', 5, 5, 4, 9).marker('|', 4);
    sheet.block('B', 3, 6, 5, 8).marker('B', 2).marker('B', 9);
    sheet.block('T', 2, 9, 2, 14).marker('T', 2);
    sheet.block('N', 4, 8, 6, 9);
    sheet.ink('o', 1, 7, 1).ink('o', 15, 7, 1); // faint ink still counts, up to the last column
    pFontDesc font(sheet.writeTo(folder.file("font.tga")));
    ASSERT_TRUE(font.ok());

    EXPECT_FLOAT_EQ(glyph(font, '|').left, 5.0f / 16);
    EXPECT_FLOAT_EQ(glyph(font, '|').width, 0.0f);
    EXPECT_FLOAT_EQ(glyph(font, '|').top, 9.0f / 16);
    EXPECT_FLOAT_EQ(glyph(font, '|').height, 5.0f / 16);
    EXPECT_FLOAT_EQ(glyph(font, '|').baseline, 4.0f / 16);

    EXPECT_FLOAT_EQ(glyph(font, 'B').baseline, 2.0f / 16);
    EXPECT_EQ(uploadedAlpha(font, 'B', 0, 2), 0);
    EXPECT_EQ(uploadedAlpha(font, 'B', 0, 9), 255);
    EXPECT_EQ(uploadedAlpha(font, 'B', 3, 5), 255);

    EXPECT_FLOAT_EQ(glyph(font, 'N').baseline, 0.0f);
    EXPECT_FLOAT_EQ(glyph(font, 'o').left, 1.0f / 16);
    EXPECT_FLOAT_EQ(glyph(font, 'o').width, 14.0f / 16);
    EXPECT_FLOAT_EQ(glyph(font, 'o').height, 0.0f);
    EXPECT_FLOAT_EQ(font.getMaxCharHeight(), 0.75f);
    EXPECT_FLOAT_EQ(font.getCharWidth('T', 32.0f), 14.0f);
    EXPECT_FLOAT_EQ(glyph(font, 'a').width + glyph(font, 'a').height + glyph(font, 'a').top, 0.0f);
    EXPECT_EQ(font.getCharWidth(static_cast<char>(200), 32.0f), 0.0f);
    EXPECT_EQ(font.texture->getImage(), nullptr);
}

TEST_F(FontDescTest, AnUnreadableImageLeavesNoFont) {
    EXPECT_FALSE(pFontDesc(folder.file("missing.tga")).ok());
    EXPECT_FALSE(pFontDesc(folder.file("font.png")).ok());
}

TEST_F(FontDescTest, DrawsTheCellAtTheBaselineAndClipsIt) {
    FontSheet sheet;
    sheet.block('H', 2, 13, 2, 13).marker('H', 2);
    sheet.block(' ', 1, 7, 2, 2).marker(' ', 2);
    pFontDesc font(sheet.writeTo(folder.file("font.tga")));
    ASSERT_TRUE(font.ok());
    pOGLUtil::setOrthographicProjection(kWidth, kHeight);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    font.setupFont();

    // 4 screen pixels a texel: the ink's 12 x 12 texels cover 48 x 48 pixels above the baseline.
    EXPECT_FLOAT_EQ(font.drawChar('H', 100, 200, 64), 44.0f);
    InkBox box = InkBox::of(readAll(), kWidth, kHeight);
    EXPECT_EQ(box.left, 100);
    EXPECT_EQ(box.right, 147);
    EXPECT_EQ(box.top, 152);
    EXPECT_EQ(box.bottom, 199);

    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_FLOAT_EQ(font.drawChar(' ', 100, 200, 64), 24.0f);
    EXPECT_FLOAT_EQ(font.drawChar('H', 100, 200, 64, 200, 400, 0, 400), 44.0f);
    EXPECT_FLOAT_EQ(font.drawChar(static_cast<char>(0xC8), 100, 200, 64), 0.0f);
    EXPECT_EQ(litPixels(), 0);

    // Cut on all four sides: only the rectangle's part of the ink remains.
    font.drawChar('H', 100, 200, 64, 110, 130, 160, 190);
    EXPECT_EQ(pixel(111, 161)[0], 255);
    EXPECT_EQ(pixel(129, 189)[0], 255);
    EXPECT_EQ(litPixels(), 20 * 30);
}

} // namespace
