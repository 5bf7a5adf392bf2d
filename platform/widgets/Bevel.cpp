// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Bevel.h"

namespace platform {

TBevel::TBevel(QWidget* parent) : TCanvasControl(parent) {
    resize(50, 50);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBevel::PaintTo(Canvas& canvas) const {
    const int w = width();
    const int h = height();
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    canvas.Pen.Color = clBtnShadow;
    canvas.MoveTo(0, h - 2);
    canvas.LineTo(w, h - 2);
    canvas.Pen.Color = clBtnHighlight;
    canvas.MoveTo(0, h - 1);
    canvas.LineTo(w, h - 1);
}

} // namespace platform
