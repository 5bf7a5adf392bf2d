// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where a state's bit lies in a table kept per part of the board (see PartTable.h), for groups
// of 1 to 7 tiles. A state is a placement of the group's k tiles and the part of the board that
// holds the empty cell: a part is a connected region of the 16 - k open cells, the parts
// numbered in the order of their lowest cells (0 holds the lowest open cell).
//
// The table is one block of bits after another, without gaps, a block for each set of k cells
// (a mask) in the order of its rank among the masks of k cells, colex: the cells c_1 < ... < c_k
// rank as the sum of C(c_j, j). A mask's block holds a run of k! bits for each of its parts, in
// the parts' order, and within a run a placement's bit lies at its order: the tiles' Lehmer
// digits L_i (the mask's cells below tile i's cell that tiles 0..i-1 do not take, that is the
// later tiles on lower cells) in mixed radix, tile 0 most significant:
// order = sum of L_i * (k - 1 - i)!.
//
// The order is summed from two tables of the twelve bits the first three tiles and the next
// three take: each gives its tiles' digits counted among themselves and its cells; the second
// also how many of its tiles lie below each cell (the later tiles the first three's digits
// count, with the seventh tile's one added by a shift) and, for each cell the seventh tile may
// take, what it adds to the second three's digits. Only table lookups and arithmetic:
// std::popcount is a library call on the baseline processor.

#include "app/rules/MaskRank.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rules {

// What the index's arithmetic takes from the group's size.
struct PartSizes {
    std::uint32_t Orders = 1;               // k!
    std::uint32_t Used = 0;                 // the nibbles of the group's tiles
    std::uint32_t Last = 0;                 // or'ed into the seventh tile's cell: 16 if none
    std::array<std::uint32_t, 6> Weights{}; // (k - 1 - i)! for tile i, 0 past the group
};
constexpr PartSizes PartSizesOf(int tiles) {
    PartSizes sizes;
    sizes.Used = (1u << (4 * tiles)) - 1u;
    sizes.Last = tiles == 7 ? 0u : 16u;
    for (int i = tiles - 1; i >= 0; --i) {
        if (i < 6)
            sizes.Weights[static_cast<std::size_t>(i)] = sizes.Orders;
        sizes.Orders *= static_cast<std::uint32_t>(tiles - i);
    }
    return sizes;
}

class PartIndex {
public:
    static constexpr int TilesMost = 7;

    // A mask's block: the part of each cell (a nibble each, cell 0 lowest; ClosedCell on the
    // mask's own cells), where its bits start, its cells and how many parts its open cells make.
    struct Block {
        std::uint64_t Parts = 0;
        std::uint32_t Offset = 0;
        std::uint16_t Mask = 0;
        std::uint8_t Count = 0;
    };
    static constexpr unsigned ClosedCell = 15;

    explicit PartIndex(int tiles);

    int Tiles() const { return tiles_; }
    std::uint32_t Orders() const { return sizes_.Orders; }
    std::size_t Bits() const { return bits_; }
    std::size_t Masks() const { return blocks_.size(); }
    const Block& BlockAt(std::size_t rank) const { return blocks_[rank]; }

    // The bit of the placement `nibbles` (tile i's cell in bits 4i..4i+3) with the empty cell
    // on the open cell `blank`.
    std::uint32_t At(std::uint32_t nibbles, unsigned blank) const {
        // Seven tiles, the largest and busiest tables, with their constants folded in.
        static constexpr PartSizes kSeven = PartSizesOf(TilesMost);
        return tiles_ == TilesMost ? at(nibbles, blank, kSeven) : at(nibbles, blank, sizes_);
    }

    // The mask's rank among the masks of as many cells.
    std::uint32_t Rank(unsigned mask) const { return rank_(mask); }

private:
    // Three bits a cell, each a one.
    static constexpr std::uint64_t kOnes = 0x249249249249ull;

    std::uint32_t at(std::uint32_t nibbles, unsigned blank, const PartSizes& sizes) const {
        const std::uint32_t n = nibbles & sizes.Used;
        const First& first = first_[n & 0xFFFu];
        const std::uint32_t chunk = (n >> 12) & 0xFFFu;
        const Second& second = second_[chunk];
        // 16 when there is no seventh tile: below no cell and outside the board.
        const std::uint32_t last = (n >> 24) | sizes.Last;
        const auto mask =
            (first.Mask | static_cast<std::uint32_t>(second.Below >> 48) | (1u << last)) & 0xFFFFu;
        const Block& block = blocks_[rank_(mask)];
        // For each cell, the tiles after the first three that stand below it (a seventh on 15, or
        // none, shifts its ones past the cells' fields).
        const std::uint64_t later = second.Below + (kOnes << (3 * last + 3));
        const std::array<std::uint32_t, 6>& w = sizes.Weights;
        const std::uint32_t order =
            first.Rank + secondRank_[chunk] +
            w[0] * (static_cast<std::uint32_t>(later >> (3 * (n & 15u))) & 7u) +
            w[1] * (static_cast<std::uint32_t>(later >> (3 * ((n >> 4) & 15u))) & 7u) +
            w[2] * (static_cast<std::uint32_t>(later >> (3 * ((n >> 8) & 15u))) & 7u) +
            (static_cast<std::uint32_t>(second.Above >> (4 * (last & 15u))) & 15u);
        const auto part = static_cast<std::uint32_t>(block.Parts >> (4 * blank)) & 15u;
        return block.Offset + part * sizes.Orders + order;
    }

    // The first three tiles: their digits among themselves, weighted, and their cells.
    struct First {
        std::uint16_t Rank = 0;
        std::uint16_t Mask = 0;
    };
    // The next three: for each cell c (three bits, c's lowest) how many of them lie below c,
    // and their cells in the top sixteen bits; and with seven tiles, for each cell c (four bits)
    // the weights of those above c, which the seventh tile on c adds to their digits. Their
    // digits among themselves are in secondRank_.
    struct Second {
        std::uint64_t Below = 0;
        std::uint64_t Above = 0;
    };

    void makeTiles();
    void makeBlocks();

    int tiles_;
    PartSizes sizes_;
    MaskRank rank_;
    std::vector<First> first_;
    std::vector<Second> second_;
    std::vector<std::uint8_t> secondRank_;
    std::vector<Block> blocks_;
    std::size_t bits_ = 0;
};

// The index for groups of `tiles` tiles (1..7), made once a process; any thread may read it.
const PartIndex& SharedPartIndex(int tiles);

} // namespace rules
