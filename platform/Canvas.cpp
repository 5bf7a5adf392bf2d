// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Canvas.h"

#include <QFontMetrics>
#include <cstdlib>

namespace platform {

Canvas::Canvas(QPainter& painter) : painter_(painter) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
}

void Canvas::FillRect(const TRect& r) {
    if (r.Right <= r.Left || r.Bottom <= r.Top)
        return;
    painter_.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ToQColor(Brush.Color));
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
        penPos_ = {x, y};
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
    penPos_ = {x, y};
}

void Canvas::SetPixel(int x, int y, TColor color) {
    painter_.fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

void Canvas::Frame3D(TRect& r, TColor topColor, TColor bottomColor, int width) {
    const int savedWidth = Pen.Width;
    const TColor savedColor = Pen.Color;
    Pen.Width = 1;
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
    Pen.Width = savedWidth;
    Pen.Color = savedColor;
}

void Canvas::applyFont() {
    painter_.setFont(ToQFont(Font));
    painter_.setPen(ToQColor(Font.Color));
}

int Canvas::TextWidth(const std::string& text) {
    return QFontMetrics(ToQFont(Font)).horizontalAdvance(QString::fromStdString(text));
}

int Canvas::TextHeight(const std::string& text) {
    (void)text;
    return QFontMetrics(ToQFont(Font)).height();
}

void Canvas::TextOut(int x, int y, const std::string& text) {
    applyFont();
    const QFontMetrics metrics(painter_.font());
    const QString s = QString::fromStdString(text);
    if (Brush.Style == bsSolid)
        painter_.fillRect(QRect(x, y, metrics.horizontalAdvance(s), metrics.height()),
                          ToQColor(Brush.Color));
    painter_.drawText(x, y + metrics.ascent(), s);
}

void Canvas::DrawText(const std::string& text, const TRect& r, unsigned format) {
    applyFont();
    const QFontMetrics metrics(painter_.font());
    const QString s = QString::fromStdString(text);
    const int width = metrics.horizontalAdvance(s);
    int x = r.Left;
    if (format & DT_CENTER)
        x = r.Left + (r.Width() - width) / 2;
    else if (format & DT_RIGHT)
        x = r.Right - width;
    int y = r.Top;
    if (format & DT_VCENTER)
        y = r.Top + (r.Height() - metrics.height()) / 2;
    else if (format & DT_BOTTOM)
        y = r.Bottom - metrics.height();
    const bool clip = (format & DT_NOCLIP) == 0;
    if (clip) {
        painter_.save();
        painter_.setClipRect(QRect(r.Left, r.Top, r.Width(), r.Height()), Qt::IntersectClip);
    }
    painter_.drawText(x, y + metrics.ascent(), s);
    if (clip)
        painter_.restore();
}

} // namespace platform
