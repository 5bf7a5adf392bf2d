// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Colors.h"

#include <array>
#include <cstdint>
#include <vector>

namespace controls {

// Style 0 and 2 paint vertical stripes (the colour changes from left to right), 1 and 3
// horizontal ones; 2 and 3 swap the two colours.
constexpr int gsHorizontal = 0;
constexpr int gsVertical = 1;

// The colour table of a gradient: ColorCount entries from FromColor to ToColor (swapped for
// Style 2 or more), each channel rounded to nearest with ties to even.
std::vector<std::uint32_t> GradientColors(platform::TColor FromColor, platform::TColor ToColor,
                                          int ColorCount, int Style);

// Paints a striped gradient of ColorCount colours (2 to 255) into Bitmap, sized Width by
// Height. With Noise each stripe takes a few pixels of the previous colour near its start in
// the first 16 columns (or rows), and that block is tiled across the bitmap.
void DrawGradient(int Width, int Height, platform::TColor FromColor, platform::TColor ToColor,
                  int ColorCount, int Style, bool Noise, platform::TBitmap& Bitmap);

} // namespace controls
