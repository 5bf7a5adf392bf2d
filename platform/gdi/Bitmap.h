// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Canvas.h"

#include <QImage>
#include <memory>

namespace platform {

// An off-screen picture in design pixels with a canvas of its own. A transparent bitmap leaves
// its white pixels out when drawn; a monochrome one is blitted in the destination's text colour
// (its non-white pixels) and background colour (its white pixels).
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height);
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    bool Transparent = false;
    bool Monochrome = false;

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    // A new size starts all white; the canvas keeps its pen, brush and font.
    void SetSize(int width, int height);
    platform::Canvas& GetCanvas();
    const QImage& Image() const { return image_; }

private:
    QImage image_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<platform::Canvas> canvas_;
};

} // namespace platform
