// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/OpenParts.h"

#include <bit>
#include <stdexcept>

namespace rules {
namespace {

// The cells the empty cell can reach from `start` through the cells in `open`.
unsigned regionOf(unsigned start, unsigned open) {
    unsigned region = start;
    for (unsigned before = 0; region != before;) {
        before = region;
        region |= ((region << 4) | (region >> 4) | ((region << 1) & 0xEEEEu) |
                   ((region >> 1) & 0x7777u)) &
                  open;
    }
    return region;
}

using Choose = std::array<std::array<unsigned, 17>, 17>;

Choose binomials() {
    Choose choose{};
    for (std::size_t n = 0; n <= 16; ++n) {
        choose[n][0] = 1;
        for (std::size_t r = 1; r <= n; ++r)
            choose[n][r] = choose[n - 1][r - 1] + choose[n - 1][r];
    }
    return choose;
}

OpenParts::Entry entryOf(unsigned open) {
    OpenParts::Entry entry = 0;
    for (unsigned cell = 0; cell < 16; ++cell)
        entry |= OpenParts::Entry{OpenParts::ClosedCell} << (3 * cell);
    OpenParts::Entry part = 0;
    for (unsigned rest = open; rest != 0; ++part) {
        const unsigned region = regionOf(rest & (~rest + 1u), open);
        for (unsigned cells = region; cells != 0; cells &= cells - 1)
            entry &= ~((OpenParts::ClosedCell ^ part) << (3 * std::countr_zero(cells)));
        rest &= ~region;
    }
    return entry | part << 48;
}

} // namespace

OpenParts::OpenParts(int openCells) {
    if (openCells < 9 || openCells > 16)
        throw std::invalid_argument("open cells out of range");
    const Choose choose = binomials();
    for (unsigned byte = 0; byte < 256; ++byte) {
        unsigned below = 0;
        unsigned share = 0;
        for (unsigned cell = 0; cell < 8; ++cell)
            if ((byte >> cell) & 1u)
                share += choose[cell][++below];
        low_[byte] = static_cast<std::uint16_t>(share);
        lowCount_[byte] = static_cast<std::uint8_t>(below);
        for (unsigned lower = 0; lower <= 8; ++lower) {
            unsigned index = lower;
            share = 0;
            for (unsigned cell = 0; cell < 8; ++cell)
                if ((byte >> cell) & 1u)
                    share += ++index <= 16 ? choose[8 + cell][index] : 0;
            high_[lower][byte] = static_cast<std::uint16_t>(share);
        }
    }
    const auto size = static_cast<std::size_t>(openCells);
    entries_.assign(choose[16][size], 0);
    ranks_.assign(choose[16][size], {});
    for (unsigned open = 0; open < 65536; ++open) {
        if (std::popcount(open) != openCells)
            continue;
        const Entry entry = entryOf(open);
        entries_[rank(open)] = entry;
        unsigned at = 0;
        for (unsigned cell = 0; cell < 16; ++cell) {
            const unsigned part = PartOf(entry, cell);
            if (part == ClosedCell)
                continue;
            ranks_[rank(open)][part] =
                static_cast<std::uint16_t>(ranks_[rank(open)][part] | 1u << at);
            ++at;
        }
    }
}

} // namespace rules
