// Builds the game's font sheet Resources/Brisk.tga from a TrueType face.
//
// The sheet is a 32-bit run-length TGA (bottom row first) of 16 x 8 square cells, one per code
// 0-127. Every pixel is white; the glyph's antialiased coverage is its alpha. The font reads its
// metrics from the ink itself, so:
//   - the first pixel column of each cell holds only the baseline marker: one opaque pixel on the
//     row that glyphs stand on, in every printable cell (32-126);
//   - the space cell carries a one-row line of ink on the baseline whose length sets the width of
//     a blank (the blank is never drawn, only measured);
//   - control codes and 127 stay empty.
// Glyphs are centred across their cell and share one baseline, chosen so the tallest ink sits in
// the middle of the cell; the margins keep linear filtering from bleeding between cells.
//
// Needs libfreetype-dev and fonts-dejavu-core (not needed to build or test the game; the sheet is
// committed). Rebuild with:
//   g++ -O2 -std=c++20 tools/make_font_sheet.cpp -o /tmp/make_font_sheet
//       $(pkg-config --cflags --libs freetype2)     (all on one line)
//   /tmp/make_font_sheet /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf Resources/Brisk.tga
// Optional third and fourth arguments: the cell edge in pixels (default 64) and the em size in
// pixels (default 40).

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sheet {
    int width, height;
    std::vector<uint8_t> alpha; // row 0 is the bottom row
    uint8_t& at(int x, int y) { return alpha[static_cast<size_t>(y) * width + x]; }
};

bool writeRleTga(const Sheet& sheet, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    uint8_t header[18] = {};
    header[2] = 10; // run-length true-colour
    header[12] = sheet.width & 0xff;
    header[13] = sheet.width >> 8;
    header[14] = sheet.height & 0xff;
    header[15] = sheet.height >> 8;
    header[16] = 32;
    header[17] = 8; // eight alpha bits, bottom-left origin
    std::fwrite(header, 1, sizeof header, f);

    auto pixel = [&](uint8_t a) {
        const uint8_t bgra[4] = {255, 255, 255, a};
        std::fwrite(bgra, 1, 4, f);
    };
    const size_t n = sheet.alpha.size();
    size_t p = 0;
    while (p < n) {
        size_t run = 1;
        while (p + run < n && run < 128 && sheet.alpha[p + run] == sheet.alpha[p]) {
            ++run;
        }
        if (run > 1) {
            std::fputc(static_cast<int>(0x80 | (run - 1)), f);
            pixel(sheet.alpha[p]);
            p += run;
            continue;
        }
        // Raw packet: up to the next run of two or more.
        size_t count = 1;
        while (p + count < n && count < 128 &&
               !(p + count + 1 < n && sheet.alpha[p + count] == sheet.alpha[p + count + 1])) {
            ++count;
        }
        std::fputc(static_cast<int>(count - 1), f);
        for (size_t i = 0; i < count; ++i) {
            pixel(sheet.alpha[p + i]);
        }
        p += count;
    }
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FONT.ttf OUT.tga [CELL_PX [EM_PX]]\n", argv[0]);
        return 2;
    }
    const int cell = argc > 3 ? std::atoi(argv[3]) : 64;
    const int em = argc > 4 ? std::atoi(argv[4]) : 40;
    if (cell < 16 || em < 4 || em >= cell) {
        std::fprintf(stderr, "bad cell or em size\n");
        return 2;
    }

    FT_Library lib;
    FT_Face face;
    if (FT_Init_FreeType(&lib) || FT_New_Face(lib, argv[1], 0, &face) ||
        FT_Set_Pixel_Sizes(face, 0, em)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }

    // First pass: the vertical extent of all printable ink, to place the shared baseline.
    int highest = 0, lowest = 0;
    for (int ch = 33; ch < 127; ++ch) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER)) {
            continue;
        }
        const FT_GlyphSlot g = face->glyph;
        highest = std::max(highest, g->bitmap_top);
        lowest = std::min(lowest, g->bitmap_top - static_cast<int>(g->bitmap.rows));
    }
    const int baseline = (cell - (highest - lowest)) / 2 - lowest;
    if (highest - lowest > cell - 4) {
        std::fprintf(stderr, "glyphs too tall for the cell\n");
        return 1;
    }

    Sheet sheet{cell * 16, cell * 8, {}};
    sheet.alpha.assign(static_cast<size_t>(sheet.width) * sheet.height, 0);

    for (int ch = 32; ch < 127; ++ch) {
        const int x0 = (ch % 16) * cell;
        const int y0 = (7 - ch / 16) * cell;
        sheet.at(x0, y0 + baseline) = 255;

        if (FT_Load_Char(face, ch, FT_LOAD_RENDER)) {
            std::fprintf(stderr, "no glyph for %d\n", ch);
            return 1;
        }
        const FT_GlyphSlot g = face->glyph;

        if (ch == ' ') {
            // The gap between two words is the blank's ink plus two letter gaps (0.05 of the
            // cell each); aim for about 0.45 em overall, close to the face's own word spacing.
            const int length = std::max(1, static_cast<int>(0.45 * em - 0.1 * cell + 1.5));
            const int start = 1 + (cell - 1 - length) / 2;
            for (int x = 0; x <= length; ++x) {
                sheet.at(x0 + start + x, y0 + baseline) = 255;
            }
            continue;
        }

        const int rows = static_cast<int>(g->bitmap.rows);
        const int cols = static_cast<int>(g->bitmap.width);
        if (cols > cell - 4) {
            std::fprintf(stderr, "glyph %d too wide for the cell\n", ch);
            return 1;
        }
        const int left = 1 + (cell - 1 - cols) / 2;
        for (int r = 0; r < rows; ++r) {
            // Bitmap row r lies (bitmap_top - 1 - r) rows above the baseline row.
            const int y = y0 + baseline + g->bitmap_top - 1 - r;
            for (int c = 0; c < cols; ++c) {
                sheet.at(x0 + left + c, y) = g->bitmap.buffer[r * g->bitmap.pitch + c];
            }
        }
    }

    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    if (!writeRleTga(sheet, argv[2])) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
