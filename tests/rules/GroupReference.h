// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A group's distances worked out the plain way, to check the pattern tables against: a state is
// the group's cells and the empty cell's, the empty cell swaps with a neighbour at the cost of
// one move when that is a group tile and nothing otherwise. It shares nothing with the tables'
// searches, which work on the parts of the board the empty cell can reach.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

namespace reference {

// Tile i's cell, in bits 4i..4i+3 of a placement.
inline int CellOf(std::uint32_t placement, int slot) {
    return static_cast<int>((placement >> (4 * slot)) & 15u);
}

// The cells of the placement of k tiles, or 0 when two tiles share a cell.
inline unsigned CellsOf(std::uint32_t placement, int k) {
    unsigned cells = 0;
    for (int slot = 0; slot < k; ++slot) {
        const unsigned bit = 1u << CellOf(placement, slot);
        if (cells & bit)
            return 0;
        cells |= bit;
    }
    return cells;
}

inline std::uint32_t PlacementOf(const std::vector<std::uint8_t>& cells) {
    std::uint32_t placement = 0;
    for (std::size_t slot = 0; slot < cells.size(); ++slot)
        placement |= std::uint32_t{cells[slot]} << (4 * slot);
    return placement;
}

// By placement and then empty cell, from the goal of the group at home with the empty cell on
// any of the cells `goalBlanks` the home leaves open; -1 where the empty cell is on a tile or
// nothing was reached.
inline std::vector<std::int16_t> GroupDistances(const std::vector<std::uint8_t>& homes,
                                                unsigned goalBlanks) {
    const int k = static_cast<int>(homes.size());
    std::vector<std::int16_t> distance(std::size_t{16} << (4 * k), -1);
    std::deque<std::uint32_t> queue;
    const std::uint32_t home = PlacementOf(homes);
    for (std::uint32_t empty = 0; empty < 16; ++empty) {
        if (((CellsOf(home, k) >> empty) & 1u) || !((goalBlanks >> empty) & 1u))
            continue;
        distance[home * 16 + empty] = 0;
        queue.push_back(home * 16 + empty);
    }
    while (!queue.empty()) {
        const std::uint32_t s = queue.front();
        queue.pop_front();
        const std::uint32_t placement = s / 16;
        const int empty = static_cast<int>(s % 16);
        for (const int to : {empty - 4, empty + 4, empty - 1, empty + 1}) {
            if (to < 0 || to > 15 || (to / 4 != empty / 4 && to % 4 != empty % 4))
                continue;
            std::uint32_t moved = placement;
            int cost = 0;
            for (int slot = 0; slot < k; ++slot) {
                if (CellOf(placement, slot) == to) {
                    moved = (placement & ~(15u << (4 * slot))) |
                            (static_cast<std::uint32_t>(empty) << (4 * slot));
                    cost = 1;
                }
            }
            const std::uint32_t next = moved * 16 + static_cast<std::uint32_t>(to);
            const int d = distance[s] + cost;
            if (distance[next] == -1 || d < distance[next]) {
                distance[next] = static_cast<std::int16_t>(d);
                if (cost == 0)
                    queue.push_front(next);
                else
                    queue.push_back(next);
            }
        }
    }
    return distance;
}

// The states of k tiles and the empty cell: 16 * 15 * ... placements, each with 16 - k cells
// left for the empty cell.
inline std::size_t StatesOf(int k) {
    std::size_t states = 1;
    for (int i = 0; i < k; ++i)
        states *= static_cast<std::size_t>(16 - i);
    return states * static_cast<std::size_t>(16 - k);
}

struct TableCheck {
    std::size_t Checked = 0; // the states compared
    std::string Wrong;       // the first state the table gets wrong, or empty
};

// Compares every state's bit, table.Bit(placement, blank), with bit 1 of its distance in
// `expected` (as GroupDistances gives them), and for every `walkEvery`-th state its full value,
// table.Value(placement, blank), with the distance.
template <class Table>
TableCheck CheckEveryState(const Table& table, int k, const std::vector<std::int16_t>& expected,
                           int walkEvery) {
    TableCheck check;
    for (std::uint32_t placement = 0; placement < (1u << (4 * k)); ++placement) {
        const unsigned taken = CellsOf(placement, k);
        if (taken == 0)
            continue;
        for (unsigned blank = 0; blank < 16; ++blank) {
            if ((taken >> blank) & 1u)
                continue;
            const int d = expected[placement * 16 + blank];
            const int bit = table.Bit(placement, blank);
            const bool walk = check.Checked++ % static_cast<std::size_t>(walkEvery) == 0;
            const int value = walk ? table.Value(placement, blank) : d;
            if (d < 0 || bit != ((d >> 1) & 1) || value != d) {
                std::ostringstream wrong;
                wrong << "placement " << std::hex << placement << std::dec << ", empty cell "
                      << blank << ": ";
                if (d < 0)
                    wrong << "unreachable from the goal";
                else
                    wrong << d << " moves, the table's bit " << bit << ", its value " << value;
                check.Wrong = wrong.str();
                return check;
            }
        }
    }
    return check;
}

} // namespace reference
