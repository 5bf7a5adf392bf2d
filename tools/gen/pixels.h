// SPDX-License-Identifier: GPL-3.0-or-later
// Small pixel-exact drawing helpers shared by the artwork files. Nothing here antialiases, so
// the output is the same on every machine.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include <initializer_list>
#include <string_view>
#include <utility>

namespace velmar::gen {

QImage blank(int width, int height);

using Palette = std::initializer_list<std::pair<char, QRgb>>;

// One character per pixel; characters missing from the palette stay untouched.
void paintArt(QImage& image, QPoint origin, std::initializer_list<std::string_view> rows,
              Palette palette);

// Clipped to the image.
void fill(QImage& image, QRect rect, QRgb colour);

// Straight blend of a towards b, t of 256 steps; alpha is taken from a.
QRgb mix(QRgb a, QRgb b, int t);

// A 1-pixel frame: light on the top and left edges, dark on the bottom and right ones.
void bevel(QImage& image, QRect rect, QRgb light, QRgb dark);

// Bold sans-serif glyphs, 8 pixels to the capital height, drawn scale times enlarged. Only the
// characters the artwork needs exist; others are left out.
int textWidth(std::string_view text, int scale = 1);
void drawText(QImage& image, QPoint topLeft, std::string_view text, QRgb colour, int scale = 1);

} // namespace velmar::gen
