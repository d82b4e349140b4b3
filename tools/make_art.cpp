// Draws the game's pictures: the background, the block, the title image, the logo, the
// widget parts (slider track and knob, button plate) and the desktop icons. Everything is
// procedural, so the pictures can be rebuilt byte for byte:
//   make art   (writes Resources/bg.tga, block.tga, splash.tga, tallowbrook.tga,
//               slider_*.tga, button_*.tga and Resources/icons/<size>/plinx.png)
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Rgba {
    float r, g, b, a;
};

class Picture {
public:
    Picture(int width, int height) : width_(width), height_(height), pixels_(width * height) {}

    // Fills every pixel from a shader given coordinates with y growing downwards, sampled 4x4
    // per pixel so that edges come out smooth.
    void shade(const std::function<Rgba(float, float)>& shader) {
        const int n = 4;
        for (int y = 0; y < height_; y++) {
            for (int x = 0; x < width_; x++) {
                Rgba sum{0, 0, 0, 0};
                for (int sy = 0; sy < n; sy++) {
                    for (int sx = 0; sx < n; sx++) {
                        Rgba c = shader(x + (sx + 0.5f) / n, y + (sy + 0.5f) / n);
                        // Premultiplied, so transparent samples don't darken the edges.
                        sum.r += c.r * c.a;
                        sum.g += c.g * c.a;
                        sum.b += c.b * c.a;
                        sum.a += c.a;
                    }
                }
                Rgba& out = pixels_[y * width_ + x];
                out.a = sum.a / (n * n);
                if (sum.a > 0) {
                    out.r = sum.r / sum.a;
                    out.g = sum.g / sum.a;
                    out.b = sum.b / sum.a;
                }
            }
        }
    }

    // Uncompressed 32-bit TGA, stored bottom row first.
    bool writeTga(const std::string& path) const {
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file)
            return false;
        uint8_t header[18] = {0,
                              0,
                              2,
                              0,
                              0,
                              0,
                              0,
                              0,
                              0,
                              0,
                              0,
                              0,
                              static_cast<uint8_t>(width_ & 255),
                              static_cast<uint8_t>(width_ >> 8),
                              static_cast<uint8_t>(height_ & 255),
                              static_cast<uint8_t>(height_ >> 8),
                              32,
                              8};
        std::fwrite(header, 1, sizeof header, file);
        for (int y = height_ - 1; y >= 0; y--) {
            for (int x = 0; x < width_; x++) {
                const Rgba& p = pixels_[y * width_ + x];
                uint8_t bgra[4] = {toByte(p.b), toByte(p.g), toByte(p.r), toByte(p.a)};
                std::fwrite(bgra, 1, 4, file);
            }
        }
        return std::fclose(file) == 0;
    }

    // 8-bit RGBA PNG, top row first. The zlib stream uses stored blocks only: the icons are small
    // and the generator stays free of a compression library.
    bool writePng(const std::string& path) const {
        std::vector<uint8_t> raw;
        for (int y = 0; y < height_; y++) {
            raw.push_back(0); // no filter
            for (int x = 0; x < width_; x++) {
                const Rgba& p = pixels_[y * width_ + x];
                for (float channel : {p.r, p.g, p.b, p.a})
                    raw.push_back(toByte(channel));
            }
        }
        std::vector<uint8_t> zlib = {0x78, 0x01};
        for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
            size_t length = std::min<size_t>(65535, raw.size() - at);
            bool last = at + length >= raw.size();
            zlib.push_back(last ? 1 : 0);
            for (size_t word : {length, length ^ 0xffff}) {
                zlib.push_back(word & 255);
                zlib.push_back((word >> 8) & 255);
            }
            zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + length);
        }
        uint32_t a = 1, b = 0;
        for (uint8_t byte : raw) {
            a = (a + byte) % 65521;
            b = (b + a) % 65521;
        }
        appendBigEndian(zlib, (b << 16) | a);

        std::vector<uint8_t> header;
        appendBigEndian(header, width_);
        appendBigEndian(header, height_);
        header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, no interlace

        std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
        appendChunk(png, "IHDR", header);
        appendChunk(png, "IDAT", zlib);
        appendChunk(png, "IEND", {});
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file)
            return false;
        bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
        return std::fclose(file) == 0 && written;
    }

