// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parts of the board the empty cell can reach: for every set of open cells of one size,
// which part each open cell belongs to, the part of the lowest open cell first, the next
// lowest cell outside it second, and so on. A set is found by its rank among the sets of its
// size, so the table of ten open cells (8,008 sets) stays in the processor's cache.

#include "app/rules/MaskRank.h"

#include <array>
#include <cstdint>
#include <vector>

namespace rules {

class OpenParts {
public:
    // Three bits a cell, cell 0 lowest (its part, or ClosedCell), then the count of parts.
    using Entry = std::uint64_t;
    static constexpr unsigned ClosedCell = 7;

    // Sets of 9 to 16 open cells: at most seven parts, so a part fits beside ClosedCell.
    explicit OpenParts(int openCells);

    Entry Of(unsigned open) const { return entries_[rank_(open)]; }
    // The open cells of `part`, a bit for each open cell in the order of the cells.
    unsigned RanksIn(unsigned open, unsigned part) const { return ranks_[rank_(open)][part]; }

    static unsigned PartOf(Entry entry, unsigned cell) { return (entry >> (3 * cell)) & 7u; }
    static unsigned Count(Entry entry) { return static_cast<unsigned>(entry >> 48); }

private:
    MaskRank rank_;
    std::vector<Entry> entries_;
    std::vector<std::array<std::uint16_t, 7>> ranks_;
};

} // namespace rules
