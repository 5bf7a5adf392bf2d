// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One additive pattern database over a group of 3 to 6 tiles. A state is a placement of the
// group's tiles and the part of the board (see OpenParts) that holds the empty cell; the other
// tiles are ignored and the empty cell moves within its part at no cost, so the values of
// disjoint groups add up to a lower bound on the whole board's distance. A state's value is its
// distance from the goal: the group at home with the empty cell in the part that holds cell 15.
//
// A move of one of the group's tiles changes the value by exactly one, up or down (the states
// split in two by the parity of the tiles' Manhattan distance); any other tile's move leaves the
// empty cell in its part and the value as it was. So the table keeps one bit a state, bit 1 of
// its value: of value - 1 and value + 1, only one has the bit a neighbour's entry gives.
//
// A placement's nibble index is its cells side by side, four bits each, the group's first tile
// lowest: a move changes one nibble, so a search updates it with one xor. Its entry is a run of
// bits, one for each open cell in the order of the cells, holding the bit of the state with the
// empty cell there: a reader finds its bit without working out the parts of the board (a third
// of the six-tile placements leave more than one). The entries follow each other without gaps,
// in the order of PatternIndex::Place.

#include "app/rules/BuildThreads.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rules {

inline constexpr int PatternTilesLeast = 3;
inline constexpr int PatternTilesMost = 6;

// Where a placement's entry lies: its rank among the orders of as many distinct cells, the last
// tile's cell most significant and each earlier one counted among the cells the later ones left.
// So the six-tile table has no gaps, and its entries come in the order of the nibble indices'
// top cells, which a table build meets together. It is worked out from two tables of the twelve
// bits the first three tiles and the rest take: each half's share of the rank among its own
// cells, and for each cell how many of the half's lie below it, which corrects the first three's
// share for the rest and gives the empty cell's rank among the open cells.
struct HalfRank {
    std::uint32_t Rank = 0;  // the half's share of the rank, counted among its own cells only
    std::uint32_t Below = 0; // two bits for each cell c, c's lowest: the half's cells below c
};
using HalfRanks = std::array<HalfRank, 4096>;

// The orders of the tiles after the `skip` most significant of `tiles`, cell by cell.
constexpr std::uint32_t OrdersAfter(int skip, int tiles) {
    std::uint32_t orders = 1;
    for (int m = skip + 1; m < tiles; ++m)
        orders *= static_cast<std::uint32_t>(16 - m);
    return orders;
}

// The cells in the lowest `count` nibbles of `half`, the highest most significant, as the digits
// `first` on of a rank of `tiles` digits.
constexpr HalfRank MakeHalfRank(std::uint32_t half, int count, int first, int tiles) {
    HalfRank out;
    for (int digit = 0; digit < count; ++digit) {
        const int i = count - 1 - digit;
        const unsigned cell = (half >> (4 * i)) & 15u;
        unsigned before = 0;
        for (int j = i + 1; j < count; ++j)
            before += ((half >> (4 * j)) & 15u) < cell ? 1u : 0u;
        out.Rank += (cell - before) * OrdersAfter(first + digit, tiles);
    }
    for (unsigned c = 0; c < 16; ++c) {
        unsigned below = 0;
        for (int i = 0; i < count; ++i)
            below += ((half >> (4 * i)) & 15u) < c ? 1u : 0u;
        out.Below |= below << (2 * c);
    }
    return out;
}

constexpr HalfRanks MakeHalfRanks(int count, int first, int tiles) {
    HalfRanks ranks{};
    for (std::uint32_t half = 0; half < (1u << (4 * count)); ++half)
        ranks[half] = MakeHalfRank(half, count, first, tiles);
    return ranks;
}

// By the group's size, 3 to 6: the first three tiles' shares, the last digits of the rank, and
// the rest's, its first digits as a rank of their own, which the index scales.
// Made when the program starts (a few hundred microseconds): as constants they take more steps
// than a compiler evaluates.
inline const std::array<HalfRanks, 4> kLowRanks = {MakeHalfRanks(3, 0, 3), MakeHalfRanks(3, 1, 4),
                                                   MakeHalfRanks(3, 2, 5), MakeHalfRanks(3, 3, 6)};
inline const std::array<HalfRanks, 4> kHighRanks = {MakeHalfRanks(0, 0, 0), MakeHalfRanks(1, 0, 1),
                                                    MakeHalfRanks(2, 0, 2), MakeHalfRanks(3, 0, 3)};

class PatternIndex {
public:
    constexpr explicit PatternIndex(int tiles)
        : low_(&kLowRanks[static_cast<std::size_t>(tiles - 3)]),
          high_(&kHighRanks[static_cast<std::size_t>(tiles - 3)]),
          open_(static_cast<std::uint32_t>(16 - tiles)),
          highScale_(OrdersAfter(tiles - 4, tiles)), weights_{OrdersAfter(tiles - 3, tiles),
                                                              OrdersAfter(tiles - 2, tiles), 1} {}

    // The placement's rank: 0 up to the number of placements.
    constexpr std::uint32_t Place(std::uint32_t nibbles) const {
        return place(nibbles & 0xFFFu, (*high_)[nibbles >> 12]);
    }
    // Where the bit of the placement with the empty cell on `blank` lies: one for each open cell
    // a placement, in the order of the cells.
    constexpr std::uint32_t BitAt(std::uint32_t nibbles, unsigned blank) const {
        const std::uint32_t first = nibbles & 0xFFFu;
        const HalfRank& high = (*high_)[nibbles >> 12];
        const std::uint32_t below =
            (((*low_)[first].Below >> (2 * blank)) & 3u) + ((high.Below >> (2 * blank)) & 3u);
        return place(first, high) * open_ + blank - below;
    }

private:
    constexpr std::uint32_t place(std::uint32_t first, const HalfRank& high) const {
        // Each of the first three's cells counted among the cells the rest left.
        const std::uint32_t taken =
            weights_[0] * ((high.Below >> (2 * (first >> 8))) & 3u) +
            weights_[1] * ((high.Below >> (2 * ((first >> 4) & 15u))) & 3u) +
            weights_[2] * ((high.Below >> (2 * (first & 15u))) & 3u);
        return high.Rank * highScale_ + (*low_)[first].Rank - taken;
    }

    const HalfRanks* low_;
    const HalfRanks* high_;
    std::uint32_t open_;
    std::uint32_t highScale_;
    std::array<std::uint32_t, 3> weights_;
};

// The placements of a group of `tiles` tiles, and the table's size in bytes.
constexpr std::size_t PatternPlaces(int tiles) {
    std::size_t places = 1;
    for (int i = 0; i < tiles; ++i)
        places *= static_cast<std::size_t>(16 - i);
    return places;
}
constexpr std::size_t PatternTableBytes(int tiles) {
    return (PatternPlaces(tiles) * static_cast<std::size_t>(16 - tiles) + 7) / 8;
}

// The table for a group of 3 to 6 tiles at home on the cells `homes` (0..14), by breadth-first
// search from the goal. Empty when `cancel` was raised meanwhile. The same bytes whatever the
// number of threads.
std::vector<std::uint8_t> BuildPatternTable(const std::vector<std::uint8_t>& homes,
                                            const std::atomic<bool>& cancel,
                                            const BuildThreads& threads = {});

} // namespace rules