private:
    static void appendBigEndian(std::vector<uint8_t>& out, uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back((value >> shift) & 255);
    }
    static void appendChunk(std::vector<uint8_t>& out, const char* type,
                            const std::vector<uint8_t>& data) {
        appendBigEndian(out, static_cast<uint32_t>(data.size()));
        size_t start = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        uint32_t crc = 0xffffffffu;
        for (size_t i = start; i < out.size(); i++) {
            crc ^= out[i];
            for (int bit = 0; bit < 8; bit++)
                crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
        }
        appendBigEndian(out, crc ^ 0xffffffffu);
    }

    static uint8_t toByte(float v) {
        return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    }
    int width_, height_;
    std::vector<Rgba> pixels_;
};

float smoothstep(float edge0, float edge1, float x) {
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

Rgba mix(Rgba a, Rgba b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

// A bevelled tile in the unit square: light top-left rim, dark bottom-right rim, a soft face.
// Returns a grey level; the palette tints it in the game.
float bevelLevel(float u, float v) {
    const float rim = 0.12f;
    float left = u, top = v, right = 1 - u, bottom = 1 - v;
    float edge = std::min(std::min(left, top), std::min(right, bottom));
    if (edge < rim) {
        bool lit = std::min(left, top) <= std::min(right, bottom);
        float depth = edge / rim;
        return lit ? 1.0f - 0.05f * depth : 0.55f + 0.2f * depth;
    }
    // The face: a gentle gradient with a highlight towards the top-left.
    float glow = std::exp(-((u - 0.35f) * (u - 0.35f) + (v - 0.3f) * (v - 0.3f)) * 6.0f);
    return 0.80f + 0.04f * (1 - v) + 0.14f * glow;
}

// Rounded-square coverage in the unit square, for the corners of tiles.
float tileCoverage(float u, float v, float radius) {
    float dx = std::max(std::max(radius - u, u - (1 - radius)), 0.0f);
    float dy = std::max(std::max(radius - v, v - (1 - radius)), 0.0f);
    return std::sqrt(dx * dx + dy * dy) <= radius ? 1.0f : 0.0f;
}

void drawBlock(const std::string& folder) {
    const int size = 64;
    Picture block(size, size);
    block.shade([&](float x, float y) {
        float u = x / size, v = y / size;
        float level = bevelLevel(u, v);
        return Rgba{level, level, level, tileCoverage(u, v, 0.08f)};
    });
    block.writeTga(folder + "/block.tga");
}

void drawBackground(const std::string& folder) {
    const int size = 512;
    Picture bg(size, size);
    const Rgba top{0.055f, 0.066f, 0.115f, 1}, bottom{0.10f, 0.085f, 0.16f, 1};
    bg.shade([&](float x, float y) {
        float u = x / size, v = y / size;
        Rgba c = mix(top, bottom, v);
        // A faint lattice of 2x2 tiles, tilted a little, so the screen has texture without
        // competing with the pieces.
        float angle = 0.35f;
        float tu = (u * std::cos(angle) - v * std::sin(angle)) * 9.0f;
        float tv = (u * std::sin(angle) + v * std::cos(angle)) * 9.0f;
        float fu = tu - std::floor(tu), fv = tv - std::floor(tv);
        float line =
            1.0f - smoothstep(0.0f, 0.035f, std::min(std::min(fu, 1 - fu), std::min(fv, 1 - fv)));
        c = mix(c, Rgba{0.22f, 0.24f, 0.36f, 1}, 0.22f * line);
        // Vignette: darker towards the corners.
        float d = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.45f) * (v - 0.45f));
        float shade = 1.0f - 0.45f * smoothstep(0.25f, 0.8f, d);
        return Rgba{c.r * shade, c.g * shade, c.b * shade, 1};
    });
    bg.writeTga(folder + "/bg.tga");
}

// 5x7 capitals, one string per row, '#' filled.
struct Glyph {
    char letter;
    const char* rows[7];
};

const Glyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
};

const Glyph* findGlyph(char c) {
    for (const Glyph& g : kGlyphs)
        if (g.letter == c)
            return &g;
    return nullptr;
}

