// SPDX-License-Identifier: GPL-3.0-or-later
// The about box's picture: the game's name over a night sky and a board one move from solved.
#include "art.h"
#include "pictures.h"
#include "pixels.h"

#include <string>

namespace velmar::gen {
namespace {

constexpr QRgb kOutline = 0xff0d2226;
constexpr QRgb kBoard = 0xff31545a;
constexpr QRgb kTileLight = 0xff9af0e4;
constexpr QRgb kTileFace = 0xff26b8a8;
constexpr QRgb kTileDark = 0xff11796e;
constexpr QRgb kNumber = 0xffffff00; // the tiles' default number colour
constexpr QRgb kNumberShadow = 0xff0b4a44;

void paintTile(QImage& image, QRect tile, int number) {
    fill(image, tile, kTileFace);
    const int edge = tile.width() >= 16 ? 2 : 1;
    for (int i = 0; i < edge; ++i) {
        bevel(image, tile.adjusted(i, i, -i, -i), kTileLight, kTileDark);
    }
    if (tile.width() < 16) {
        return;
    }
    const std::string text = std::to_string(number);
    const QPoint at(tile.left() + (tile.width() - textWidth(text)) / 2,
                    tile.top() + (tile.height() - 8) / 2);
    drawText(image, at + QPoint(1, 1), text, kNumberShadow);
    drawText(image, at, text, kNumber);
}

// A deterministic sprinkle: the same stars on every run and machine.
void paintStars(QImage& image, QRect area) {
    unsigned state = 15u;
    for (int i = 0; i < 40; ++i) {
        state = state * 1103515245u + 12345u;
        const int x = area.left() + int((state >> 16) % unsigned(area.width()));
        state = state * 1103515245u + 12345u;
        const int y = area.top() + int((state >> 16) % unsigned(area.height()));
        const bool bright = i % 5 == 0;
        image.setPixel(x, y, bright ? 0xffffffff : 0xff8890c0);
    }
}

} // namespace

void paintBoard(QImage& image, const BoardLook& look) {
    const int size = 4 * look.cellSize + 3;
    const QRect frame(look.topLeft, QSize(size, size));
    fill(image, frame, kOutline);
    fill(image, frame.adjusted(1, 1, -1, -1), kBoard);
    const QPoint origin = look.topLeft + QPoint(2, 2);
    const int tile = look.cellSize - 1;
    const QPoint sliding = look.slide.isNull() ? QPoint(-1, -1) : look.hole - QPoint(1, 0);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const QPoint cell(column, row);
            if (cell == look.hole) {
                continue;
            }
            const QPoint corner = origin + cell * look.cellSize;
            const QPoint shift = cell == sliding ? look.slide : QPoint();
            paintTile(image, QRect(corner + shift, QSize(tile, tile)), row * 4 + column + 1);
        }
    }
}

QImage aboutPicture() {
    constexpr QRgb kSkyTop = 0xff0a1030;
    constexpr QRgb kSkyBottom = 0xff3a1c48;
    constexpr QRgb kTitle = 0xffffff00;
    constexpr QRgb kTitleShadow = 0xff802000;
    constexpr QRgb kCream = 0xfffffbf0;
    QImage image = blank(109, 169);
    for (int y = 0; y < image.height(); ++y) {
        fill(image, {0, y, image.width(), 1}, mix(kSkyTop, kSkyBottom, y * 256 / image.height()));
    }
    paintStars(image, image.rect().adjusted(1, 1, -1, -1));

    constexpr std::string_view kTitleText = "VELMAR";
    const int titleX = (image.width() - textWidth(kTitleText, 2)) / 2;
    drawText(image, {titleX + 2, 10}, kTitleText, kTitleShadow, 2);
    drawText(image, {titleX, 8}, kTitleText, kTitle, 2);

    const BoardLook board{{7, 34}, 23, {3, 3}, {11, 0}};
    paintBoard(image, board);

    constexpr std::string_view kSubtitle = "FIFTEEN";
    drawText(image, {(image.width() - textWidth(kSubtitle)) / 2, 145}, kSubtitle, kCream);
    bevel(image, image.rect(), 0xff6070a0, 0xff000000);
    return image;
}

} // namespace velmar::gen
