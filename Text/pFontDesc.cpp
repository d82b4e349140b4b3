#include "Text/pFontDesc.h"

#include "Image/pImage.h"
#include "Image/pTexture.h"
#include "Image/pTextureLoader.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

namespace {

constexpr float CELL_S = 1.0f / 16.0f;
constexpr float CELL_T = 1.0f / 8.0f;

bool isBlank(unsigned char c) {
    return c == ' ';
}

// One textured quad, given by its bottom-left corner on screen (y grows downwards) and the
// bottom-left corner and span of its texture rectangle.
void drawQuad(float qx, float qy, float w, float h, float s0, float t0, float sw, float th) {
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(s0, t0 + th);
    glVertex2f(qx, qy - h);
    glTexCoord2f(s0 + sw, t0 + th);
    glVertex2f(qx + w, qy - h);
    glTexCoord2f(s0, t0);
    glVertex2f(qx, qy);
    glTexCoord2f(s0 + sw, t0);
    glVertex2f(qx + w, qy);
    glEnd();
}

// The same quad cut down to where its texture coordinates fall inside [is0, is1] x [it0, it1]:
// positions and coordinates keep the quad's own mapping, so every pixel drawn samples as before.
void drawQuad(float qx, float qy, float w, float h, float s0, float t0, float sw, float th,
              float is0, float is1, float it0, float it1) {
    if (!(w > 0.0f && h > 0.0f && sw > 0.0f && th > 0.0f))
        return;
    const float left = std::max(s0, is0), right = std::min(s0 + sw, is1);
    const float bottom = std::max(t0, it0), top = std::min(t0 + th, it1);
    if (!(left < right && bottom < top))
        return;
    const float x0 = qx + (left - s0) / sw * w;
    const float x1 = qx + (right - s0) / sw * w;
    // Screen y grows downwards while t grows upwards: t0 is at qy, t0 + th at qy - h.
    const float y0 = qy - (bottom - t0) / th * h;
    const float y1 = qy - (top - t0) / th * h;
    drawQuad(x0, y0, x1 - x0, y0 - y1, left, bottom, right - left, top - bottom);
}

float cellS0(unsigned char c) {
    return static_cast<float>(c % 16) / 16.0f;
}
float cellT0(unsigned char c) {
    return static_cast<float>(7 - c / 16) / 8.0f;
}

} // namespace

pFontDesc::pFontDesc(const std::string& fileName) {
    texture = pTextureLoader::instance()->loadTexture(fileName, true, true);
    if (!texture) {
        return;
    }
    setupKerning();
    texture->deleteImage();
}

pFontDesc::~pFontDesc() {
    delete texture;
}

bool pFontDesc::ok() {
    return texture != nullptr;
}

void pFontDesc::setupKerning() {
    pImage* image = texture ? texture->getImage() : nullptr;
    if (!image) {
        return;
    }
    const int imageWidth = static_cast<int>(image->getWidth());
    const int cw = imageWidth / 16;
    const int ch = static_cast<int>(image->getHeight()) / 8;
    unsigned char* raw = image->getRawData();
    auto alpha = [&](int row, int column) {
        return raw[(static_cast<size_t>(row) * imageWidth + column) * 4 + 3];
    };

    // Which columns and rows of a cell hold ink, gathered in one pass over the cell.
    std::vector<char> columnInk(std::max(cw, 0));
    std::vector<char> rowInk(std::max(ch, 0));
    maxCharHeight = 0.0f;
    for (int r = 0; r < 8; ++r) {
        for (int k = 0; k < 16; ++k) {
            pGlyphMetrics& g = glyphs[16 * r + k];
            g = pGlyphMetrics();
            if (cw < 2 || ch < 1) {
                continue;
            }
            const int x0 = k * cw;
            const int y0 = (7 - r) * ch;
            std::fill(columnInk.begin(), columnInk.end(), 0);
            std::fill(rowInk.begin(), rowInk.end(), 0);
            for (int y = 0; y < ch; ++y) {
                for (int x = 1; x < cw; ++x) {
                    if (alpha(y0 + y, x0 + x) > 0) {
                        columnInk[x] = 1;
                        rowInk[y] = 1;
                    }
                }
            }
            float right = 0.0f;
            float bottom = 0.0f;
            for (int x = 1; x < cw; ++x) {
                if (columnInk[x]) {
                    g.left = static_cast<float>(x) / static_cast<float>(cw);
                    break;
                }
            }
            for (int x = cw - 1; x >= 1; --x) {
                if (columnInk[x]) {
                    right = static_cast<float>(x) / static_cast<float>(cw);
                    break;
                }
            }
            g.width = right - g.left;
            for (int y = 0; y < ch; ++y) {
                if (rowInk[y]) {
                    bottom = static_cast<float>(y) / static_cast<float>(ch);
                    break;
                }
            }
            for (int y = ch - 1; y >= 0; --y) {
                if (rowInk[y]) {
                    g.top = static_cast<float>(y) / static_cast<float>(ch);
                    break;
                }
            }
            g.height = g.top - bottom;
            for (int y = 0; y < ch; ++y) {
                if (alpha(y0 + y, x0) > 0) {
                    g.baseline = static_cast<float>(y) / static_cast<float>(ch);
                    image->setPixelub(y0 + y, x0, 0, 0, 0, 0);
                    break;
                }
            }
            maxCharHeight = std::max(maxCharHeight, g.height);
        }
    }
    if (cw >= 2 && ch >= 1) {
        marginS_ = 2.0f / static_cast<float>(cw);
        marginT_ = 2.0f / static_cast<float>(ch);
    }
    // Upload again so the cleared markers never show.
    texture->rebind(true);
}

