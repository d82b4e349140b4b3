#include "Text/pTextManager.h"

#include "Game/pPlinx.h"
#include "Image/pTextureProgram.h"
#include "Utils/pStringUtils.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr char COLOR_ESCAPE = 0x01;
constexpr size_t ESCAPE_LENGTH = 5;
constexpr unsigned char FULL_CODE = 'A';

// The position of the first line break, or the text's length. The code bytes of a colour escape
// are skipped: the encoders write 10 and 13 for some colours, and those are not line breaks.
// Searched with memchr, each kind of byte from where its last search left off, so a text of
// megabytes costs little more than reading it once.
size_t findLineBreak(std::string_view text) {
    auto find = [text](char c, size_t from) {
        const void* at = std::memchr(text.data() + from, c, text.size() - from);
        return at ? static_cast<size_t>(static_cast<const char*>(at) - text.data()) : text.size();
    };
    size_t lineFeed = find('\n', 0), carriageReturn = find('\r', 0);
    size_t escape = find(COLOR_ESCAPE, 0);
    while (true) {
        const size_t lineBreak = std::min(lineFeed, carriageReturn);
        if (escape >= lineBreak) {
            return lineBreak;
        }
        const size_t after = escape + ESCAPE_LENGTH;
        if (after >= text.size()) {
            return text.size();
        }
        if (lineFeed < after) {
            lineFeed = find('\n', after);
        }
        if (carriageReturn < after) {
            carriageReturn = find('\r', after);
        }
        escape = find(COLOR_ESCAPE, after);
    }
}

unsigned char decodeComponent(char code) {
    const auto c = static_cast<unsigned char>(code);
    return c == FULL_CODE ? 255 : static_cast<unsigned char>(c * 4 - 4);
}

char encodeComponent(unsigned int value) {
    return static_cast<char>(value == 255 ? FULL_CODE : value / 4 + 1);
}

// The colour of the last whole escape in the text, set as drawing the text would leave it.
void applyLastEscape(std::string_view text) {
    const char* last = nullptr;
    for (size_t at = 0; at < text.size();) {
        const void* found = std::memchr(text.data() + at, COLOR_ESCAPE, text.size() - at);
        if (!found) {
            break;
        }
        at = static_cast<size_t>(static_cast<const char*>(found) - text.data());
        // An escape cut short ends the line.
        if (text.size() - at < ESCAPE_LENGTH) {
            break;
        }
        last = text.data() + at;
        at += ESCAPE_LENGTH;
    }
    if (last) {
        glColor4ub(decodeComponent(last[1]), decodeComponent(last[2]), decodeComponent(last[3]),
                   decodeComponent(last[4]));
    }
}

// How far text shrinks into the running fade: its darkness, or 0 when no fade runs.
float fadeShrink() {
    const pTransitionManager& fade = pPlinx::instance()->transitionManager;
    return fade.active ? fade.darkness : 0.0f;
}

} // namespace

pTextManager* pTextManager::instance() {
    static pTextManager* manager = new pTextManager();
    return manager;
}

bool pTextManager::loadFont(const std::string& fileName, const std::string& name) {
    if (fonts.count(name)) {
        return false;
    }
    auto font = std::make_unique<pFontDesc>(fileName);
    if (!font->ok()) {
        return false;
    }
    fonts[name] = std::move(font);
    return true;
}

bool pTextManager::loadAndSetFont(const std::string& fileName, const std::string& name) {
    if (!loadFont(fileName, name)) {
        return false;
    }
    currentFont = fonts[name].get();
    return true;
}

bool pTextManager::setCurrentFont(const std::string& name) {
    auto found = fonts.find(name);
    if (found == fonts.end()) {
        return false;
    }
    currentFont = found->second.get();
    return true;
}

float pTextManager::glyphSize(float h) {
    // A font without any ink has no height to scale by.
    if (!currentFont || !(currentFont->getMaxCharHeight() > 0.0f)) {
        return 0.0f;
    }
    return h / currentFont->getMaxCharHeight();
}

void pTextManager::drawString(const std::string& text, float x, float y, float h) {
    drawLines(text, x, y, h, Align::LEFT, std::nullopt);
}

void pTextManager::drawString(const std::string& text, float x, float y, float h, float minX,
                              float maxX, float minY, float maxY) {
    drawLines(text, x, y, h, Align::LEFT, Clip{minX, maxX, minY, maxY});
}

void pTextManager::drawStringCentered(const std::string& text, float x, float y, float h) {
    drawLines(text, x, y, h, Align::CENTRE, std::nullopt);
}

void pTextManager::drawStringCentered(const std::string& text, float x, float y, float h,
                                      float minX, float maxX, float minY, float maxY) {
    drawLines(text, x, y, h, Align::CENTRE, Clip{minX, maxX, minY, maxY});
}

