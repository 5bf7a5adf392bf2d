// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/BitBtn.h"

#include <algorithm>

namespace platform {

TBitBtn::TBitBtn(QWidget* parent) : TCanvasControl(parent) {
    resize(75, 25);
    // The classic bitmap button is a default one only when told so; Qt would make every push
    // button in a dialog one, and Enter elsewhere would click it.
    setAutoDefault(false);
    setDefault(false);
    connect(this, &QPushButton::clicked, this, [this] {
        if (OnClick)
            OnClick(this);
    });
}

void TBitBtn::SetGlyph(const QImage& glyph) {
    FGlyph = glyph;
    update();
}

void TBitBtn::SetLayout(TButtonLayout value) {
    FLayout = value;
    update();
}

void TBitBtn::SetSpacing(int value) {
    FSpacing = value;
    update();
}

void TBitBtn::SetCaption(const std::string& caption) {
    FCaption = caption;
    setText(QString::fromStdString(caption));
    update();
}

void TBitBtn::SetFont(const TFont& font) {
    FFont = font;
    update();
}

void TBitBtn::PaintTo(Canvas& canvas) const {
    TRect face = Rect(0, 0, width(), height());
    const bool down = isDown();
    canvas.DrawFrameControl(face, DFC_BUTTON,
                            DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (down ? DFCS_PUSHED : 0u));
    TRect content = face;
    if (down)
        OffsetRect(content, 1, 1);
    paintContent(canvas, content);
    if (hasFocus()) {
        TRect focus = face;
        InflateRect(focus, -2, -2);
        canvas.DrawFocusRect(focus);
    }
}

void TBitBtn::paintContent(Canvas& canvas, const TRect& face) const {
    canvas.Font = FFont;
    canvas.Brush.Style = bsClear;
    const int textW = FCaption.empty() ? 0 : canvas.TextWidth(FCaption);
    const int textH = FCaption.empty() ? 0 : canvas.TextHeight(FCaption);
    const int glyphW = FGlyph.width();
    const int glyphH = FGlyph.height();
    const bool both = glyphW > 0 && textW > 0;
    const int gap = both ? FSpacing : 0;
    const bool across = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    const int totalW = across ? glyphW + gap + textW : std::max(glyphW, textW);
    const int totalH = across ? std::max(glyphH, textH) : glyphH + gap + textH;
    const int left = face.Left + (face.Width() - totalW) / 2;
    const int top = face.Top + (face.Height() - totalH) / 2;

    int glyphX = left + (totalW - glyphW) / 2;
    int glyphY = top + (totalH - glyphH) / 2;
    int textX = left + (totalW - textW) / 2;
    int textY = top + (totalH - textH) / 2;
    switch (FLayout) {
    case blGlyphLeft:
        glyphX = left;
        textX = left + glyphW + gap;
        break;
    case blGlyphRight:
        textX = left;
        glyphX = left + textW + gap;
        break;
    case blGlyphTop:
        glyphY = top;
        textY = top + glyphH + gap;
        break;
    case blGlyphBottom:
        textY = top;
        glyphY = top + textH + gap;
        break;
    }
    if (glyphW > 0)
        canvas.Painter().drawImage(glyphX, glyphY, FGlyph);
    if (textW > 0) {
        TRect r = Rect(textX, textY, textX + textW, textY + textH);
        canvas.DrawText(FCaption, r, DT_LEFT | DT_SINGLELINE);
    }
}

} // namespace platform
