// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Colors.h"
#include "platform/Fonts.h"
#include "platform/Types.h"

#include <QPainter>
#include <string>

namespace platform {

constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_BOTTOM = 0x0008;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_EXPANDTABS = 0x0040;
constexpr unsigned DT_NOCLIP = 0x0100;

enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// The one drawing surface every window and control paints through. Antialiasing is off and
// the classic pixel rules hold: rectangles exclude their right and bottom edge and a line
// excludes its end point. Pixels are drawn as filled logical rectangles so that at a device
// pixel ratio of 2 each design pixel is a whole 2-by-2 block.
class Canvas {
public:
    explicit Canvas(QPainter& painter);

    TPen Pen;
    TBrush Brush;
    TFont Font;

    void FillRect(const TRect& r);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void SetPixel(int x, int y, TColor color);
    // The classic 3D frame: top and left in topColor, bottom and right in bottomColor, `width`
    // rings from the outside in; shrinks `r` to the area inside the rings.
    void Frame3D(TRect& r, TColor topColor, TColor bottomColor, int width);

    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    void TextOut(int x, int y, const std::string& text);
    // Single-line text in a rectangle, aligned by DT_LEFT/DT_CENTER/DT_RIGHT and DT_VCENTER.
    void DrawText(const std::string& text, const TRect& r, unsigned format);

    QPainter& Painter() { return painter_; }

private:
    void plot(int x, int y, const QColor& color);
    void applyFont();

    QPainter& painter_;
    TPoint penPos_;
};

} // namespace platform
