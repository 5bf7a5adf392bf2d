// SPDX-License-Identifier: GPL-3.0-or-later
#include "pixels.h"

namespace velmar::gen {

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    // The default density follows the screen, and the PNG pHYs chunk would follow it.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    return image;
}

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

void fill(QImage& image, QRect rect, QRgb colour) {
    const QRect clipped = rect & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            image.setPixel(x, y, colour);
        }
    }
}

QRgb mix(QRgb a, QRgb b, int t) {
    auto channel = [t](int from, int to) { return from + (to - from) * t / 256; };
    return qRgba(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
                 channel(qBlue(a), qBlue(b)), qAlpha(a));
}

void bevel(QImage& image, QRect rect, QRgb light, QRgb dark) {
    fill(image, {rect.left(), rect.top(), rect.width(), 1}, light);
    fill(image, {rect.left(), rect.top(), 1, rect.height()}, light);
    fill(image, {rect.left(), rect.bottom(), rect.width(), 1}, dark);
    fill(image, {rect.right(), rect.top(), 1, rect.height()}, dark);
}

} // namespace velmar::gen
