// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/XPLabel.h"

#include <QMouseEvent>
#include <QPainter>

namespace controls {

TXPLabel::TXPLabel(QWidget* parent) : QWidget(parent) {
    resize(47, 14);
    InstallDialogKeys();
}

void TXPLabel::SetAutoSize(bool value) {
    assign(FAutoSize, value);
}

void TXPLabel::SetCaptionAlignment(TCaptionAlignment value) {
    assign(FCaptionAlignment, value);
}

void TXPLabel::SetForegroundColor(platform::TColor value) {
    assign(FForegroundColor, value);
}

void TXPLabel::SetBackgroundColor(platform::TColor value) {
    assign(FBackgroundColor, value);
}

void TXPLabel::SetOffset(int value) {
    assign(FOffset, value);
}

void TXPLabel::SetCaption(const std::string& caption) {
    assign(FCaption, caption);
}

void TXPLabel::SetFont(const platform::TFont& font) {
    assign(FFont, font);
}

void TXPLabel::AdjustBounds(platform::Canvas& canvas) {
    if (!FAutoSize)
        return;
    const int h = canvas.TextHeight(FCaption) + FOffset;
    const int w = canvas.TextWidth(FCaption) + FOffset;
    // A new size brings another paint, which finds it settled.
    if (w != width() || h != height())
        resize(w, h);
}

void TXPLabel::Paint(platform::Canvas& canvas) {
    AdjustBounds(canvas);
    const unsigned format = CaptionAlignmentFlag(FCaptionAlignment);
    canvas.Brush.Style = platform::bsClear;
    canvas.Font = FFont;
    canvas.Font.Color = FBackgroundColor;
    platform::TRect r = platform::Rect(FOffset, FOffset, width(), height());
    canvas.DrawText(FCaption, r, format);
    canvas.Font.Color = FForegroundColor;
    r = platform::Rect(0, 0, width(), height());
    if (FCaptionAlignment == caRight) {
        r.Left -= FOffset;
        r.Right -= FOffset;
    } else if (FCaptionAlignment == caCenter) {
        r.Left -= FOffset / 2;
        r.Right -= FOffset / 2;
    }
    canvas.DrawText(FCaption, r, format);
}

void TXPLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    platform::Canvas canvas(painter);
    canvas.Font = FCanvasFont;
    Paint(canvas);
    FCanvasFont = canvas.Font;
}

bool TXPLabel::CMDialogChar(QChar c) {
    // The accelerator is taken and nothing happens, so no other control acts on it.
    return IsAccel(c, QString::fromStdString(FCaption));
}

void TXPLabel::mousePressEvent(QMouseEvent* event) {
    // Taken here, so a press on the label never reaches the surface below it.
    event->accept();
    FPressed = event->button() == Qt::LeftButton;
    if (OnMouseDown) {
        const QPoint at = event->position().toPoint();
        OnMouseDown(this, event->button(), at.x(), at.y());
    }
}

void TXPLabel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool clicked = FPressed && event->button() == Qt::LeftButton && rect().contains(at);
    FPressed = false;
    if (clicked && OnClick)
        OnClick(this);
    if (OnMouseUp)
        OnMouseUp(this, event->button(), at.x(), at.y());
}

void TXPLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
}

void TXPLabel::enterEvent(QEnterEvent*) {
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TXPLabel::leaveEvent(QEvent*) {
    if (OnMouseLeave)
        OnMouseLeave(this);
}

} // namespace controls
