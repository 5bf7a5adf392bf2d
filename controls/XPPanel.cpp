// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/XPPanel.h"

namespace controls {

TXPPanel::TXPPanel(QWidget* parent) : TXPBorderedControl(parent, caCenter, 41) {}

void TXPPanel::PaintTo(platform::Canvas& canvas) const {
    const int w = width();
    const int h = height();
    const int b = BorderWidth();
    const int o = CaptionOffset();
    platform::TRect caption = platform::Rect(o + b, o + b, w - b - o, h - b - o);
    canvas.Brush.Style = platform::bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(platform::Rect(0, 0, w, h));
    PrepareCanvas(canvas);
    canvas.RoundRect(0, 0, w, h, CornerEllipse(), CornerEllipse());
    const int t = canvas.TextHeight("W");
    caption.Top = (caption.Top + caption.Bottom - t) / 2;
    caption.Bottom = caption.Top + t;
    canvas.DrawText(Caption(), caption, CaptionAlignmentFlag(CaptionAlignment()));
}

} // namespace controls