float pFontDesc::getCharWidth(char ch, float size) {
    const auto c = static_cast<unsigned char>(ch);
    return c < GLYPH_COUNT ? glyphs[c].width * size : 0.0f;
}

float pFontDesc::getMaxCharHeight() {
    return maxCharHeight;
}

void pFontDesc::setupFont() {
    if (texture) {
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture->getTexID()));
    }
}

void pFontDesc::releaseFont() {
    glBindTexture(GL_TEXTURE_2D, 0);
}

float pFontDesc::drawChar(char ch, float x, float y, float size) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= GLYPH_COUNT) {
        return 0.0f;
    }
    const pGlyphMetrics& g = glyphs[c];
    if (!isBlank(c)) {
        float is0, is1, it0, it1;
        inkRect(c, is0, is1, it0, it1);
        drawQuad(x - g.left * size, y + g.baseline * size, size, size, cellS0(c), cellT0(c), CELL_S,
                 CELL_T, is0, is1, it0, it1);
    }
    return g.width * size;
}

void pFontDesc::inkRect(unsigned char c, float& s0, float& s1, float& t0, float& t1) const {
    s0 = cellS0(c);
    s1 = s0 + CELL_S;
    t0 = cellT0(c);
    t1 = t0 + CELL_T;
    if (marginS_ == 0.0f)
        return;
    // The metrics give the first ink column and row and the last; the last ends a texel later.
    const pGlyphMetrics& g = glyphs[c];
    const float left = std::max(0.0f, g.left - marginS_);
    const float right = std::min(1.0f, g.left + g.width + 1.5f * marginS_);
    const float bottom = std::max(0.0f, g.top - g.height - marginT_);
    const float top = std::min(1.0f, g.top + 1.5f * marginT_);
    s1 = s0 + right * CELL_S;
    s0 += left * CELL_S;
    t1 = t0 + top * CELL_T;
    t0 += bottom * CELL_T;
}

float pFontDesc::drawChar(char ch, float x, float y, float size, float minX, float maxX, float minY,
                          float maxY) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= GLYPH_COUNT) {
        return 0.0f;
    }
    const pGlyphMetrics& g = glyphs[c];
    const float result = g.width * size;
    if (isBlank(c)) {
        return result;
    }
    const float inkRight = x + g.width * size;
    const float inkTop = y - (g.top - g.baseline) * size;
    const float inkBottom = inkTop + g.height * size;
    if (inkRight < minX || x > maxX || inkTop > maxY || inkBottom < minY) {
        return result;
    }

    float qx = x - g.left * size;
    float qy = y + g.baseline * size;
    float w = size;
    float h = size;
    float s0 = cellS0(c);
    float t0 = cellT0(c);
    float sw = CELL_S;
    float th = CELL_T;
    if (inkRight > maxX) {
        w = maxX - qx;
        sw = CELL_S * w / size;
    }
    if (x < minX) {
        const float f = (minX - qx) / size;
        w -= f * size;
        s0 += f * CELL_S;
        sw -= f * CELL_S;
        qx = minX;
    }
    if (inkTop < minY) {
        const float f = (minY - (qy - size)) / size;
        h -= f * size;
        th -= f * CELL_T;
    }
    if (inkBottom > maxY) {
        const float f = (qy - maxY) / size;
        h -= f * size;
        t0 += f * CELL_T;
        th -= f * CELL_T;
        qy = maxY;
    }
    // An inverted rectangle (min above max) could cut a quad inside out; draw nothing then.
    if (w > 0.0f && h > 0.0f) {
        float is0, is1, it0, it1;
        inkRect(c, is0, is1, it0, it1);
        drawQuad(qx, qy, w, h, s0, t0, sw, th, is0, is1, it0, it1);
    }
    return result;
}
