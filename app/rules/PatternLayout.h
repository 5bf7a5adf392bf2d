// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How each tile's cell enters the pattern indices. There are two views of a board: the board
// itself and its mirror image about the main diagonal (tile t on cell c there becomes the tile
// at home on t's mirrored home, on c's mirrored cell), which is just as far from the goal. Each
// view has three indices, one per group: the six tiles', the flipped six tiles' (looked up in
// the six tiles' table with every cell mirrored left to right) and the three tiles'.

#include "app/rules/SolverTables.h"

#include <array>
#include <cstdint>

namespace rules {

struct PatternLayout {
    static constexpr int Views = 2;
    static constexpr int Groups = 3; // 0 six, 1 flipped six, 2 three
    // Which group's index a tile enters in each view.
    std::array<std::array<std::uint8_t, 16>, Views> Group{};
    // The bits a tile on a cell sets in that index: [view][tile][cell].
    std::array<std::array<std::array<std::uint32_t, 16>, 16>, Views> Bits{};
    // The Manhattan distance of a tile on a cell from its home: [tile][cell].
    std::array<std::array<std::uint8_t, 16>, 16> Distance{};
};

constexpr int MirrorCell(int cell) {
    return (cell % 4) * 4 + cell / 4;
}

constexpr PatternLayout MakePatternLayout() {
    PatternLayout layout;
    struct Slot {
        int Group = 0;
        int Index = 0;
    };
    std::array<Slot, 16> slotOf{};
    for (int i = 0; i < 6; ++i) {
        slotOf[SixTiles[static_cast<std::size_t>(i)]] = {0, i};
        slotOf[FlippedSixTiles[static_cast<std::size_t>(i)]] = {1, i};
    }
    for (int i = 0; i < 3; ++i)
        slotOf[ThreeTiles[static_cast<std::size_t>(i)]] = {2, i};
    for (int tile = 1; tile < 16; ++tile) {
        const auto t = static_cast<std::size_t>(tile);
        const int mirrored = MirrorCell(tile - 1) + 1;
        for (int view = 0; view < PatternLayout::Views; ++view) {
            const Slot slot = slotOf[static_cast<std::size_t>(view == 0 ? tile : mirrored)];
            layout.Group[static_cast<std::size_t>(view)][t] = static_cast<std::uint8_t>(slot.Group);
            for (int cell = 0; cell < 16; ++cell) {
                int seen = view == 0 ? cell : MirrorCell(cell);
                if (slot.Group == 1)
                    seen = FlippedCell(seen);
                layout.Bits[static_cast<std::size_t>(view)][t][static_cast<std::size_t>(cell)] =
                    static_cast<std::uint32_t>(seen) << (4 * slot.Index);
            }
        }
        for (int cell = 0; cell < 16; ++cell) {
            const int dr = cell / 4 - (tile - 1) / 4;
            const int dc = cell % 4 - (tile - 1) % 4;
            layout.Distance[t][static_cast<std::size_t>(cell)] =
                static_cast<std::uint8_t>((dr < 0 ? -dr : dr) + (dc < 0 ? -dc : dc));
        }
    }
    return layout;
}

inline constexpr PatternLayout kPatternLayout = MakePatternLayout();

} // namespace rules
