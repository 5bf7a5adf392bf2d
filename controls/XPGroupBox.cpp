// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/XPGroupBox.h"

namespace controls {

TXPGroupBox::TXPGroupBox(QWidget* parent) : TXPBorderedControl(parent, caLeft, 105) {}

void TXPGroupBox::PaintTo(platform::Canvas& canvas) const {
    const int w = width();
    const int h = height();
    const int o = CaptionOffset();
    const platform::TRect caption = platform::Rect(o, 0, w - o, h - BorderWidth());
    canvas.Brush.Style = platform::bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(platform::Rect(0, 0, w, h));
    PrepareCanvas(canvas);
    const int t = canvas.TextHeight("W");
    canvas.RoundRect(0, t / 2, w, h, CornerEllipse(), CornerEllipse());
    canvas.DrawText(Caption(), caption, CaptionAlignmentFlag(CaptionAlignment()));
}

} // namespace controls
