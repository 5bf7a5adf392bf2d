// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Paints a scene through the canvas into an image, so a test can read the pixels.

#include "platform/gdi/Canvas.h"

#include <QImage>
#include <QPainter>
#include <functional>

namespace canvas_images {

using platform::TColor;

inline QRgb rgbOf(TColor c) {
    return platform::ToQColor(c).rgb();
}

using Scene = std::function<void(platform::Canvas&)>;

inline QImage paint(int w, int h, const Scene& scene, int ratio = 1,
                    TColor background = platform::clWhite) {
    QImage image(w * ratio, h * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(platform::ToQColor(background));
    {
        QPainter painter(&image);
        platform::Canvas canvas(painter);
        scene(canvas);
    }
    return image;
}

inline platform::TFont sansFont() {
    platform::TFont font;
    font.Height = 16;
    font.Color = platform::clBlack;
    return font;
}

// Leftmost, topmost, rightmost and bottommost pixel of `color`; null when there is none.
inline QRect inkOf(const QImage& image, QRgb color) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace canvas_images
