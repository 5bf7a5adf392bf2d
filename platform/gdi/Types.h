// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {

struct TPoint {
    int X = 0;
    int Y = 0;
};

// Right and Bottom are exclusive, as on the classic desktop.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

inline TRect Rect(int left, int top, int right, int bottom) {
    return {left, top, right, bottom};
}

inline void InflateRect(TRect& r, int dx, int dy) {
    r.Left -= dx;
    r.Top -= dy;
    r.Right += dx;
    r.Bottom += dy;
}

} // namespace platform
