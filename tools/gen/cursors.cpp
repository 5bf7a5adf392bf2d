// SPDX-License-Identifier: GPL-3.0-or-later
#include "art.h"
#include "pixels.h"

#include <algorithm>
#include <cstdlib>

namespace velmar::gen {
namespace {

constexpr QRgb kOutline = 0xff000000;
constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kShade = 0xffc4ccd0;
constexpr QRgb kTeal = 0xff1fb5a5;
constexpr QRgb kTealLight = 0xff8ce8dd;

Cursor pointingHand() {
    QImage image = blank(32, 32);
    paintArt(image, {0, 0},
             {
                 ".....##..........", "....#oo#.........", "....#oo#.........", "....#oo#.........",
                 "....#oo#.........", "....#oo###.......", "....#oo#oo###....", "....#oo#oo#oo#...",
                 "....#oo#oo#oo###.", "##..#oo#oo#oo#oo#", "#o#.#oo#oo#oo#oo#", "#oo##oo#oo#oo#oo#",
                 ".#oo#oooooooooo+#", ".#ooooooooooooo+#", "..#oooooooooooo+#", "..#oooooooooooo+#",
                 "...#ooooooooooo+#", "...#oooooooooo+#.", "....#ooooooooo+#.", "....#ooooooooo+#.",
                 "....############.",
             },
             {{'#', kOutline}, {'o', kWhite}, {'+', kShade}});
    return {QStringLiteral("cursors/ORV_22.cur"), image, {5, 0}};
}

Cursor arrow() {
    QImage image = blank(32, 32);
    paintArt(image, {0, 0},
             {
                 "#...........", "##..........", "#h#.........", "#ht#........", "#htt#.......",
                 "#httt#......", "#htttt#.....", "#httttt#....", "#htttttt#...", "#httttttt#..",
                 "#htttttttt#.", "#htttt######", "#ht#tt#.....", "#h#.#tt#....", "##..#tt#....",
                 "#....#tt#...", ".....#tt#...", "......#tt#..", "......#tt#..", ".......##...",
             },
             {{'#', kOutline}, {'t', kTeal}, {'h', kTealLight}});
    return {QStringLiteral("cursors/ORV_33.cur"), image, {0, 0}};
}

// Distance along an arm from the centre, and sideways from its axis.
bool insideArm(int along, int across) {
    constexpr int tip = 11;
    constexpr int headBase = 7;
    constexpr int shaftHalfWidth = 1;
    if (along > tip) {
        return false;
    }
    return across <= (along >= headBase ? tip - along : shaftHalfWidth);
}

bool insideMoveCross(int dx, int dy) {
    return insideArm(std::abs(dy), std::abs(dx)) || insideArm(std::abs(dx), std::abs(dy));
}

Cursor moveCross() {
    QImage image = blank(32, 32);
    const QPoint centre(15, 15);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int dx = x - centre.x();
            const int dy = y - centre.y();
            if (!insideMoveCross(dx, dy)) {
                continue;
            }
            // Only side neighbours count, so the slanted edges stay one pixel thin.
            const bool edge = !insideMoveCross(dx - 1, dy) || !insideMoveCross(dx + 1, dy) ||
                              !insideMoveCross(dx, dy - 1) || !insideMoveCross(dx, dy + 1);
            image.setPixel(x, y, edge ? kOutline : kWhite);
        }
    }
    return {QStringLiteral("cursors/ORV_66.cur"), image, centre};
}

// Fills every pixel the shape covers with colourAt, except its rim, which gets the outline.
// Only side neighbours count as outside, so slanted edges stay one pixel thin.
template <typename Inside, typename ColourAt>
void paintOutlined(QImage& image, Inside inside, ColourAt colourAt) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!inside(x, y)) {
                continue;
            }
            const bool edge =
                !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            image.setPixel(x, y, edge ? kOutline : colourAt(x, y));
        }
    }
}

// The brush lies on the diagonal from its tip at the bottom left up to the top right. along
// runs from the tip up the handle, across is signed (two units per pixel step).
struct BrushPoint {
    int along;
    int across;
};

constexpr QPoint kBrushTip(1, 30);
constexpr int kBristlesEnd = 12;
constexpr int kFerruleEnd = 18;
constexpr int kHandleEnd = 45;

