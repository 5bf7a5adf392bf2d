// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The estimate of a whole board, with the parts a search keeps and changes slide by slide: every
// slot's group indices and their values, and each slot's sum. The estimate is the largest slot's
// sum. SolverTables::Estimate and the search's root both start from here; below the root the
// search learns each value from the one before it and a bit of the table.

#include "app/rules/PatternLayout.h"
#include "app/rules/PatternTable.h"
#include "app/rules/SolverTables.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace rules {

struct EstimateParts {
    using Slots = std::array<int, PatternLayout::Slots>;
    template <typename T>
    using BySlot = std::array<std::array<T, PatternLayout::Groups>, PatternLayout::Slots>;

    BySlot<std::uint32_t> Index{};
    BySlot<std::uint8_t> Value{};
    Slots Sum{};

    static int ValueWith(const Slots& sums) { return *std::max_element(sums.begin(), sums.end()); }
    int Estimate() const { return ValueWith(Sum); }
};

// How a search reads each set's tables.
template <TableKind Kind> struct TablesOf;
template <> struct TablesOf<TableKind::Six> {
    using Table = PatternTable;
    static const Table& Get(const SolverTables& tables, int id) { return tables.Pattern(id); }
};
template <> struct TablesOf<TableKind::Seven> {
    using Table = PartTable;
    static const Table& Get(const SolverTables& tables, int id) { return tables.Part(id); }
};

// The table each slot's group is looked up in.
template <TableKind Kind>
EstimateParts::BySlot<const typename TablesOf<Kind>::Table*>
PatternTablesOf(const SolverTables& tables) {
    EstimateParts::BySlot<const typename TablesOf<Kind>::Table*> out{};
    for (std::size_t slot = 0; slot < PatternLayout::Slots; ++slot)
        for (std::size_t group = 0; group < PatternLayout::Groups; ++group)
            out[slot][group] =
                &TablesOf<Kind>::Get(tables, kPatternLayout<Kind>.Table[slot][group]);
    return out;
}

// `cells` as in SolverTables::Estimate; `tables` of the set `Kind`.
template <TableKind Kind>
EstimateParts EstimateOf(const std::array<std::uint8_t, 16>& cells, const SolverTables& tables) {
    constexpr const PatternLayout& layout = kPatternLayout<Kind>;
    EstimateParts parts;
    std::size_t blank = 0;
    for (std::size_t cell = 0; cell < 16; ++cell) {
        const std::size_t tile = cells[cell];
        if (tile == 0) {
            blank = cell;
            continue;
        }
        const PatternLayout::Tile& entry = layout.Tiles[tile];
        for (std::size_t slot = 0; slot < PatternLayout::Slots; ++slot)
            parts.Index[slot][entry.Group[slot]] |= entry.Bits[slot][cell];
    }
    const auto patterns = PatternTablesOf<Kind>(tables);
    for (std::size_t slot = 0; slot < PatternLayout::Slots; ++slot)
        for (std::size_t group = 0; group < PatternLayout::Groups; ++group) {
            const int value = patterns[slot][group]->Value(parts.Index[slot][group],
                                                           layout.Cell[slot][group][blank]);
            parts.Value[slot][group] = static_cast<std::uint8_t>(value);
            parts.Sum[slot] += value;
        }
    return parts;
}

} // namespace rules
