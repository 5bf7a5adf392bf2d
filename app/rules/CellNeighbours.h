// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace rules {

// Up to four neighbours of each cell, 16 ending a shorter list.
inline constexpr std::array<std::array<std::uint8_t, 4>, 16> kCellNeighbours = [] {
    std::array<std::array<std::uint8_t, 4>, 16> table{};
    for (std::size_t cell = 0; cell < 16; ++cell) {
        std::size_t n = 0;
        table[cell] = {16, 16, 16, 16};
        if (cell >= 4)
            table[cell][n++] = static_cast<std::uint8_t>(cell - 4);
        if (cell < 12)
            table[cell][n++] = static_cast<std::uint8_t>(cell + 4);
        if (cell % 4 != 0)
            table[cell][n++] = static_cast<std::uint8_t>(cell - 1);
        if (cell % 4 != 3)
            table[cell][n++] = static_cast<std::uint8_t>(cell + 1);
    }
    return table;
}();

// The cells the empty cell can reach from `start` through the cells in `open`.
constexpr unsigned RegionOf(unsigned start, unsigned open) {
    unsigned region = start;
    for (unsigned before = 0; region != before;) {
        before = region;
        region |= ((region << 4) | (region >> 4) | ((region << 1) & 0xEEEEu) |
                   ((region >> 1) & 0x7777u)) &
                  open;
    }
    return region;
}

} // namespace rules