// Lays out a word in cells; returns the cell at (column, row) or false when it is empty.
struct BlockWord {
    std::string word;
    int columns() const { return static_cast<int>(word.size()) * 6 - 1; }
    bool filled(int column, int row) const {
        if (column < 0 || row < 0 || row >= 7 || column >= columns())
            return false;
        int letter = column / 6, inLetter = column % 6;
        if (inLetter == 5)
            return false;
        const Glyph* g = findGlyph(word[letter]);
        return g && g->rows[row][inLetter] == '#';
    }
};

void drawTitle(const std::string& folder) {
    const int width = 1024, height = 256;
    Picture title(width, height);
    BlockWord word{"PLINX"};
    const float cell = 28.0f;
    const float originX = (width - word.columns() * cell) / 2, originY = (height - 7 * cell) / 2;
    // The two piece colours of the first palette, warm and cool.
    const Rgba warm{0.98f, 0.62f, 0.22f, 1}, cool{0.30f, 0.72f, 0.98f, 1};
    title.shade([&](float x, float y) {
        float cx = (x - originX) / cell, cy = (y - originY) / cell;
        int column = static_cast<int>(std::floor(cx)), row = static_cast<int>(std::floor(cy));
        if (word.filled(column, row)) {
            float u = cx - column, v = cy - row;
            float cover = tileCoverage(u, v, 0.1f);
            float level = bevelLevel(u, v);
            // Pairs of rows alternate colour, as the falling pieces do.
            Rgba tint = ((row / 2 + column / 2) % 2) ? warm : cool;
            return Rgba{tint.r * level, tint.g * level, tint.b * level, cover};
        }
        // A soft dark halo around the letters keeps them readable over any background.
        float halo = 0;
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++)
                if (word.filled(column + dx, row + dy)) {
                    float nx = std::clamp(cx, float(column + dx), float(column + dx + 1));
                    float ny = std::clamp(cy, float(row + dy), float(row + dy + 1));
                    float d = std::hypot(cx - nx, cy - ny);
                    halo = std::max(halo, 1.0f - smoothstep(0.0f, 0.6f, d));
                }
        return Rgba{0, 0, 0, 0.45f * halo};
    });
    title.writeTga(folder + "/splash.tga");
}

void drawLogo(const std::string& folder) {
    const int width = 512, height = 64;
    Picture logo(width, height);
    BlockWord word{"TALLOWBROOK"};
    const float cell = 7.0f;
    const float originX = (width - word.columns() * cell) / 2, originY = (height - 7 * cell) / 2;
    const Rgba amber{0.97f, 0.80f, 0.45f, 1};
    logo.shade([&](float x, float y) {
        float cx = (x - originX) / cell, cy = (y - originY) / cell;
        int column = static_cast<int>(std::floor(cx)), row = static_cast<int>(std::floor(cy));
        if (!word.filled(column, row))
            return Rgba{0, 0, 0, 0};
        float u = cx - column, v = cy - row;
        float level = 0.75f + 0.25f * bevelLevel(u, v);
        return Rgba{amber.r * level, amber.g * level, amber.b * level, tileCoverage(u, v, 0.15f)};
    });
    logo.writeTga(folder + "/tallowbrook.tga");
}

// The desktop icon: one falling piece, a 2x2 block in the two piece colours of the first
// palette, on a transparent ground.
void drawIcons(const std::string& folder) {
    const Rgba warm{0.98f, 0.62f, 0.22f, 1}, cool{0.30f, 0.72f, 0.98f, 1};
    for (int size : {16, 32, 48, 64, 128, 256}) {
        Picture icon(size, size);
        // Small sizes keep less margin so the block stays legible.
        const float margin = size <= 32 ? size / 16.0f : size / 12.0f;
        const float cell = (size - 2 * margin) / 2;
        icon.shade([&](float x, float y) {
            float cx = (x - margin) / cell, cy = (y - margin) / cell;
            if (cx < 0 || cy < 0 || cx >= 2 || cy >= 2)
                return Rgba{0, 0, 0, 0};
            int column = static_cast<int>(cx), row = static_cast<int>(cy);
            float u = cx - column, v = cy - row;
            float level = bevelLevel(u, v);
            Rgba tint = (column + row) % 2 ? cool : warm;
            return Rgba{tint.r * level, tint.g * level, tint.b * level, tileCoverage(u, v, 0.1f)};
        });
        std::string sized = folder + "/icons/" + std::to_string(size);
        std::filesystem::create_directories(sized);
        icon.writePng(sized + "/plinx.png");
    }
}

