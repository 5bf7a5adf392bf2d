// SPDX-License-Identifier: GPL-3.0-or-later
#include "art.h"
#include "pixels.h"

#include <QPainter>

namespace velmar::gen {
namespace {

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
void addTile(std::vector<IconShape>& shapes, QPoint corner) {
    shapes.push_back({QRect(corner, QSize(3, 3)), kTileDark});
    shapes.push_back({QRect(corner, QSize(2, 2)), kTileFace});
    shapes.push_back({QRect(corner, QSize(1, 1)), kTileLight});
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

std::vector<IconShape> frameShapes(const FrameLayout& layout) {
    std::vector<IconShape> shapes{{QRect(0, 0, 16, 16), kBoardOutline},
                                  {QRect(1, 1, 14, 14), kBoard}};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const QPoint cell(column, row);
            const QPoint corner = cellCorner(column, row);
            if (cell == layout.hole || cell == layout.sliding) {
                shapes.push_back({QRect(corner, QSize(kCellSize, kCellSize)), kHole});
            } else {
                addTile(shapes, corner);
            }
        }
    }
    if (layout.sliding.x() >= 0) {
        addTile(shapes, cellCorner(layout.sliding.x(), layout.sliding.y()) + layout.offset);
    }
    return shapes;
}

QImage iconFrame(const FrameLayout& layout) {
    QImage image = blank(16, 16);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const IconShape& shape : frameShapes(layout)) {
        painter.fillRect(shape.rect, QColor::fromRgba(shape.colour));
    }
    painter.end();
    // Rounded corners.
    for (QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)}) {
        image.setPixel(corner, 0);
    }
    return image;
}

} // namespace

std::vector<Picture> iconFrames() {
    std::vector<Picture> frames;
    int index = 0;
    for (const FrameLayout& layout : kFrames) {
        frames.push_back({QStringLiteral("icons/Frame%1.png").arg(index++), iconFrame(layout)});
    }
    return frames;
}

std::vector<IconShape> iconShapes() {
    return frameShapes(kFrames[0]);
}

QImage iconImage() {
    return iconFrame(kFrames[0]);
}

} // namespace velmar::gen
