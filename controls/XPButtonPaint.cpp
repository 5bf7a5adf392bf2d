// SPDX-License-Identifier: GPL-3.0-or-later
// The gradient button's bitmaps and painting.
#include "controls/Gradient.h"
#include "controls/XPButton.h"

namespace controls {

using platform::Rect;
using platform::TColor;
using platform::TRect;

namespace {

constexpr int kGradientColors = 32;
constexpr TColor kFrameColor = 0x733C00;
constexpr TColor kCornerColor = 0xAD967B;
constexpr TColor kDisabledFace = 0xEFF7F0;
constexpr TColor kDisabledFrame = 0xBFC7CF;
constexpr TColor kDisabledText = 0x90A0A0;
constexpr unsigned kCaptionFormat = platform::DT_CENTER | platform::DT_VCENTER |
                                    platform::DT_SINGLELINE | platform::DT_END_ELLIPSIS;

void line(platform::Canvas& canvas, int x0, int y0, int x1, int y1) {
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x1, y1);
}

} // namespace

// The bitmaps are drawn from the size and highlight of this moment, but only when a paint needs
// them: a button of a dialog not yet shown costs nothing at start-up.
void TXPButton::DoResize() {
    FPendingBitmaps = PendingBitmaps{width(), height(), IsHighlighted(true) ? 4 : 0};
}

void TXPButton::drawBitmaps() const {
    if (!FPendingBitmaps)
        return;
    const auto [w, h, inset] = *FPendingBitmaps;
    FPendingBitmaps.reset();
    DrawGradient(w - 2 - inset, h - 2 - inset, 0xFFFFFF, 0xE7EBEF, kGradientColors, gsVertical,
                 true, FFaceBitmap);
    DrawGradient(w - 2, h - 2, 0xC6CFD6, 0xEBF3F7, kGradientColors, gsVertical, true, FDownBitmap);
    DrawGradient(w - 2, h - 2, 0xCEF3FF, 0x0096E7, kGradientColors, gsVertical, true, FHotBitmap);
    DrawGradient(w - 2, h - 2, 0xFFE7CE, 0xEF846D, kGradientColors, gsVertical, true, FFocusBitmap);
}

void TXPButton::PaintTo(platform::Canvas& canvas) const {
    if (isEnabled())
        paintEnabled(canvas);
    else
        paintDisabled(canvas);
}

void TXPButton::paintEnabled(platform::Canvas& canvas) const {
    drawBitmaps();
    const int w = width();
    const int h = height();
    canvas.Brush.Style = platform::bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(Rect(0, 0, w, h));
    const bool highlighted = IsHighlighted(false);
    if (highlighted) {
        const platform::TBitmap& ring = FHot ? FHotBitmap : FFocusBitmap;
        canvas.BitBlt(1, 1, ring.Width(), ring.Height(), ring, 0, 0, platform::SRCCOPY);
    }
    if (FHot && FDown) {
        canvas.BitBlt(1, 1, FDownBitmap.Width(), FDownBitmap.Height(), FDownBitmap, 0, 0,
                      platform::SRCCOPY);
    } else if (highlighted) {
        const int b = FMouseBorderWidth + 1;
        canvas.BitBlt(b, b, w - 2 * b, h - 2 * b, FFaceBitmap, 0, 0, platform::SRCCOPY);
    } else {
        canvas.BitBlt(1, 1, w - 2, h - 2, FFaceBitmap, 0, 0, platform::SRCCOPY);
    }
    if (FFocused && FShowFocusRect)
        canvas.DrawFocusRect(
            Rect(FFocusRectOffset, FFocusRectOffset, w - FFocusRectOffset, h - FFocusRectOffset));

    canvas.Pen.Color = kFrameColor;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = platform::psSolid;
    canvas.Brush.Style = platform::bsClear;
    canvas.RoundRect(0, 0, w, h, 5, 5);
    canvas.Pen.Color = kCornerColor;
    canvas.SetPixel(0, 1, kCornerColor);
    canvas.SetPixel(1, 0, kCornerColor);
    line(canvas, w - 2, 0, w, 2);
    line(canvas, 0, h - 2, 2, h);
    line(canvas, w - 3, h, w, h - 3);

    TRect text = Rect(4, 0, w - 4, h);
    if (FHot && FDown)
        platform::OffsetRect(text, FOffsetOnClick, FOffsetOnClick);
    if (FGlyph) {
        drawGlyph(canvas, text.Left + 3, text.Top + (h - FGlyph->Height()) / 2);
        text.Left += FGlyph->Width() + 3;
    }
    drawCaption(canvas, true, text);
}

void TXPButton::paintDisabled(platform::Canvas& canvas) const {
    const int w = width();
    const int h = height();
    canvas.Brush.Style = platform::bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(Rect(0, 0, w, h));
    canvas.Brush.Color = kDisabledFace;
    canvas.FillRect(Rect(2, 2, w - 2, h - 2));
    canvas.Pen.Color = kDisabledFrame;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = platform::psSolid;
    canvas.RoundRect(0, 0, w, h, -6, -6);

    TRect text = Rect(2, 2, w - 2, h - 2);
    if (FGlyph) {
        drawGlyph(canvas, 7, (h - FGlyph->Height()) / 2);
        text.Left += FGlyph->Width() + 3;
    }
    drawCaption(canvas, false, text);
}

void TXPButton::drawGlyph(platform::Canvas& canvas, int x, int y) const {
    canvas.Draw(x, y, *FGlyph);
}

void TXPButton::drawCaption(platform::Canvas& canvas, bool enabled, const TRect& r) const {
    canvas.Font = FFont;
    if (!enabled)
        canvas.Font.Color = kDisabledText;
    canvas.DrawText(FCaption, r, kCaptionFormat);
}

} // namespace controls
