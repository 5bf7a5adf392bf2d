// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Colors.h"

#include <QFont>
#include <QString>
#include <string>

namespace platform {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font as the design names it. Height > 0 is the character height in pixels; otherwise
// Size is in points.
struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = 11;
    int Size = 0;
    unsigned Style = 0;
    TColor Color = clWindowText;

    // Lets a setter that repaints only on change tell a new font from the same one.
    bool operator==(const TFont&) const = default;
};

// Registers the fonts carried in the resources and the classic interface font's bitmap faces;
// call once after the application exists. Returns false when one of them could not be loaded
// (text then falls back to the outline substitute or a system font).
bool RegisterFonts();

// The family actually drawn for a design font name ("MS Sans Serif", "Comic Sans MS").
QString SubstituteFamily(const std::string& designName);

// Whether bold text in `font` is drawn twice, a pixel apart: the classic synthetic bold of a
// bitmap face, and of a small outline face whose hinting thins its bold stems to one pixel.
bool DrawsBoldTwice(const TFont& font);

QFont ToQFont(const TFont& font);

} // namespace platform
