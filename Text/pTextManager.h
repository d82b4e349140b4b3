#pragma once

#include "Text/pFontDesc.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Draws and measures every string of the game in its bitmap fonts. Strings may hold line breaks
// ("\n" or "\r", each ending a line) and colour escapes: the byte 0x01 followed by one code byte
// each for red, green, blue and alpha. While a screen fade runs, text shrinks with its darkness.
class pTextManager {
public:
    static constexpr float LINE_SPACING = 1.2f;
    static constexpr float INTER_CHAR_FRAC = 0.05f;

    static pTextManager* instance();

    bool loadFont(const std::string& fileName, const std::string& name);
    bool loadAndSetFont(const std::string& fileName, const std::string& name);
    bool setCurrentFont(const std::string& name);

    // x is the left end (centre, right end) of each line, y the baseline of the first line and
    // h the text height; the second forms clip every character to minX..maxX, minY..maxY.
    void drawString(const std::string& text, float x, float y, float h);
    void drawString(const std::string& text, float x, float y, float h, float minX, float maxX,
                    float minY, float maxY);
    void drawStringCentered(const std::string& text, float x, float y, float h);
    void drawStringCentered(const std::string& text, float x, float y, float h, float minX,
                            float maxX, float minY, float maxY);
    void drawStringFromRight(const std::string& text, float x, float y, float h);
    void drawStringFromRight(const std::string& text, float x, float y, float h, float minX,
                             float maxX, float minY, float maxY);

    float getStringWidth(const std::string& text, float h);
    float getStringHeight(const std::string& text, float h);
    std::string formatStringToWidth(const std::string& text, float width, float h);

    static std::string getColorChangeStringf(float r, float g, float b, float a);
    static std::string getColorChangeStringub(unsigned char r, unsigned char g, unsigned char b,
                                              unsigned char a);

    pFontDesc* currentFont = nullptr;
    std::map<std::string, std::unique_ptr<pFontDesc>> fonts;

    enum class Align { LEFT, CENTRE, RIGHT };
    // A string as it was handed to a drawing call: x is its left end, centre or right end.
    struct DrawnString {
        std::string text;
        float x, y, h;
        Align align;
    };
    // Where tests collect every string drawn with the current font, to read what a screen shows.
    std::vector<DrawnString>* drawn = nullptr;

private:
    struct Clip {
        float minX, maxX, minY, maxY;
    };

    pTextManager() = default;
    // The glyph size for text height h, or 0 when there is nothing to draw or measure with.
    float glyphSize(float h);
    void drawLines(std::string_view text, float x, float y, float h, Align align,
                   std::optional<Clip> clip);
    // Where drawing can show, in the coordinates text is drawn in; none when that is not known.
    static std::optional<Clip> visibleArea();
    // Glyphs outside `visible` are skipped; with none, all are drawn.
    void drawLine(std::string_view line, float x, float y, float size, float shrink,
                  const Clip* clip, const Clip* visible);
    float lineWidth(std::string_view line, float size);
};
