// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The estimate of a whole board, with the parts a search keeps and changes slide by slide:
// every slot's group indices and their table entries, each slot's sum, and the Manhattan
// distance. SolverTables::Estimate and the search's root both start from here.

#include "app/rules/PatternDatabase.h"
#include "app/rules/PatternLayout.h"
#include "app/rules/SolverTables.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace rules {

struct EstimateParts {
    using Slots = std::array<int, PatternLayout::Slots>;
    template <typename T>
    using BySlot = std::array<std::array<T, PatternLayout::Groups>, PatternLayout::Slots>;

    BySlot<const std::uint8_t*> Tables{}; // the full table each group is looked up in
    BySlot<std::uint32_t> Index{};
    BySlot<std::uint8_t> Extra{};
    Slots Sum{};
    int Distance = 0;

    // The Manhattan distance plus twice the largest slot's sum.
    static int ValueWith(int distance, const Slots& sums) {
        return distance + 2 * *std::max_element(sums.begin(), sums.end());
    }
    int Value() const { return ValueWith(Distance, Sum); }
};

// `cells` as in SolverTables::Estimate.
inline EstimateParts EstimateOf(const std::array<std::uint8_t, 16>& cells,
                                const SolverTables& tables) {
    EstimateParts parts;
    for (std::size_t slot = 0; slot < PatternLayout::Slots; ++slot)
        for (std::size_t group = 0; group < PatternLayout::Groups; ++group)
            parts.Tables[slot][group] = tables.Table(kPatternLayout.Table[slot][group]);
    for (std::size_t cell = 0; cell < 16; ++cell) {
        const std::size_t tile = cells[cell];
        if (tile == 0)
            continue;
        const PatternLayout::Tile& entry = kPatternLayout.Tiles[tile];
        parts.Distance += entry.Distance[cell];
        for (std::size_t slot = 0; slot < PatternLayout::Slots; ++slot)
            parts.Index[slot][entry.Group[slot]] |= entry.Bits[slot][cell];
    }
    for (std::size_t slot = 0; slot < PatternLayout::Slots; ++slot)
        for (std::size_t group = 0; group < PatternLayout::Groups; ++group) {
            parts.Extra[slot][group] = static_cast<std::uint8_t>(
                PatternExtra(parts.Tables[slot][group], parts.Index[slot][group]));
            parts.Sum[slot] += parts.Extra[slot][group];
        }
    return parts;
}

} // namespace rules
