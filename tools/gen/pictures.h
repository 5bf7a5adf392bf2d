// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces the larger pictures share.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

namespace velmar::gen {

struct BoardLook {
    QPoint topLeft;
    int cellSize; // a tile and the 1-pixel gap after it
    QPoint hole;  // the empty cell; the others hold their tiles in order
    QPoint slide; // the tile left of the hole drawn this far towards it
};

// The board is 4 * cellSize + 3 pixels square: an outline, a margin, the cells. Tiles get
// numbers where they are large enough to hold them.
void paintBoard(QImage& image, const BoardLook& look);

QImage aboutPicture();

} // namespace velmar::gen
