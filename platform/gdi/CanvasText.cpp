// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QStringList>

namespace platform {

namespace {

// A line as it is shown: the "&" prefixes resolved, and the index of the character to
// underline (-1 for none).
struct ShownLine {
    QString text;
    qsizetype underline = -1;
};

ShownLine resolvePrefixes(const QString& line) {
    ShownLine shown;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != u'&') {
            shown.text += line[i];
            continue;
        }
        if (++i >= line.size())
            break;
        if (line[i] != u'&')
            shown.underline = shown.text.size();
        shown.text += line[i];
    }
    return shown;
}

void elide(ShownLine& line, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(line.text) <= width)
        return;
    const QString dots = QStringLiteral("...");
    QString kept = line.text;
    while (!kept.isEmpty() && metrics.horizontalAdvance(kept + dots) > width)
        kept.chop(1);
    if (line.underline >= kept.size())
        line.underline = -1;
    line.text = kept + dots;
}

QStringList splitLines(const QString& text, unsigned format) {
    QString s = text;
    s.remove(u'\r');
    if (format & DT_SINGLELINE)
        return {s.remove(u'\n')};
    return s.split(u'\n');
}

} // namespace

void Canvas::applyFont() {
    painter_.setFont(ToQFont(Font));
    painter_.setPen(ToQColor(Font.Color));
}

// Text drawn at a higher device pixel ratio is rendered at ratio 1 and scaled, so each design
// pixel of a glyph is a whole block, exactly as at ratio 1.
void Canvas::drawRun(int x, int baseline, const QString& s) {
    const QColor color = ToQColor(Font.Color);
    const QPaintDevice* device = painter_.device();
    const qreal ratio = device ? device->devicePixelRatioF() : 1.0;
    if (ratio == 1.0) {
        painter_.setPen(color);
        painter_.drawText(x, baseline, s);
        if (DrawsBoldTwice(Font))
            painter_.drawText(x + 1, baseline, s);
        return;
    }
    const QFontMetrics metrics(painter_.font());
    const int margin = metrics.height();
    QImage run(metrics.horizontalAdvance(s) + 2 * margin, metrics.height() + 2 * margin,
               QImage::Format_ARGB32_Premultiplied);
    run.fill(Qt::transparent);
    {
        QPainter p(&run);
        p.setFont(painter_.font());
        p.setPen(color);
        p.drawText(margin, margin + metrics.ascent(), s);
        if (DrawsBoldTwice(Font))
            p.drawText(margin + 1, margin + metrics.ascent(), s);
    }
    painter_.drawImage(QPoint(x - margin, baseline - metrics.ascent() - margin), run);
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
        fillPixels(QRect(x, y, metrics.horizontalAdvance(s), metrics.height()),
                   ToQColor(Brush.Color));
    drawRun(x, y + metrics.ascent(), s);
}

void Canvas::drawLine(const QString& line, const TRect& r, int y, unsigned format) {
    const QFontMetrics metrics(painter_.font());
    ShownLine shown = (format & DT_NOPREFIX) ? ShownLine{line, -1} : resolvePrefixes(line);
    if (format & DT_END_ELLIPSIS)
        elide(shown, metrics, r.Width());
    const int width = metrics.horizontalAdvance(shown.text);
    int x = r.Left;
    if (format & DT_CENTER)
        x = r.Left + (r.Width() - width) / 2;
    else if (format & DT_RIGHT)
        x = r.Right - width;
    if (Brush.Style == bsSolid)
        fillPixels(QRect(x, y, width, metrics.height()), ToQColor(Brush.Color));
    const int baseline = y + metrics.ascent();
    drawRun(x, baseline, shown.text);
    if (shown.underline < 0)
        return;
    const int ux = x + metrics.horizontalAdvance(shown.text.left(shown.underline));
    // The classic underline stops a pixel short of the character's advance, on the row below
    // the baseline, whatever the font's own underline position.
    const int uw = metrics.horizontalAdvance(shown.text.at(shown.underline)) - 1;
    fillPixels(QRect(ux, baseline + 1, uw, 1), ToQColor(Font.Color));
}

int Canvas::DrawText(const std::string& text, TRect& r, unsigned format) {
    applyFont();
    const QFontMetrics metrics(painter_.font());
    const QStringList lines = splitLines(QString::fromStdString(text), format);
    const int lineHeight = metrics.height();
    const int total = lineHeight * static_cast<int>(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const QString& line : lines) {
            const QString shown = (format & DT_NOPREFIX) ? line : resolvePrefixes(line).text;
            widest = std::max(widest, metrics.horizontalAdvance(shown));
        }
        r.Right = r.Left + widest;
        r.Bottom = r.Top + total;
        return total;
    }
    // Vertical placement applies to a single line only, as on the classic desktop.
    int y = r.Top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = r.Top + (r.Height() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = r.Bottom - lineHeight;
    }
    const bool clip = (format & DT_NOCLIP) == 0;
    if (clip) {
        painter_.save();
        painter_.setClipRect(QRect(r.Left, r.Top, r.Width(), r.Height()), Qt::IntersectClip);
    }
    for (const QString& line : lines) {
        drawLine(line, r, y, format);
        y += lineHeight;
    }
    if (clip)
        painter_.restore();
    return total;
}

int Canvas::DrawText(const std::string& text, const TRect& r, unsigned format) {
    TRect copy = r;
    return DrawText(text, copy, format);
}

} // namespace platform
