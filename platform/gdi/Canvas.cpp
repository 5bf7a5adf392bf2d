// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Canvas.h"

#include <QImage>
#include <QPaintDevice>
#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace platform {

namespace {

// The half-open span [left, right) of one row; empty when right <= left.
struct Span {
    int left = 0;
    int right = 0;
    bool empty() const { return right <= left; }
};

// Whether pixel (x, y) of a w-by-h ellipse's top-left quarter is painted. The midpoint
// rasteriser puts the arc on the nearest pixel, column by column where the arc is flat and row by
// row where it is steep; a midpoint exactly on the arc goes inward. Coordinates are doubled so
// that the half-pixel centres stay whole numbers.
bool cornerCovers(int x, int y, int w, int h) {
    const double rx = w - 1;
    const double ry = h - 1;
    auto within = [&](double dx, double dy) {
        return dx * dx * ry * ry + dy * dy * rx * rx < rx * rx * ry * ry;
    };
    return within(2 * x - rx, 2 * y + 1 - ry) || within(2 * x + 1 - rx, 2 * y - ry);
}

// Pixels left out at the start of each row of a corner, from the outermost row in; a corner
// narrower than 3 pixels stays square.
std::vector<int> cornerSteps(int w, int h) {
    std::vector<int> steps;
    if (w < 3 || h < 3)
        return steps;
    for (int y = 0; y < (h + 1) / 2; ++y) {
        int x = 0;
        while (x < (w + 1) / 2 && !cornerCovers(x, y, w, h))
            ++x;
        if (x == 0)
            break;
        steps.push_back(x);
    }
    return steps;
}

// A rectangle with the same ellipse at all four corners, read row by row.
class RoundedShape {
public:
    RoundedShape(const TRect& box, int ew, int eh)
        : box_(box), steps_(cornerSteps(std::min(ew, box.Width()), std::min(eh, box.Height()))) {}

    Span row(int y) const {
        if (y < box_.Top || y >= box_.Bottom || box_.Right <= box_.Left)
            return {};
        const auto fromEdge = static_cast<std::size_t>(std::min(y - box_.Top, box_.Bottom - 1 - y));
        const int inset = fromEdge < steps_.size() ? steps_[fromEdge] : 0;
        return {box_.Left + inset, box_.Right - inset};
    }

    // The row without its one-pixel outline: a pixel is inside when its four neighbours are in
    // the shape, so the outline is the thin curve the rasteriser draws.
    Span interior(int y) const {
        const Span above = row(y - 1);
        const Span here = row(y);
        const Span below = row(y + 1);
        if (above.empty() || here.empty() || below.empty())
            return {};
        return {std::max({here.left + 1, above.left, below.left}),
                std::min({here.right - 1, above.right, below.right})};
    }

private:
    TRect box_;
    std::vector<int> steps_;
};

} // namespace

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(static_cast<long long>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long q = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
    return static_cast<int>(negative ? -q : q);
}

Canvas::Canvas(QPainter& painter) : painter_(painter) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

TColor Canvas::SetTextColor(TColor color) {
    return std::exchange(textColor_, color);
}

TColor Canvas::SetBkColor(TColor color) {
    return std::exchange(bkColor_, color);
}

void Canvas::fillPixels(const QRect& r, const QColor& color) {
    if (r.width() > 0 && r.height() > 0)
        painter_.fillRect(r, color);
}

void Canvas::FillRect(const TRect& r) {
    if (Brush.Style == bsClear)
        return;
    fillPixels(QRect(r.Left, r.Top, r.Width(), r.Height()), ToQColor(Brush.Color));
}

void Canvas::FrameRect(const TRect& r) {
    if (r.Right <= r.Left || r.Bottom <= r.Top)
        return;
    const QColor color = ToQColor(Brush.Color);
    fillPixels(QRect(r.Left, r.Top, r.Width(), 1), color);
    fillPixels(QRect(r.Left, r.Bottom - 1, r.Width(), 1), color);
    fillPixels(QRect(r.Left, r.Top + 1, 1, r.Height() - 2), color);
    fillPixels(QRect(r.Right - 1, r.Top + 1, 1, r.Height() - 2), color);
}

void Canvas::MoveTo(int x, int y) {
    penPos_ = {x, y};
}

void Canvas::plot(int x, int y, const QColor& color) {
    const int w = Pen.Width > 1 ? Pen.Width : 1;
    painter_.fillRect(QRect(x - (w - 1) / 2, y - (w - 1) / 2, w, w), color);
}

