// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/XPBordered.h"

#include <QMouseEvent>
#include <algorithm>

namespace controls {

TXPBorderedControl::TXPBorderedControl(QWidget* parent, TCaptionAlignment alignment, int height)
    : TCanvasControl(parent), FCaptionAlignment(alignment) {
    resize(185, height);
    FFont.Color = DefaultFontColor;
    InstallDialogKeys();
}

void TXPBorderedControl::assign(int& field, int value, int low, int high) {
    // The group box compares the value as given, before it is clamped.
    if (RepaintsOnlyOnChange() && field == value)
        return;
    field = std::clamp(value, low, high);
    update();
}

void TXPBorderedControl::SetBorderColor(platform::TColor value) {
    assign(FBorderColor, value);
}

void TXPBorderedControl::SetBorderWidth(int value) {
    assign(FBorderWidth, value, 1, 10);
}

void TXPBorderedControl::SetCaptionAlignment(TCaptionAlignment value) {
    assign(FCaptionAlignment, value);
}

void TXPBorderedControl::SetCaptionOffset(int value) {
    assign(FCaptionOffset, value, 1, 30);
}

void TXPBorderedControl::SetCornersOffset(int value) {
    assign(FCornersOffset, value, 1, 30);
}

void TXPBorderedControl::SetColor(platform::TColor color) {
    if (FColor.Set(*this, color))
        update();
}

void TXPBorderedControl::SetCaption(const std::string& caption) {
    if (ChangeValue(FCaption, caption))
        update();
}

void TXPBorderedControl::SetFont(const platform::TFont& font) {
    if (ChangeValue(FFont, font))
        update();
}

void TXPBorderedControl::PrepareCanvas(platform::Canvas& canvas) const {
    canvas.Pen.Color = FBorderColor;
    canvas.Pen.Width = FBorderWidth;
    canvas.Pen.Style = platform::psSolid;
    canvas.Font = FFont;
    canvas.Brush.Color = Color();
    canvas.Brush.Style = platform::bsSolid;
}

bool TXPBorderedControl::CMDialogKey(int key) {
    return BroadcastDialogKey(this, key);
}

bool TXPBorderedControl::CMDialogChar(QChar c) {
    if (IsAccel(c, QString::fromStdString(FCaption)))
        return true;
    return BroadcastDialogChar(this, c);
}

void TXPBorderedControl::mousePressEvent(QMouseEvent* event) {
    // Qt keeps the mouse with this control while a button is held.
    FPressed = event->button() == Qt::LeftButton;
}

void TXPBorderedControl::mouseReleaseEvent(QMouseEvent* event) {
    const bool clicked = FPressed && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    FPressed = false;
    if (clicked && OnClick)
        OnClick(this);
}

void TXPBorderedControl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
}

void TXPBorderedControl::enterEvent(QEnterEvent*) {
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TXPBorderedControl::leaveEvent(QEvent*) {
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TXPBorderedControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    update();
}

} // namespace controls
