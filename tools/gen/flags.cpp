// SPDX-License-Identifier: GPL-3.0-or-later
// The language chooser's flags: 16 by 12 pixels in the middle of a 16 by 16 image, the usual
// shape of a flag in a list.
#include "art.h"
#include "pixels.h"

namespace velmar::gen {
namespace {

constexpr QRect kFlag(0, 2, 16, 12);
constexpr QRgb kFlagWhite = 0xffffffff;

QRect band(int top, int height) {
    return {kFlag.left(), kFlag.top() + top, kFlag.width(), height};
}

// A darker rim keeps white stripes apart from a white list background.
QImage framed(QImage image) {
    constexpr QRgb kRimShade = 0xff202020;
    for (int y = kFlag.top(); y <= kFlag.bottom(); ++y) {
        for (int x = kFlag.left(); x <= kFlag.right(); ++x) {
            const bool rim =
                x == kFlag.left() || x == kFlag.right() || y == kFlag.top() || y == kFlag.bottom();
            if (rim) {
                image.setPixel(x, y, mix(image.pixel(x, y), kRimShade, 64));
            }
        }
    }
    return image;
}

QImage unitedStates() {
    constexpr QRgb kRed = 0xffc8102e;
    constexpr QRgb kBlue = 0xff1a2c78;
    QImage image = blank(16, 16);
    // Twelve rows cannot hold thirteen stripes; red on top, as the flag starts.
    for (int row = 0; row < kFlag.height(); ++row) {
        fill(image, band(row, 1), row % 2 == 0 ? kRed : kFlagWhite);
    }
    const QRect canton(kFlag.left(), kFlag.top(), 7, 7);
    fill(image, canton, kBlue);
    // Stars in staggered rows, as on the flag.
    for (int y = 1; y < canton.height() - 1; ++y) {
        for (int x = 1; x < canton.width() - 1; ++x) {
            if ((x + y) % 2 == 0) {
                image.setPixel(canton.left() + x, canton.top() + y, kFlagWhite);
            }
        }
    }
    return framed(image);
}

QImage russia() {
    QImage image = blank(16, 16);
    fill(image, band(0, 4), kFlagWhite);
    fill(image, band(4, 4), 0xff0039a6);
    fill(image, band(8, 4), 0xffd52b1e);
    return framed(image);
}

QImage ukraine() {
    QImage image = blank(16, 16);
    fill(image, band(0, 6), 0xff0057b7);
    fill(image, band(6, 6), 0xffffd700);
    return framed(image);
}

QImage france() {
    QImage image = blank(16, 16);
    fill(image, {kFlag.left(), kFlag.top(), 5, kFlag.height()}, 0xff0055a4);
    fill(image, {kFlag.left() + 5, kFlag.top(), 6, kFlag.height()}, kFlagWhite);
    fill(image, {kFlag.left() + 11, kFlag.top(), 5, kFlag.height()}, 0xffef4135);
    return framed(image);
}

} // namespace

std::vector<Picture> flags() {
    return {
        {QStringLiteral("flags/English.png"), unitedStates()},
        {QStringLiteral("flags/Russian.png"), russia()},
        {QStringLiteral("flags/Ukrainian.png"), ukraine()},
        {QStringLiteral("flags/French.png"), france()},
    };
}

} // namespace velmar::gen
