// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A state's full value from a table that keeps bit 1 of it (PatternTable.h, PartTable.h). A move
// changes the value by exactly one, so once the value modulo four is known (the entry's bit and
// the Manhattan distance's parity give it), it names the neighbour one nearer at every step, and
// the walk's length to the goal is the value. Each table brings its own rule for the cells the
// empty cell can reach and for when the walk is home.

#include "app/rules/CellNeighbours.h"

#include <cstdint>

namespace rules {

namespace walk {

// Farther than any state of a seven-tile group: a walk that gets here is lost.
inline constexpr int kLongest = 255;

inline unsigned cellOf(std::uint32_t nibbles, int slot) {
    return (nibbles >> (4 * slot)) & 15u;
}

inline unsigned cellsOf(std::uint32_t nibbles, int tiles) {
    unsigned cells = 0;
    for (int slot = 0; slot < tiles; ++slot)
        cells |= 1u << cellOf(nibbles, slot);
    return cells;
}

// Moves to a neighbour of the state whose bit is `nearerBit`: the one a step nearer the goal, as
// the other neighbours are a step further and have the other bit. A tile may slide into the
// cells `partsOf(occupied)` puts in the empty cell's part.
template <class Table, class PartsOf>
bool stepNearer(const Table& table, int tiles, std::uint32_t& nibbles, unsigned& blank,
                int nearerBit, const PartsOf& partsOf) {
    const auto partOf = partsOf(cellsOf(nibbles, tiles));
    const auto part = partOf(blank);
    for (int slot = 0; slot < tiles; ++slot) {
        const unsigned from = cellOf(nibbles, slot);
        for (const std::uint8_t to : kCellNeighbours[from]) {
            if (to == 16)
                break;
            if (partOf(to) != part)
                continue;
            const std::uint32_t moved = nibbles ^ ((from ^ to) << (4 * slot));
            if (table.Bit(moved, from) == nearerBit) {
                nibbles = moved;
                blank = from;
                return true;
            }
        }
    }
    return false;
}

} // namespace walk

// The value of the placement `nibbles` (tile i's cell in bits 4i..4i+3, at home on homes[i])
// with the empty cell on `blank`, or -1 when the table leads nowhere. `table.Bit` gives an
// entry's bit; `partsOf(occupied)`, for the cells the group takes, a function from a cell to
// its part of the board; `atGoal(nibbles, blank)` whether the walk is home.
template <class Table, class PartsOf, class AtGoal>
int WalkValue(const Table& table, const std::uint8_t* homes, int tiles, std::uint32_t nibbles,
              unsigned blank, const PartsOf& partsOf, const AtGoal& atGoal) {
    // The value's parity is the Manhattan distance's, and the entry gives its bit 1.
    unsigned distance = 0;
    for (int slot = 0; slot < tiles; ++slot) {
        const unsigned cell = walk::cellOf(nibbles, slot);
        const unsigned home = homes[slot];
        distance += (cell / 4 > home / 4 ? cell / 4 - home / 4 : home / 4 - cell / 4) +
                    (cell % 4 > home % 4 ? cell % 4 - home % 4 : home % 4 - cell % 4);
    }
    // The value modulo 4, one less at each step.
    unsigned low = 2 * static_cast<unsigned>(table.Bit(nibbles, blank)) + (distance & 1u);
    int value = 0;
    while (!atGoal(nibbles, blank)) {
        low = (low + 3) & 3u;
        if (value == walk::kLongest ||
            !walk::stepNearer(table, tiles, nibbles, blank, static_cast<int>(low >> 1), partsOf))
            return -1;
        ++value;
    }
    return value;
}

} // namespace rules