// The slider's track is a rounded groove along the middle of its squares. The end caps hold the
// rounded ends, centred on the track's ends, so the knob at either end sits over the round.
const float kGrooveHalf = 0.17f;

Rgba grooveColour(float v) {
    // Inset: shadowed at the top, a light lip along the bottom.
    float across = (v - (0.5f - kGrooveHalf)) / (2 * kGrooveHalf);
    float level = 0.10f + 0.10f * across + 0.25f * smoothstep(0.75f, 1.0f, across);
    return Rgba{level * 0.8f, level * 0.9f, level * 1.3f, 1};
}

void drawSliderPart(const std::string& folder, const std::string& name, int end) {
    const int size = 32;
    Picture part(size, size);
    part.shade([&](float x, float y) {
        float u = x / size, v = y / size;
        float along =
            end == 0 ? 0.0f : (end < 0 ? std::max(0.5f - u, 0.0f) : std::max(u - 0.5f, 0.0f));
        bool inside = std::hypot(along, v - 0.5f) < kGrooveHalf;
        Rgba c = grooveColour(v);
        c.a = inside ? 1.0f : 0.0f;
        return c;
    });
    part.writeTga(folder + "/" + name);
}

// The knob: a glossy bead in the warm piece colour.
void drawSliderKnob(const std::string& folder) {
    const int size = 32;
    Picture knob(size, size);
    const Rgba warm{0.98f, 0.62f, 0.22f, 1};
    knob.shade([&](float x, float y) {
        float u = x / size - 0.5f, v = y / size - 0.5f;
        float r = std::hypot(u, v);
        if (r > 0.42f)
            return Rgba{0, 0, 0, 0};
        float light = 0.65f + 0.35f * (1 - r / 0.42f);
        float shine = std::exp(-((u + 0.12f) * (u + 0.12f) + (v + 0.14f) * (v + 0.14f)) * 60.0f);
        Rgba c{warm.r * light, warm.g * light, warm.b * light, 1};
        c = mix(c, Rgba{1, 1, 1, 1}, 0.7f * shine);
        // A dark rim keeps it apart from the groove.
        return mix(c, Rgba{0.2f, 0.1f, 0.05f, 1}, smoothstep(0.36f, 0.42f, r));
    });
    knob.writeTga(folder + "/slider_button.tga");
}

// The button plate: a dark slate face with a lighter rim; the caps round its ends.
Rgba plateColour(float u, float v, int end) {
    const float radius = 0.42f, margin = 0.06f;
    // Distance outside the rounded end (the middle part is open at both sides).
    float cx = end < 0   ? std::max(margin + radius - u, 0.0f)
               : end > 0 ? std::max(u - (1 - margin - radius), 0.0f)
                         : 0.0f;
    float cy = std::max(std::abs(v - 0.5f) - (0.5f - margin - radius), 0.0f);
    float d = std::hypot(cx, cy) - radius;
    if (d > 0)
        return Rgba{0, 0, 0, 0};
    Rgba face = mix(Rgba{0.22f, 0.26f, 0.40f, 1}, Rgba{0.10f, 0.12f, 0.22f, 1}, v);
    float rim = 1 - smoothstep(-0.07f, -0.03f, d);
    return mix(Rgba{0.55f, 0.62f, 0.85f, 1}, face, rim);
}

void drawButtonPart(const std::string& folder, const std::string& name, int end) {
    const int size = 64;
    Picture part(size, size);
    part.shade([&](float x, float y) { return plateColour(x / size, y / size, end); });
    part.writeTga(folder + "/" + name);
}

} // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : "Resources";
    drawBlock(folder);
    drawBackground(folder);
    drawTitle(folder);
    drawLogo(folder);
    drawIcons(folder);
    drawSliderPart(folder, "slider_left.tga", -1);
    drawSliderPart(folder, "slider_center.tga", 0);
    drawSliderPart(folder, "slider_right.tga", 1);
    drawSliderKnob(folder);
    drawButtonPart(folder, "button_left.tga", -1);
    drawButtonPart(folder, "button_center.tga", 0);
    drawButtonPart(folder, "button_right.tga", 1);
    std::printf("pictures written to %s\n", folder.c_str());
    return 0;
}
