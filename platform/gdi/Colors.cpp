// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Colors.h"

#include <array>

namespace platform {

namespace {

constexpr std::uint32_t rgb(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}

// Every machine draws the same: the scheme is fixed, not read from the desktop.
constexpr std::array<std::uint32_t, 31> kScheme = {
    rgb(212, 208, 200), // scroll bar
    rgb(58, 110, 165),  // desktop background
    rgb(10, 36, 106),   // active caption
    rgb(128, 128, 128), // inactive caption
    rgb(212, 208, 200), // menu
    rgb(255, 255, 255), // window
    rgb(0, 0, 0),       // window frame
    rgb(0, 0, 0),       // menu text
    rgb(0, 0, 0),       // window text
    rgb(255, 255, 255), // caption text
    rgb(212, 208, 200), // active border
    rgb(212, 208, 200), // inactive border
    rgb(128, 128, 128), // application workspace
    rgb(10, 36, 106),   // highlight (selection)
    rgb(255, 255, 255), // highlight text
    rgb(212, 208, 200), // button face
    rgb(128, 128, 128), // button shadow
    rgb(128, 128, 128), // grey text
    rgb(0, 0, 0),       // button text
    rgb(212, 208, 200), // inactive caption text
    rgb(255, 255, 255), // button highlight
    rgb(64, 64, 64),    // 3D dark shadow
    rgb(212, 208, 200), // 3D light
    rgb(0, 0, 0),       // tooltip text
    rgb(255, 255, 225), // tooltip background
    rgb(181, 181, 181), // unused slot
    rgb(0, 0, 128),     // hot-tracked item
    rgb(166, 202, 240), // gradient of the active caption
    rgb(192, 192, 192), // gradient of the inactive caption
    rgb(49, 106, 197),  // menu highlight
    rgb(212, 208, 200), // menu bar
};

} // namespace

std::uint32_t GetSysColor(int index) {
    if (index < 0 || index >= static_cast<int>(kScheme.size()))
        return 0;
    return kScheme[static_cast<std::size_t>(index)];
}

std::uint32_t ColorToRGB(TColor color) {
    const auto bits = static_cast<std::uint32_t>(color);
    if ((bits & 0xFF000000u) == 0xFF000000u)
        return GetSysColor(static_cast<int>(bits & 0xFFu));
    return bits & 0x00FFFFFFu;
}

QColor ToQColor(TColor color) {
    const std::uint32_t c = ColorToRGB(color);
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

} // namespace platform
