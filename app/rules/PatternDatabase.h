// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One additive pattern database: for every placement of a group of tiles on the 16 cells, the
// fewest moves of those tiles alone that bring them home, the other tiles ignored and the empty
// cell free to be anywhere. Moves of other tiles cost nothing here, so the values of disjoint
// groups add up to a lower bound on the whole board's distance.
//
// A placement's index is its cells side by side, four bits each, the group's first tile in the
// lowest bits: a move changes one nibble, so a search updates the index with one xor. The
// table keeps four bits an entry: how far the value lies above the group's Manhattan distance,
// in pairs of moves (the two always differ by an even number).

#include "app/rules/BuildThreads.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rules {

// The table's size in bytes for a group of `k` tiles.
constexpr std::size_t PatternTableBytes(int k) {
    return (std::size_t{1} << (4 * k)) / 2;
}

// The entry for `index`: the value is the group's Manhattan distance plus twice this.
inline int PatternExtra(const std::uint8_t* table, std::uint32_t index) {
    return (table[index >> 1] >> ((index & 1u) * 4)) & 15;
}

// The table for a group of 1 to 7 tiles at home on the cells `homes` (0..15), by breadth-first
// search from the home placement. Empty when `cancel` was raised meanwhile. The same bytes
// whatever the number of threads.
std::vector<std::uint8_t> BuildPatternTable(const std::vector<std::uint8_t>& homes,
                                            const std::atomic<bool>& cancel,
                                            const BuildThreads& threads = {});

} // namespace rules
