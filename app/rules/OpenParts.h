// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parts of the board the empty cell can reach: for every set of open cells of one size,
// which part each open cell belongs to, the part of the lowest open cell first, the next
// lowest cell outside it second, and so on. A set is found by its rank among the sets of its
// size, so the table of ten open cells (8,008 sets) stays in the processor's cache.

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

    Entry Of(unsigned open) const { return entries_[rank(open)]; }
    // The open cells of `part`, a bit for each open cell in the order of the cells.
    unsigned RanksIn(unsigned open, unsigned part) const { return ranks_[rank(open)][part]; }

    static unsigned PartOf(Entry entry, unsigned cell) { return (entry >> (3 * cell)) & 7u; }
    static unsigned Count(Entry entry) { return static_cast<unsigned>(entry >> 48); }

private:
    // The combinatorial number system, a byte at a time: the low byte's cells add their own
    // share, the high byte's depend on how many cells came below them. Inline and without
    // std::popcount, which is a library call on the baseline processor.
    unsigned rank(unsigned open) const {
        const unsigned low = open & 255u;
        return low_[low] + high_[lowCount_[low]][open >> 8];
    }

    std::array<std::uint16_t, 256> low_{};
    std::array<std::uint8_t, 256> lowCount_{};
    std::array<std::array<std::uint16_t, 256>, 9> high_{};
    std::vector<Entry> entries_;
    std::vector<std::array<std::uint16_t, 7>> ranks_;
};

} // namespace rules
