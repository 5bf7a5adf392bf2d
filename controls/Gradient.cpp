// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Gradient.h"

#include <algorithm>
#include <cmath>

namespace controls {

using platform::TColor;

namespace {

// A small fixed generator: the noise is the same at every paint and in every test.
class NoiseSource {
public:
    // 0 to k - 1; 0 when k is 0.
    int Next(int k) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return k <= 0 ? 0 : static_cast<int>(state_ % static_cast<std::uint32_t>(k));
    }

private:
    std::uint32_t state_ = 0x2545F491u;
};

int channel(std::uint32_t rgb, int shift) {
    return static_cast<int>(rgb >> shift & 0xFFu);
}

bool verticalStripes(int style) {
    return style == 0 || style == 2;
}

void addNoise(platform::Canvas& canvas, NoiseSource& random, bool vertical, int start, int spread,
              TColor previous) {
    for (int line = 0; line < 16; ++line) {
        for (int k = 0; k <= spread; ++k) {
            const int r = random.Next(k);
            if (vertical)
                canvas.SetPixel(start + r, line, previous);
            else
                canvas.SetPixel(line, start + r, previous);
        }
    }
}

void tile(platform::TBitmap& bitmap, bool vertical) {
    platform::Canvas& canvas = bitmap.GetCanvas();
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    if (vertical) {
        for (int j = 1; j <= h / 16; ++j)
            canvas.BitBlt(0, 16 * j, w, std::min(16, h - 16 * j), bitmap, 0, 0, platform::SRCCOPY);
    } else {
        for (int j = 0; j <= w / 16; ++j)
            canvas.BitBlt(16 * j, 0, std::min(16, w - 16 * j), h, bitmap, 0, 0, platform::SRCCOPY);
    }
}

} // namespace

std::vector<std::uint32_t> GradientColors(TColor FromColor, TColor ToColor, int ColorCount,
                                          int Style) {
    std::uint32_t begin = platform::ColorToRGB(FromColor);
    std::uint32_t end = platform::ColorToRGB(ToColor);
    if (Style >= 2)
        std::swap(begin, end);
    std::vector<std::uint32_t> table;
    table.reserve(static_cast<std::size_t>(ColorCount));
    for (int i = 0; i < ColorCount; ++i) {
        std::uint32_t entry = 0;
        for (int shift : {0, 8, 16}) {
            const double step =
                double(channel(end, shift) - channel(begin, shift)) / double(ColorCount - 1);
            // The default rounding mode rounds ties to even, as the classic Round does.
            const auto value = static_cast<long>(std::nearbyint(double(i) * step));
            entry |= static_cast<std::uint32_t>(channel(begin, shift) + value) % 256u << shift;
        }
        table.push_back(entry);
    }
    return table;
}

void DrawGradient(int Width, int Height, TColor FromColor, TColor ToColor, int ColorCount,
                  int Style, bool Noise, platform::TBitmap& Bitmap) {
    ColorCount = std::clamp(ColorCount, 2, 255);
    Bitmap.SetSize(Width, Height);
    const std::vector<std::uint32_t> colors = GradientColors(FromColor, ToColor, ColorCount, Style);
    platform::Canvas& canvas = Bitmap.GetCanvas();
    canvas.Brush.Style = platform::bsSolid;
    canvas.Brush.Color = FromColor;
    canvas.FillRect(platform::Rect(0, 0, Width, Height));
    const bool vertical = verticalStripes(Style);
    const int length = vertical ? Width : Height;
    NoiseSource random;
    for (int i = 0; i < ColorCount; ++i) {
        const int start = platform::MulDiv(i, length, ColorCount);
        const int stop = platform::MulDiv(i + 1, length, ColorCount);
        canvas.Brush.Color = static_cast<TColor>(colors[static_cast<std::size_t>(i)]);
        if (vertical)
            canvas.PatBlt(start, 0, stop - start, Height, platform::PATCOPY);
        else
            canvas.PatBlt(0, start, Width, stop - start, platform::PATCOPY);
        if (Noise && i >= 1)
            addNoise(canvas, random, vertical, start, length / (ColorCount - 1),
                     static_cast<TColor>(colors[static_cast<std::size_t>(i - 1)]));
    }
    tile(Bitmap, vertical);
}

} // namespace controls
