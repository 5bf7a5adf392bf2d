// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How each tile's cell enters the pattern indices. There are two views of a board: the board
// itself and its mirror image about the main diagonal (tile t on cell c there becomes the tile
// at home on t's mirrored home, on c's mirrored cell), which is just as far from the goal. Each
// view is split by every partition of SolverTables.h; a (view, partition) pair is a slot with one
// index per group, and the estimate is the largest slot's sum. Each set of tables has its own
// layout, made when the program is compiled.

#include "app/rules/SolverTables.h"

#include <array>
#include <cstdint>

namespace rules {

struct PatternLayout {
    static constexpr int Views = 2;
    static constexpr int Slots = Views * PartitionCount;
    static constexpr int Groups = GroupsPerPartition;
    struct Tile {
        // Which group's index the tile enters in each slot.
        std::array<std::uint8_t, Slots> Group{};
        // The bits the tile on a cell sets in that index: [slot][cell].
        std::array<std::array<std::uint32_t, 16>, Slots> Bits{};
    };
    std::array<Tile, 16> Tiles{};
    // The table each slot's group is looked up in.
    std::array<std::array<std::uint8_t, Groups>, Slots> Table{};
    // Where a cell lies in that table's frame: [slot][group][cell].
    std::array<std::array<std::array<std::uint8_t, 16>, Groups>, Slots> Cell{};
    // An earlier slot of the same view whose group is this one (the same tiles in the same
    // table and image), so its index and value are always the same; NoTwin when there is none.
    static constexpr std::uint8_t NoTwin = 255;
    std::array<std::array<std::uint8_t, Groups>, Slots> Twin{};
};

constexpr bool SameGroup(const PatternGroup& a, const PatternGroup& b) {
    return a.Count == b.Count && a.Tiles == b.Tiles && a.Table == b.Table &&
           a.Symmetry == b.Symmetry;
}

constexpr int MirrorCell(int cell) {
    return (cell % 4) * 4 + cell / 4;
}

constexpr PatternLayout MakePatternLayout(const TableSet& set) {
    PatternLayout layout;
    for (int view = 0; view < PatternLayout::Views; ++view) {
        for (int p = 0; p < PartitionCount; ++p) {
            const int slot = view * PartitionCount + p;
            const auto s = static_cast<std::size_t>(slot);
            for (int g = 0; g < PatternLayout::Groups; ++g) {
                const PatternGroup& group =
                    set.Partitions[static_cast<std::size_t>(p)][static_cast<std::size_t>(g)];
                layout.Table[s][static_cast<std::size_t>(g)] = group.Table;
                for (int cell = 0; cell < 16; ++cell)
                    layout.Cell[s][static_cast<std::size_t>(g)][static_cast<std::size_t>(cell)] =
                        static_cast<std::uint8_t>((view == 0 ? cell : MirrorCell(cell)) ^
                                                  group.Symmetry);
                layout.Twin[s][static_cast<std::size_t>(g)] = PatternLayout::NoTwin;
                for (int q = 0; q < p; ++q)
                    for (const PatternGroup& other : set.Partitions[static_cast<std::size_t>(q)])
                        if (SameGroup(other, group))
                            layout.Twin[s][static_cast<std::size_t>(g)] =
                                static_cast<std::uint8_t>(view * PartitionCount + q);
                for (int i = 0; i < group.Count; ++i) {
                    const int own = group.Tiles[static_cast<std::size_t>(i)];
                    // In the mirror view the group's tile is the one at home on its mirror cell.
                    const int tile = view == 0 ? own : MirrorCell(own - 1) + 1;
                    PatternLayout::Tile& entry = layout.Tiles[static_cast<std::size_t>(tile)];
                    entry.Group[s] = static_cast<std::uint8_t>(g);
                    for (std::size_t cell = 0; cell < 16; ++cell)
                        entry.Bits[s][cell] =
                            std::uint32_t{layout.Cell[s][static_cast<std::size_t>(g)][cell]}
                            << (4 * i);
                }
            }
        }
    }
    return layout;
}

template <TableKind Kind>
inline constexpr PatternLayout kPatternLayout = MakePatternLayout(TableSetOf(Kind));

} // namespace rules
