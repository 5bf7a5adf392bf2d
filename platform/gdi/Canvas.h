// SPDX-License-Identifier: GPL-3.0-or-later
// The gdi layer: rectangles, colours, fonts, the canvas and its text, bitmaps, owner-draw
// states. It uses Qt only, nothing else in platform/.
#pragma once

#include "platform/gdi/Colors.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Types.h"

#include <QPainter>
#include <cstdint>
#include <string>

namespace platform {

class TBitmap;

constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_BOTTOM = 0x0008;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_EXPANDTABS = 0x0040;
constexpr unsigned DT_NOCLIP = 0x0100;
constexpr unsigned DT_CALCRECT = 0x0400;
constexpr unsigned DT_NOPREFIX = 0x0800;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFCS_BUTTONPUSH = 0x0010;
constexpr unsigned DFCS_INACTIVE = 0x0100;
constexpr unsigned DFCS_PUSHED = 0x0200;
constexpr unsigned DFCS_ADJUSTRECT = 0x2000;

constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t PATINVERT = 0x005A0049;
constexpr std::uint32_t DSTINVERT = 0x00550009;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;

// GetPixel's answer for a pixel outside the surface or on a surface that cannot be read.
constexpr TColor CLR_INVALID = static_cast<TColor>(0xFFFFFFFFu);

enum TPenStyle { psSolid, psClear, psInsideFrame };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// a * b / c rounded half away from zero, without overflow; -1 when c is 0.
int MulDiv(int a, int b, int c);

// The one drawing surface every window and control paints through. Antialiasing is off and
// the classic pixel rules hold: rectangles exclude their right and bottom edge and a line
// excludes its end point. Everything is drawn as whole logical pixels, so that at a device
// pixel ratio of 2 each design pixel is a clean 2-by-2 block.
class Canvas {
public:
    explicit Canvas(QPainter& painter);

    TPen Pen;
    TBrush Brush;
    TFont Font;

    // Colours a monochrome bitmap's black and white pixels take when blitted (GDI's text and
    // background colour); each returns the previous one.
    TColor SetTextColor(TColor color);
    TColor SetBkColor(TColor color);

    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // The corner ellipse is ellipseWidth by ellipseHeight; a negative size counts by its
    // magnitude. A pen wider than a pixel is centred on the outline (an even width reaches a
    // pixel further out at the top and left) and joins round.
    void RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
    void SetPixel(int x, int y, TColor color);
    TColor GetPixel(int x, int y) const;
    // The classic 3D frame: top and left in topColor, bottom and right in bottomColor, `width`
    // rings from the outside in; shrinks `r` to the area inside the rings.
    void Frame3D(TRect& r, TColor topColor, TColor bottomColor, int width);
    // The two-pixel push-button edge, raised or (DFCS_PUSHED) sunken, interior in the button
    // face; with DFCS_ADJUSTRECT `r` becomes the interior.
    bool DrawFrameControl(TRect& r, unsigned type, unsigned state);
    // Inverts every other pixel of the outline, so drawing it twice removes it.
    void DrawFocusRect(const TRect& r);

    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    void TextOut(int x, int y, const std::string& text);
    // Text in a rectangle by the DT_ flags; returns the height of the text. With DT_CALCRECT
    // nothing is drawn and `r` becomes the text's extent.
    int DrawText(const std::string& text, TRect& r, unsigned format);
    int DrawText(const std::string& text, const TRect& r, unsigned format);

    // Copies a w-by-h block of `source` from (sx, sy) to (x, y), combining source, brush and
    // destination by the ternary raster operation `rop`.
    void BitBlt(int x, int y, int w, int h, const TBitmap& source, int sx, int sy,
                std::uint32_t rop);
    void PatBlt(int x, int y, int w, int h, std::uint32_t rop);
    // Draws the whole bitmap at (x, y); a transparent bitmap leaves its white pixels out.
    void Draw(int x, int y, const TBitmap& bitmap);

    QPainter& Painter() { return painter_; }

private:
    void plot(int x, int y, const QColor& color);
    void applyFont();
    void fillPixels(const QRect& r, const QColor& color);
    void drawRun(int x, int baseline, const QString& s);
    void drawLine(const QString& line, const TRect& r, int y, unsigned format);
    void blend(int x, int y, const QImage& source, std::uint32_t rop);

    QPainter& painter_;
    TPoint penPos_;
    TColor textColor_ = clBlack;
    TColor bkColor_ = clWhite;
};

} // namespace platform