void pTextManager::drawStringFromRight(const std::string& text, float x, float y, float h) {
    drawLines(text, x, y, h, Align::RIGHT, std::nullopt);
}

void pTextManager::drawStringFromRight(const std::string& text, float x, float y, float h,
                                       float minX, float maxX, float minY, float maxY) {
    drawLines(text, x, y, h, Align::RIGHT, Clip{minX, maxX, minY, maxY});
}

// Where drawing can show, in the coordinates text is drawn in: the clip volume taken back
// through the projection and model-view matrices. None when they do more than scale and shift.
std::optional<pTextManager::Clip> pTextManager::visibleArea() {
    GLfloat p[16], m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // The elements of p * m that act on x and y (column-major, z = 0).
    auto at = [&](int row, int column) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k) {
            sum += p[k * 4 + row] * m[column * 4 + k];
        }
        return sum;
    };
    const float sx = at(0, 0), shearX = at(0, 1), tx = at(0, 3);
    const float shearY = at(1, 0), sy = at(1, 1), ty = at(1, 3);
    const float wx = at(3, 0), wy = at(3, 1), w = at(3, 3);
    if (shearX != 0.0f || shearY != 0.0f || wx != 0.0f || wy != 0.0f || sx == 0.0f || sy == 0.0f ||
        !(w > 0.0f)) {
        return std::nullopt;
    }
    const float x0 = (-w - tx) / sx, x1 = (w - tx) / sx;
    const float y0 = (-w - ty) / sy, y1 = (w - ty) / sy;
    return Clip{std::min(x0, x1), std::max(x0, x1), std::min(y0, y1), std::max(y0, y1)};
}

void pTextManager::drawLines(std::string_view text, float x, float y, float h, Align align,
                             std::optional<Clip> clip) {
    const float size = glyphSize(h);
    if (size == 0.0f) {
        return;
    }
    if (drawn)
        drawn->push_back({std::string(text), x, y, h, align});
    currentFont->setupFont();
    // Without its sheet the font draws plain quads, which only fixed function does.
    pTextureProgram::Scope programmed(currentFont->ok());
    const float shrink = fadeShrink();
    // Glyphs outside the window (or the clip rectangle) are not drawn: a long text costs only
    // its visible part. A text shorter than a line of the window is drawn whole, as reading the
    // matrices back would cost more than the glyphs it could leave out.
    constexpr size_t LONG_TEXT = 256;
    std::optional<Clip> visible = text.size() > LONG_TEXT ? visibleArea() : std::nullopt;
    if (clip && visible) {
        visible = Clip{std::max(visible->minX, clip->minX), std::min(visible->maxX, clip->maxX),
                       std::max(visible->minY, clip->minY), std::min(visible->maxY, clip->maxY)};
    }
    // Each line is placed on its own, LINE_SPACING text heights below the one before.
    while (true) {
        const size_t lineEnd = findLineBreak(text);
        const std::string_view line = text.substr(0, lineEnd);
        float lineX = x;
        if (align != Align::LEFT) {
            const float w = lineWidth(line, size);
            lineX = align == Align::CENTRE ? x - w / 2.0f : x - w;
        }
        drawLine(line, lineX, y, size, shrink, clip ? &*clip : nullptr,
                 visible ? &*visible : nullptr);
        if (lineEnd == text.size()) {
            return;
        }
        text.remove_prefix(lineEnd + 1);
        y += LINE_SPACING * h;
    }
}

void pTextManager::drawLine(std::string_view line, float x, float y, float size, float shrink,
                            const Clip* clip, const Clip* visible) {
    // A glyph's quad lies within one glyph size of its pen position; two leave room for the fade.
    const float reach = 2.0f * size;
    const bool rowShows = !visible || (y + reach >= visible->minY && y - reach <= visible->maxY);
    float pen = x;
    for (size_t i = 0; i < line.size(); ++i) {
        if (visible && (!rowShows || pen - reach > visible->maxX)) {
            // Nothing further along can show; only the colour it would leave still counts.
            applyLastEscape(line.substr(i));
            return;
        }
        const char ch = line[i];
        if (ch == COLOR_ESCAPE) {
            // An escape cut short ends the line rather than reading past it.
            if (line.size() - i < ESCAPE_LENGTH) {
                return;
            }
            glColor4ub(decodeComponent(line[i + 1]), decodeComponent(line[i + 2]),
                       decodeComponent(line[i + 3]), decodeComponent(line[i + 4]));
            i += ESCAPE_LENGTH - 1;
            continue;
        }
        if (static_cast<unsigned char>(ch) >= pFontDesc::GLYPH_COUNT) {
            continue;
        }
        const float w = currentFont->getCharWidth(ch, size);
        // During a fade the glyph shrinks towards its middle; the pen keeps its full stride.
        const float gx = pen + w * shrink * 0.25f;
        const float gy = y - 0.25f * size * shrink;
        const float gsize = (1.0f - shrink) * size;
        const bool shows = !visible || pen + w + reach >= visible->minX;
        if (shows && clip) {
            currentFont->drawChar(ch, gx, gy, gsize, clip->minX, clip->maxX, clip->minY,
                                  clip->maxY);
        } else if (shows) {
            currentFont->drawChar(ch, gx, gy, gsize);
        }
        pen += size * INTER_CHAR_FRAC + w;
    }
}