BrushPoint brushPoint(int x, int y) {
    const int p = x - kBrushTip.x();
    const int q = kBrushTip.y() - y;
    return {p + q, p - q};
}

bool insideBrush(int x, int y) {
    const auto [along, across] = brushPoint(x, y);
    if (along < 0 || along > kHandleEnd) {
        return false;
    }
    int halfWidth = 2; // the handle
    if (along <= 8) {
        halfWidth = along / 2; // slower than the diagonal, so the tip is one pixel
    } else if (along <= kBristlesEnd) {
        halfWidth = 5;
    } else if (along <= kFerruleEnd) {
        halfWidth = 4;
    } else if (along >= 28 && along < kHandleEnd - 1) {
        halfWidth = 3;
    }
    return std::abs(across) <= halfWidth;
}

QRgb brushColour(int x, int y) {
    constexpr QRgb kPaint = 0xffe8402a;
    constexpr QRgb kPaintLight = 0xffff9a70;
    constexpr QRgb kBristle = 0xffe8c888;
    constexpr QRgb kMetal = 0xffa8b0b8;
    constexpr QRgb kMetalLight = 0xffe8eef2;
    constexpr QRgb kHandle = 0xff3060d0;
    constexpr QRgb kHandleLight = 0xff80a8ff;
    const auto [along, across] = brushPoint(x, y);
    const bool lit = across < 0; // the upper-left side faces the light
    if (along <= 8) {
        return lit ? kPaintLight : kPaint;
    }
    if (along <= kBristlesEnd) {
        return kBristle;
    }
    if (along <= kFerruleEnd) {
        return along == kBristlesEnd + 2 ? kOutline : lit ? kMetalLight : kMetal;
    }
    return lit ? kHandleLight : kHandle;
}

// Over the colour choosers: a brush with paint on it, pointing with its tip.
Cursor paintBrush() {
    QImage image = blank(32, 32);
    paintOutlined(image, insideBrush, brushColour);
    return {QStringLiteral("cursors/ORV_44.cur"), image, kBrushTip};
}

constexpr QPoint kGearCentre(18, 20);

bool insideGear(int x, int y) {
    const int dx = std::abs(x - kGearCentre.x());
    const int dy = std::abs(y - kGearCentre.y());
    const int radius2 = dx * dx + dy * dy;
    if (radius2 <= 2) {
        return false; // the axle hole
    }
    const bool body = radius2 <= 20;
    const bool straightTooth = std::min(dx, dy) <= 1 && std::max(dx, dy) <= 7;
    const bool slantedTooth = std::abs(dx - dy) <= 1 && std::max(dx, dy) <= 5;
    return body || straightTooth || slantedTooth;
}

// Over the parameters dialog's panel and frames: a gold arrow carrying a gear.
Cursor settingsArrow() {
    constexpr QRgb kGold = 0xffffc820;
    constexpr QRgb kGoldLight = 0xfffff0a0;
    constexpr QRgb kSteel = 0xffb8c4cc;
    constexpr QRgb kSteelLight = 0xfff0f4f8;
    QImage image = blank(32, 32);
    paintOutlined(image, insideGear, [&](int x, int y) {
        return x + y < kGearCentre.x() + kGearCentre.y() - 2 ? kSteelLight : kSteel;
    });
    paintArt(image, {0, 0},
             {
                 "#.........",
                 "##........",
                 "#h#.......",
                 "#hg#......",
                 "#hgg#.....",
                 "#hggg#....",
                 "#hgggg#...",
                 "#hggggg#..",
                 "#hgggggg#.",
                 "#hggg#####",
                 "#hg#gg#...",
                 "#h#.#gg#..",
                 "##..#gg#..",
                 "#....#gg#.",
                 ".....#gg#.",
                 "......##..",
             },
             {{'#', kOutline}, {'g', kGold}, {'h', kGoldLight}});
    return {QStringLiteral("cursors/ORV_77.cur"), image, {0, 0}};
}

} // namespace

std::vector<Cursor> cursors() {
    return {pointingHand(), arrow(), moveCross(), paintBrush(), settingsArrow()};
}

} // namespace velmar::gen
