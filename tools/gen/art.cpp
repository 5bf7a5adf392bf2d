// SPDX-License-Identifier: GPL-3.0-or-later
#include "art.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <cstdlib>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace velmar::gen {
namespace {

constexpr QRgb kOutline = 0xff000000;
constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kShade = 0xffc4ccd0;
constexpr QRgb kTeal = 0xff1fb5a5;
constexpr QRgb kTealLight = 0xff8ce8dd;

QImage blank(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    // The default density follows the screen, and the PNG pHYs chunk would follow it.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    return image;
}

using Palette = std::initializer_list<std::pair<char, QRgb>>;

// One character per pixel; characters missing from the palette stay transparent.
void paintArt(QImage& image, QPoint origin, std::initializer_list<std::string_view> rows,
              Palette palette) {
    int y = origin.y();
    for (std::string_view row : rows) {
        for (int i = 0; i < int(row.size()); ++i) {
            for (const auto& [key, colour] : palette) {
                if (row[std::size_t(i)] == key) {
                    image.setPixel(origin.x() + i, y, colour);
                }
            }
        }
        ++y;
    }
}

Cursor pointingHand() {
    QImage image = blank(32);
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
    QImage image = blank(32);
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
    QImage image = blank(32);
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

// The icon: a dark board holding a 4x4 grid of bevelled 3x3 tiles.
constexpr QRgb kBoardOutline = 0xff0d2226;
constexpr QRgb kBoard = 0xff31545a;
constexpr QRgb kHole = 0xff0a171a;
constexpr QRgb kTileLight = 0xff9af0e4;
constexpr QRgb kTileFace = 0xff26b8a8;
constexpr QRgb kTileDark = 0xff11796e;
constexpr int kCellOrigin = 2;
constexpr int kCellSize = 3;

QPoint cellCorner(int column, int row) {
    return {kCellOrigin + column * kCellSize, kCellOrigin + row * kCellSize};
}

// A 2x2 face lit from the top left, its shadowed edges parting it from the next tile.
void paintTile(QPainter& painter, QPoint corner) {
    const int x = corner.x();
    const int y = corner.y();
    painter.fillRect(x, y, 3, 3, QColor::fromRgba(kTileDark));
    painter.fillRect(x, y, 2, 2, QColor::fromRgba(kTileFace));
    painter.fillRect(x, y, 1, 1, QColor::fromRgba(kTileLight));
}

struct FrameLayout {
    QPoint hole;    // cell left empty
    QPoint sliding; // cell whose tile is drawn shifted, or (-1, -1)
    QPoint offset;  // shift of that tile in pixels
};

// The gap walks clockwise round the bottom-right 2x2 block. A grid only has even cycles, so
// one of the four moves is spread over two frames to make five distinct frames that loop.
constexpr FrameLayout kFrames[] = {
    {{3, 3}, {-1, -1}, {0, 0}}, {{2, 3}, {-1, -1}, {0, 0}}, {{2, 2}, {-1, -1}, {0, 0}},
    {{3, 2}, {-1, -1}, {0, 0}}, {{3, 2}, {3, 3}, {0, -2}},
};

QImage iconFrame(const FrameLayout& layout) {
    QImage image = blank(16);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(0, 0, 16, 16, QColor::fromRgba(kBoardOutline));
    painter.fillRect(1, 1, 14, 14, QColor::fromRgba(kBoard));
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const QPoint cell(column, row);
            const QPoint corner = cellCorner(column, row);
            if (cell == layout.hole || cell == layout.sliding) {
                painter.fillRect(corner.x(), corner.y(), kCellSize, kCellSize,
                                 QColor::fromRgba(kHole));
            } else {
                paintTile(painter, corner);
            }
        }
    }
    if (layout.sliding.x() >= 0) {
        paintTile(painter, cellCorner(layout.sliding.x(), layout.sliding.y()) + layout.offset);
    }
    painter.end();
    // Rounded corners.
    for (QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)}) {
        image.setPixel(corner, 0);
    }
    return image;
}

} // namespace

std::vector<Cursor> cursors() {
    return {pointingHand(), arrow(), moveCross()};
}

std::vector<IconFrame> iconFrames() {
    std::vector<IconFrame> frames;
    int index = 0;
    for (const FrameLayout& layout : kFrames) {
        frames.push_back({QStringLiteral("icons/Frame%1.png").arg(index++), iconFrame(layout)});
    }
    return frames;
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        return {};
    }
    return bytes;
}

QByteArray curBytes(const QImage& image, QPoint hotspot) {
    const QByteArray png = pngBytes(image);
    if (png.isEmpty() || image.width() > 256 || image.height() > 256) {
        return {};
    }
    QByteArray out;
    auto u8 = [&out](unsigned value) { out.append(char(value & 0xffu)); };
    auto u16 = [&u8](unsigned value) {
        u8(value);
        u8(value >> 8);
    };
    auto u32 = [&u16](unsigned value) {
        u16(value & 0xffffu);
        u16(value >> 16);
    };
    constexpr unsigned kHeaderSize = 6 + 16;
    u16(0);                      // reserved
    u16(2);                      // cursor
    u16(1);                      // image count
    u8(unsigned(image.width())); // 256 wraps to 0, which is how the format spells it
    u8(unsigned(image.height()));
    u8(0); // colour count: not a palette image
    u8(0); // reserved
    u16(unsigned(hotspot.x()));
    u16(unsigned(hotspot.y()));
    u32(unsigned(png.size()));
    u32(kHeaderSize);
    out.append(png);
    return out;
}

} // namespace velmar::gen