float pTextManager::lineWidth(std::string_view line, float size) {
    float width = 0.0f;
    for (size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (ch == COLOR_ESCAPE) {
            if (line.size() - i < ESCAPE_LENGTH) {
                break;
            }
            i += ESCAPE_LENGTH - 1;
            continue;
        }
        if (static_cast<unsigned char>(ch) >= pFontDesc::GLYPH_COUNT) {
            continue;
        }
        width += currentFont->getCharWidth(ch, size) + size * INTER_CHAR_FRAC;
    }
    return width;
}

float pTextManager::getStringWidth(const std::string& text, float h) {
    const float size = glyphSize(h);
    if (size == 0.0f) {
        return 0.0f;
    }
    float widest = 0.0f;
    std::string_view rest = text;
    while (true) {
        const size_t lineEnd = findLineBreak(rest);
        widest = std::max(widest, lineWidth(rest.substr(0, lineEnd), size));
        if (lineEnd == rest.size()) {
            return widest;
        }
        rest.remove_prefix(lineEnd + 1);
    }
}

float pTextManager::getStringHeight(const std::string& text, float h) {
    float breaks = 0.0f;
    std::string_view rest = text;
    for (size_t lineEnd = findLineBreak(rest); lineEnd < rest.size();
         lineEnd = findLineBreak(rest)) {
        rest.remove_prefix(lineEnd + 1);
        breaks += 1.0f;
    }
    return breaks * LINE_SPACING * h + h;
}

std::string pTextManager::formatStringToWidth(const std::string& text, float width, float h) {
    std::string output;
    std::string line;
    // Where in `line` each of its characters begins; colour escapes are no characters.
    std::vector<size_t> starts;
    size_t lineStart = 0;
    size_t lastSpace = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == COLOR_ESCAPE && text.size() - i >= ESCAPE_LENGTH) {
            // An escape goes in whole: its code bytes are neither blanks nor width.
            line.append(text, i, ESCAPE_LENGTH);
            i += ESCAPE_LENGTH - 1;
            continue;
        }
        starts.push_back(line.size());
        line += text[i];
        if (isWhitespace(text[i])) {
            lastSpace = i;
        }
        // A single character has nowhere to break, however narrow the width.
        if (starts.size() < 2 || !(getStringWidth(line, h) > width)) {
            continue;
        }
        if (lastSpace == lineStart || i - lastSpace > 10) {
            // Break inside the word: the last two characters begin the next piece, with any
            // escape between them; the cut never falls inside an escape. A piece keeps at least
            // one character, so a width too narrow for three still progresses.
            const size_t carried = std::min<size_t>(2, starts.size() - 1);
            const size_t cut = starts[starts.size() - carried];
            lineStart = i + 1 - (line.size() - cut);
            line.resize(cut);
            line += '-';
            i = lineStart - 1;
        } else {
            line.resize(lastSpace - lineStart);
            lineStart = lastSpace;
            i = lastSpace;
        }
        output += pack(line);
        output += '\n';
        line.clear();
        starts.clear();
        lastSpace = lineStart;
    }
    output += pack(text.substr(std::min(lineStart, text.size())));
    return output;
}

std::string pTextManager::getColorChangeStringf(float r, float g, float b, float a) {
    std::string escape(1, COLOR_ESCAPE);
    for (float component : {r, g, b, a}) {
        // Out-of-range and NaN components are held to 0..1 so the code byte stays valid.
        const float c = std::isnan(component) ? 0.0f : std::clamp(component, 0.0f, 1.0f);
        // Only exactly 1.0 reaches 255, which encodes as "A".
        escape += encodeComponent(static_cast<unsigned int>(c * 255.0f));
    }
    return escape;
}

std::string pTextManager::getColorChangeStringub(unsigned char r, unsigned char g, unsigned char b,
                                                 unsigned char a) {
    std::string escape(1, COLOR_ESCAPE);
    for (unsigned char component : {r, g, b, a}) {
        escape += encodeComponent(component);
    }
    return escape;
}
