// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Panel.h"

#include <QMouseEvent>
#include <QPainter>

namespace platform {

TPanel::TPanel(QWidget* parent) : TCanvasControl(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    font_.Color = clWindowText;
}

void TPanel::SetCaption(const std::string& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    update();
}

void TPanel::SetColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    update();
}

void TPanel::SetFont(const TFont& font) {
    font_ = font;
    update();
}

void TPanel::SetBevelInner(TPanelBevel bevel) {
    inner_ = bevel;
    update();
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
    outer_ = bevel;
    update();
}

void TPanel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    update();
}

void TPanel::PaintTo(Canvas& canvas) const {
    TRect r = Rect(0, 0, width(), height());
    auto frame = [&canvas, &r](TPanelBevel bevel) {
        if (bevel == bvLowered)
            canvas.Frame3D(r, clBtnShadow, clBtnHighlight, 1);
        else if (bevel == bvRaised)
            canvas.Frame3D(r, clBtnHighlight, clBtnShadow, 1);
    };
    frame(outer_);
    frame(inner_);
    canvas.Brush.Color = color_;
    canvas.FillRect(r);
    if (caption_.empty())
        return;
    canvas.Font = font_;
    const int fontHeight = canvas.TextHeight("W");
    r.Top = (r.Bottom + r.Top - fontHeight) / 2;
    r.Bottom = r.Top + fontHeight;
    canvas.Brush.Style = bsClear;
    canvas.DrawText(caption_, r, DT_SINGLELINE | AlignmentFlag(alignment_));
}

void TPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick)
        OnClick();
}

} // namespace platform
