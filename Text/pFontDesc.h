#pragma once

#include <string>

class pTexture;

// Where a character's ink sits in its cell, as fractions of the cell's width (left, width) or
// height (top, height, baseline), measured from the cell's left and bottom edges.
struct pGlyphMetrics {
    float left = 0.0f;
    float width = 0.0f;
    float top = 0.0f;
    float height = 0.0f;
    float baseline = 0.0f;
};

// One bitmap font: a 16 x 8 sheet of the 7-bit ASCII characters in a single texture. Spacing,
// ink extents and baselines are read from the sheet's alpha channel when it is loaded; the first
// pixel column of each cell carries one marker pixel on the baseline row.
class pFontDesc {
public:
    static constexpr int GLYPH_COUNT = 128;

    explicit pFontDesc(const std::string& fileName);
    ~pFontDesc();
    pFontDesc(const pFontDesc&) = delete;
    pFontDesc& operator=(const pFontDesc&) = delete;

    bool ok();
    void setupKerning();
    // Codes 128-255 have no cell: they measure 0 and draw nothing.
    float getCharWidth(char ch, float size);
    float getMaxCharHeight();
    void setupFont();
    void releaseFont();
    // Draws ch with its ink starting at x and its baseline at y; returns its width at that size.
    float drawChar(char ch, float x, float y, float size);
    float drawChar(char ch, float x, float y, float size, float minX, float maxX, float minY,
                   float maxY);

    pGlyphMetrics glyphs[GLYPH_COUNT];
    pTexture* texture = nullptr;

private:
    // The part of ch's cell a quad must cover, in texture coordinates: its ink, with a margin
    // for the linear filter's reach. Outside it the cell is clear and would blend to nothing.
    void inkRect(unsigned char ch, float& s0, float& s1, float& t0, float& t1) const;

    float maxCharHeight = 0.0f;
    // Two texels, as fractions of a cell; 0 until the sheet is measured (no trimming then).
    float marginS_ = 0.0f;
    float marginT_ = 0.0f;
};
