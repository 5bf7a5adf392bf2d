// SPDX-License-Identifier: GPL-3.0-or-later
// A hand-drawn bold face, so captions in the pictures need no installed font and never change
// with the rasteriser.
#include "pixels.h"

#include <array>

namespace velmar::gen {
namespace {

struct Glyph {
    char character;
    int top; // rows above the first drawn row; the baseline lies below row 7
    std::initializer_list<std::string_view> rows;
};

// clang-format off
const std::array kGlyphs = {
    Glyph{' ', 0, {"..."}},
    Glyph{'.', 6, {"##", "##"}},
    Glyph{'0', 0, {".####.", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", ".####."}},
    Glyph{'1', 0, {"..##", ".###", "####", "..##", "..##", "..##", "..##", "..##"}},
    Glyph{'2', 0, {".####.", "##..##", "....##", "...##.", "..##..", ".##...", "##....", "######"}},
    Glyph{'3', 0, {".####.", "##..##", "....##", "..###.", "....##", "....##", "##..##", ".####."}},
    Glyph{'4', 0, {"...##.", "..###.", ".####.", "##.##.", "##.##.", "######", "...##.", "...##."}},
    Glyph{'5', 0, {"######", "##....", "#####.", "....##", "....##", "....##", "##..##", ".####."}},
    Glyph{'6', 0, {".####.", "##..##", "##....", "#####.", "##..##", "##..##", "##..##", ".####."}},
    Glyph{'7', 0, {"######", "....##", "...##.", "...##.", "..##..", "..##..", ".##...", ".##..."}},
    Glyph{'8', 0, {".####.", "##..##", "##..##", ".####.", "##..##", "##..##", "##..##", ".####."}},
    Glyph{'9', 0, {".####.", "##..##", "##..##", "##..##", ".#####", "....##", "##..##", ".####."}},
    Glyph{'A', 0, {"..####..", ".##..##.", "##....##", "##....##", "########", "##....##", "##....##", "##....##"}},
    Glyph{'E', 0, {"######", "##....", "##....", "#####.", "##....", "##....", "##....", "######"}},
    Glyph{'F', 0, {"######", "##....", "##....", "#####.", "##....", "##....", "##....", "##...."}},
    Glyph{'G', 0, {".#####.", "##...##", "##.....", "##.....", "##..###", "##...##", "##...##", ".######"}},
    Glyph{'I', 0, {"##", "##", "##", "##", "##", "##", "##", "##"}},
    Glyph{'L', 0, {"##....", "##....", "##....", "##....", "##....", "##....", "##....", "######"}},
    Glyph{'M', 0, {"##.....##", "###...###", "####.####", "##.###.##", "##..#..##", "##.....##", "##.....##", "##.....##"}},
    Glyph{'N', 0, {"##...##", "###..##", "####.##", "##.####", "##..###", "##...##", "##...##", "##...##"}},
    Glyph{'R', 0, {"######.", "##...##", "##...##", "######.", "##.##..", "##..##.", "##...##", "##...##"}},
    Glyph{'T', 0, {"######", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..", "..##.."}},
    Glyph{'V', 0, {"##....##", "##....##", "##....##", ".##..##.", ".##..##.", "..####..", "..####..", "...##..."}},
    Glyph{'a', 2, {".####.", "....##", ".#####", "##..##", "##..##", ".#####"}},
    Glyph{'d', 0, {"....##", "....##", ".#####", "##..##", "##..##", "##..##", "##..##", ".#####"}},
    Glyph{'e', 2, {".####.", "##..##", "######", "##....", "##..##", ".####."}},
    Glyph{'g', 2, {".#####", "##..##", "##..##", "##..##", "##..##", ".#####", "....##", "#####."}},
    Glyph{'i', 0, {"##", "..", "##", "##", "##", "##", "##", "##"}},
    Glyph{'m', 2, {"#########.", "##..##..##", "##..##..##", "##..##..##", "##..##..##", "##..##..##"}},
    Glyph{'n', 2, {"#####.", "##..##", "##..##", "##..##", "##..##", "##..##"}},
    Glyph{'o', 2, {".####.", "##..##", "##..##", "##..##", "##..##", ".####."}},
};
// clang-format on

const Glyph* glyphOf(char character) {
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.character == character) {
            return &glyph;
        }
    }
    return nullptr;
}

int glyphWidth(const Glyph& glyph) {
    return int(glyph.rows.begin()->size());
}

} // namespace

int textWidth(std::string_view text, int scale) {
    int width = 0;
    for (char character : text) {
        if (const Glyph* glyph = glyphOf(character)) {
            width += (width > 0 ? scale : 0) + glyphWidth(*glyph) * scale;
        }
    }
    return width;
}

void drawText(QImage& image, QPoint topLeft, std::string_view text, QRgb colour, int scale) {
    int x = topLeft.x();
    for (char character : text) {
        const Glyph* glyph = glyphOf(character);
        if (!glyph) {
            continue;
        }
        int y = topLeft.y() + glyph->top * scale;
        for (std::string_view row : glyph->rows) {
            for (int i = 0; i < int(row.size()); ++i) {
                if (row[std::size_t(i)] == '#') {
                    fill(image, {x + i * scale, y, scale, scale}, colour);
                }
            }
            y += scale;
        }
        x += (glyphWidth(*glyph) + 1) * scale;
    }
}

} // namespace velmar::gen
