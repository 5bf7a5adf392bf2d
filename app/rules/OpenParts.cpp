// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/OpenParts.h"

#include "app/rules/CellNeighbours.h"

#include <bit>
#include <stdexcept>

namespace rules {
namespace {

OpenParts::Entry entryOf(unsigned open) {
    OpenParts::Entry entry = 0;
    for (unsigned cell = 0; cell < 16; ++cell)
        entry |= OpenParts::Entry{OpenParts::ClosedCell} << (3 * cell);
    OpenParts::Entry part = 0;
    for (unsigned rest = open; rest != 0; ++part) {
        const unsigned region = RegionOf(rest & (~rest + 1u), open);
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
    const auto size = static_cast<unsigned>(openCells);
    entries_.assign(Choose(16, size), 0);
    ranks_.assign(Choose(16, size), {});
    for (unsigned open = 0; open < 65536; ++open) {
        if (std::popcount(open) != openCells)
            continue;
        const Entry entry = entryOf(open);
        entries_[rank_(open)] = entry;
        unsigned at = 0;
        for (unsigned cell = 0; cell < 16; ++cell) {
            const unsigned part = PartOf(entry, cell);
            if (part == ClosedCell)
                continue;
            ranks_[rank_(open)][part] =
                static_cast<std::uint16_t>(ranks_[rank_(open)][part] | 1u << at);
            ++at;
        }
    }
}

} // namespace rules