void Canvas::LineTo(int x, int y) {
    const QColor color = ToQColor(Pen.Color);
    int x0 = penPos_.X;
    int y0 = penPos_.Y;
    penPos_ = {x, y};
    if (Pen.Style == psClear)
        return;
    const int dx = std::abs(x - x0);
    const int dy = -std::abs(y - y0);
    const int sx = x0 < x ? 1 : -1;
    const int sy = y0 < y ? 1 : -1;
    if (Pen.Width <= 1 && (dx == 0 || dy == 0)) {
        // Horizontal and vertical lines as one rectangle, still without the end point.
        if (dx > 0)
            painter_.fillRect(QRect(sx > 0 ? x0 : x + 1, y0, dx, 1), color);
        else if (dy < 0)
            painter_.fillRect(QRect(x0, sy > 0 ? y0 : y + 1, 1, -dy), color);
        return;
    }
    int err = dx + dy;
    while (x0 != x || y0 != y) {
        plot(x0, y0, color);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
    RoundRect(left, top, right, bottom, 0, 0);
}

void Canvas::RoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                       int ellipseHeight) {
    int ew = std::abs(ellipseWidth);
    int eh = std::abs(ellipseHeight);
    TRect outer = Rect(left, top, right, bottom);
    int ring = 0;
    if (Pen.Style == psClear) {
        // Without a pen the classic desktop fills one pixel less on the right and bottom.
        --outer.Right;
        --outer.Bottom;
    } else {
        ring = std::max(1, Pen.Width);
        if (ring > 1) {
            if (Pen.Style == psSolid) {
                // A wide pen is centred on the outline; an even width puts its extra pixel
                // outside the top and left edges.
                const int out = ring / 2;
                outer = Rect(left - out, top - out, right + (ring - 1 - out),
                             bottom + (ring - 1 - out));
                ew += ring - 1;
                eh += ring - 1;
            }
            // Wide pens join round, so even a square corner loses its outermost pixel.
            ew = std::max(ew, 3);
            eh = std::max(eh, 3);
        }
    }
    const RoundedShape shape(outer, ew, eh);
    TRect innerBox = outer;
    InflateRect(innerBox, -ring, -ring);
    const RoundedShape inner(innerBox, std::max(0, ew - 2 * ring), std::max(0, eh - 2 * ring));
    const QColor penColor = ToQColor(Pen.Color);
    const QColor brushColor = ToQColor(Brush.Color);
    for (int y = outer.Top; y < outer.Bottom; ++y) {
        const Span o = shape.row(y);
        const Span i = ring == 0 ? o : ring == 1 ? shape.interior(y) : inner.row(y);
        if (i.empty()) {
            fillPixels(QRect(o.left, y, o.right - o.left, 1), penColor);
            continue;
        }
        fillPixels(QRect(o.left, y, i.left - o.left, 1), penColor);
        fillPixels(QRect(i.right, y, o.right - i.right, 1), penColor);
        if (Brush.Style == bsSolid)
            fillPixels(QRect(i.left, y, i.right - i.left, 1), brushColor);
    }
}

void Canvas::SetPixel(int x, int y, TColor color) {
    painter_.fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

TColor Canvas::GetPixel(int x, int y) const {
    QPaintDevice* device = painter_.device();
    if (!device || device->devType() != QInternal::Image)
        return CLR_INVALID;
    const auto* image = static_cast<const QImage*>(device);
    const QPoint p = painter_.deviceTransform().map(QPoint(x, y));
    if (!image->valid(p))
        return CLR_INVALID;
    return FromQRgb(image->pixel(p));
}

void Canvas::Frame3D(TRect& r, TColor topColor, TColor bottomColor, int width) {
    const TPen saved = Pen;
    Pen.Width = 1;
    Pen.Style = psSolid;
    --r.Bottom;
    --r.Right;
    while (width-- > 0) {
        Pen.Color = topColor;
        MoveTo(r.Left, r.Bottom);
        LineTo(r.Left, r.Top);
        LineTo(r.Right, r.Top);
        Pen.Color = bottomColor;
        LineTo(r.Right, r.Bottom);
        LineTo(r.Left - 1, r.Bottom);
        InflateRect(r, -1, -1);
    }
    ++r.Bottom;
    ++r.Right;
    Pen = saved;
}

bool Canvas::DrawFrameControl(TRect& r, unsigned type, unsigned state) {
    if (type != DFC_BUTTON || (state & 0xFF) != DFCS_BUTTONPUSH)
        return false;
    // The inactive flag only greys glyphs; a push button's edge stays the same.
    TRect inside = r;
    if (state & DFCS_PUSHED) {
        Frame3D(inside, cl3DDkShadow, clBtnHighlight, 1);
        Frame3D(inside, clBtnShadow, cl3DLight, 1);
    } else {
        Frame3D(inside, clBtnHighlight, cl3DDkShadow, 1);
        Frame3D(inside, cl3DLight, clBtnShadow, 1);
    }
    fillPixels(QRect(inside.Left, inside.Top, inside.Width(), inside.Height()),
               ToQColor(clBtnFace));
    if (state & DFCS_ADJUSTRECT)
        r = inside;
    return true;
}

void Canvas::DrawFocusRect(const TRect& r) {
    if (r.Right <= r.Left || r.Bottom <= r.Top)
        return;
    painter_.save();
    painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    // The dots sit on a checkerboard tied to the surface, as the classic pattern brush does.
    auto dot = [this](int x, int y) {
        if (((x + y) & 1) == 0)
            painter_.fillRect(QRect(x, y, 1, 1), Qt::white);
    };
    for (int x = r.Left; x < r.Right; ++x) {
        dot(x, r.Top);
        if (r.Bottom - 1 > r.Top)
            dot(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        dot(r.Left, y);
        if (r.Right - 1 > r.Left)
            dot(r.Right - 1, y);
    }
    painter_.restore();
}

} // namespace platform
