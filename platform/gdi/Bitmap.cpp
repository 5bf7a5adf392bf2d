// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Bitmap.h"

#include <cstring>
#include <vector>

namespace platform {

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFF;

// One ternary raster operation on 24-bit colours: bit i of `code` is the result for the
// pattern, source and destination bits (i >> 2, i >> 1, i) & 1.
QRgb rop3(unsigned code, QRgb p, QRgb s, QRgb d) {
    QRgb result = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if ((code >> i & 1u) == 0)
            continue;
        const QRgb mp = (i & 4u) ? p : ~p;
        const QRgb ms = (i & 2u) ? s : ~s;
        const QRgb md = (i & 1u) ? d : ~d;
        result |= mp & ms & md;
    }
    return result & kRgbMask;
}

bool isWhite(QRgb c) {
    return (c & kRgbMask) == kRgbMask;
}

// `area` of an RGB32 picture into `block` (of its size) row by row; what lies outside the
// picture is black. The pixel by pixel copy made every paint of a gradient button slow.
void copyRows(const QImage& from, const QRect& area, QImage& block) {
    const QRect inside = area.intersected(from.rect());
    if (inside != area)
        block.fill(QColor(Qt::black));
    const auto bytes = static_cast<std::size_t>(inside.width()) * sizeof(QRgb);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        std::memcpy(block.scanLine(y - area.top()) + (inside.left() - area.left()) * sizeof(QRgb),
                    from.constScanLine(y) + inside.left() * sizeof(QRgb), bytes);
}

} // namespace

TBitmap::TBitmap(int width, int height) {
    SetSize(width, height);
}

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height) {
    std::unique_ptr<platform::Canvas> old = std::move(canvas_);
    painter_.reset();
    image_ = QImage(std::max(0, width), std::max(0, height), QImage::Format_RGB32);
    image_.fill(Qt::white);
    if (old) {
        GetCanvas();
        canvas_->Pen = old->Pen;
        canvas_->Brush = old->Brush;
        canvas_->Font = old->Font;
    }
}

platform::Canvas& TBitmap::GetCanvas() {
    if (!canvas_) {
        painter_ = std::make_unique<QPainter>(&image_);
        canvas_ = std::make_unique<platform::Canvas>(*painter_);
    }
    return *canvas_;
}

// Every raster operation as two passes that never read the destination: with r0 and r1 the
// results for an all-zero and an all-one destination, the result is (D & (r0 ^ r1)) ^ r0.
// So it works on a widget as well as on an image, at any device pixel ratio.
void Canvas::blend(int x, int y, const QImage& source, std::uint32_t rop) {
    const unsigned code = (rop >> 16) & 0xFFu;
    const QRgb pattern = ToQColor(Brush.Color).rgb() & kRgbMask;
    QImage andMask(source.size(), QImage::Format_RGB32);
    QImage xorMask(source.size(), QImage::Format_RGB32);
    bool needAnd = false;
    bool needXor = false;
    for (int j = 0; j < source.height(); ++j) {
        for (int i = 0; i < source.width(); ++i) {
            const QRgb s = source.pixel(i, j) & kRgbMask;
            const QRgb r0 = rop3(code, pattern, s, 0);
            const QRgb r1 = rop3(code, pattern, s, kRgbMask);
            andMask.setPixel(i, j, 0xFF000000u | (r0 ^ r1));
            xorMask.setPixel(i, j, 0xFF000000u | r0);
            needAnd = needAnd || (r0 ^ r1) != kRgbMask;
            needXor = needXor || r0 != 0;
        }
    }
    painter_.save();
    if (needAnd) {
        painter_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter_.drawImage(QPoint(x, y), andMask);
    }
    if (needXor) {
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter_.drawImage(QPoint(x, y), xorMask);
    }
    painter_.restore();
}

void Canvas::BitBlt(int x, int y, int w, int h, const TBitmap& source, int sx, int sy,
                    std::uint32_t rop) {
    if (w <= 0 || h <= 0)
        return;
    const QImage& from = source.Image();
    QImage block(w, h, QImage::Format_RGB32);
    if (!source.Monochrome && from.format() == QImage::Format_RGB32) {
        copyRows(from, QRect(sx, sy, w, h), block);
    } else {
        const QRgb text = ToQColor(textColor_).rgb();
        const QRgb back = ToQColor(bkColor_).rgb();
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                const QPoint p(sx + i, sy + j);
                QRgb c = from.valid(p) ? from.pixel(p) : qRgb(0, 0, 0);
                if (source.Monochrome)
                    c = isWhite(c) ? back : text;
                block.setPixel(i, j, c);
            }
        }
    }
    if (rop == SRCCOPY)
        painter_.drawImage(QPoint(x, y), block);
    else
        blend(x, y, block, rop);
}

void Canvas::PatBlt(int x, int y, int w, int h, std::uint32_t rop) {
    if (w <= 0 || h <= 0)
        return;
    if (rop == PATCOPY) {
        fillPixels(QRect(x, y, w, h), ToQColor(Brush.Color));
        return;
    }
    QImage none(w, h, QImage::Format_RGB32);
    none.fill(Qt::black);
    blend(x, y, none, rop);
}

void Canvas::Draw(int x, int y, const TBitmap& bitmap) {
    if (!bitmap.Transparent) {
        BitBlt(x, y, bitmap.Width(), bitmap.Height(), bitmap, 0, 0, SRCCOPY);
        return;
    }
    QImage shown = bitmap.Image().convertToFormat(QImage::Format_ARGB32);
    const QRgb text = ToQColor(textColor_).rgb();
    for (int j = 0; j < shown.height(); ++j)
        for (int i = 0; i < shown.width(); ++i) {
            const QRgb c = shown.pixel(i, j);
            if (isWhite(c))
                shown.setPixel(i, j, 0);
            else if (bitmap.Monochrome)
                shown.setPixel(i, j, text);
        }
    painter_.drawImage(QPoint(x, y), shown);
}

} // namespace platform
