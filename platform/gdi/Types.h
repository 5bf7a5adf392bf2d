// SPDX-License-Identifier: GPL-3.0-or-later
// Points and rectangles, with the classic helpers that move and grow them.
#pragma once

namespace platform {

struct TPoint {
    int X = 0;
    int Y = 0;

    bool operator==(const TPoint&) const = default;
};

// Right and Bottom are exclusive, as on the classic desktop.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }

    bool operator==(const TRect&) const = default;
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

inline void OffsetRect(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Top += dy;
    r.Right += dx;
    r.Bottom += dy;
}

inline bool IsRectEmpty(const TRect& r) {
    return r.Right <= r.Left || r.Bottom <= r.Top;
}

inline bool PtInRect(const TRect& r, TPoint p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

inline TPoint Point(int x, int y) {
    return {x, y};
}

} // namespace platform
