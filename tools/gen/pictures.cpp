// SPDX-License-Identifier: GPL-3.0-or-later
// The splash window's picture and the volume window's wedge.
#include "pictures.h"
#include "art.h"
#include "pixels.h"

namespace velmar::gen {
namespace {

constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kHighlight = 0xffffffff; // the classic button highlight
constexpr QRgb kShadow = 0xff808080;    // and shadow
constexpr QRgb kSilver = 0xffc0c0c0;

// The splash: a black panel, raised outside and lowered inside, with the loading caption in red
// beside a small board.
QImage splash() {
    constexpr QRgb kRed = 0xffff0000;
    QImage image = blank(212, 43);
    fill(image, image.rect(), kBlack);
    bevel(image, image.rect(), kHighlight, kShadow);
    bevel(image, image.rect().adjusted(1, 1, -1, -1), kShadow, kHighlight);

    const BoardLook board{{8, 6}, 7, {3, 3}, {}};
    paintBoard(image, board);
    constexpr std::string_view kCaption = "Loading Game ...";
    const int left = board.topLeft.x() + 4 * board.cellSize + 3;
    const int x = left + (image.width() - 2 - left - textWidth(kCaption)) / 2;
    drawText(image, {x, (image.height() - 8) / 2}, kCaption, kRed);
    return image;
}

// The scale beside the volume slider: a wedge 11 pixels wide at the top that narrows to a point,
// outlined like a sunk-in groove's light and shadow, on silver that the window keys out. The
// bottom row stays silver: the classic toolkit takes the colour to key out from the bottom-left
// pixel.
QImage wedge() {
    constexpr int kSize = 64;
    constexpr int kTopWidth = 11;
    constexpr int kPointRow = kSize - 2;
    QImage image = blank(kSize, kSize);
    fill(image, image.rect(), kSilver);
    for (int y = 0; y <= kPointRow; ++y) {
        // Rounded to the nearest pixel, in integers so every machine agrees.
        const int right = ((kTopWidth - 1) * (kPointRow - y) * 2 + kPointRow) / (kPointRow * 2);
        if (y == 0) {
            fill(image, {0, 0, right, 1}, kHighlight);
        } else if (right > 0) {
            image.setPixel(0, y, kHighlight);
        }
        image.setPixel(right, y, kShadow);
    }
    return image;
}

} // namespace

std::vector<Picture> pictures() {
    return {
        {QStringLiteral("pictures/Splash.png"), splash()},
        {QStringLiteral("pictures/About.png"), aboutPicture()},
        {QStringLiteral("pictures/VolumeWedge.png"), wedge()},
    };
}

} // namespace velmar::gen
