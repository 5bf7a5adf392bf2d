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
// three take (each table gives its tiles' digits counted among themselves, and its cells), and
// the seventh tile's cell, compared with each of the others'. Only std::array lookups and
// arithmetic: std::popcount is a library call on the baseline processor.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rules {

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
    std::uint32_t Orders() const { return orders_; }
    std::size_t Bits() const { return bits_; }
    std::size_t Masks() const { return blocks_.size(); }
    const Block& BlockAt(std::size_t rank) const { return blocks_[rank]; }

    // The bit of the placement `nibbles` (tile i's cell in bits 4i..4i+3) with the empty cell
    // on the open cell `blank`.
    std::uint32_t At(std::uint32_t nibbles, unsigned blank) const {
        const std::uint32_t n = nibbles & used_;
        const First& first = first_[n & 0xFFFu];
        const Second& second = second_[(n >> 12) & 0xFFFu];
        // 16 when there is no seventh tile: below no cell and outside the board.
        const std::uint32_t last = (n >> 24) | last_;
        const Block& block = blocks_[rank((first.Mask | second.Mask | (1u << last)) & 0xFFFFu)];
        const std::uint32_t c0 = n & 15u;
        const std::uint32_t c1 = (n >> 4) & 15u;
        const std::uint32_t c2 = (n >> 8) & 15u;
        const std::uint32_t c3 = (n >> 12) & 15u;
        const std::uint32_t c4 = (n >> 16) & 15u;
        const std::uint32_t c5 = (n >> 20) & 15u;
        const std::uint32_t order =
            first.Rank + second.Rank +
            weights_[0] * (((second.Below >> (2 * c0)) & 3u) + (last < c0 ? 1u : 0u)) +
            weights_[1] * (((second.Below >> (2 * c1)) & 3u) + (last < c1 ? 1u : 0u)) +
            weights_[2] * (((second.Below >> (2 * c2)) & 3u) + (last < c2 ? 1u : 0u)) +
            weights_[3] * (last < c3 ? 1u : 0u) + weights_[4] * (last < c4 ? 1u : 0u) +
            weights_[5] * (last < c5 ? 1u : 0u);
        const auto part = static_cast<std::uint32_t>(block.Parts >> (4 * blank)) & 15u;
        return block.Offset + part * orders_ + order;
    }

    // The mask's rank among the masks of as many cells.
    std::uint32_t Rank(unsigned mask) const { return rank(mask); }

private:
    // The first three tiles: their digits among themselves, weighted, and their cells.
    struct First {
        std::uint16_t Rank = 0;
        std::uint16_t Mask = 0;
    };
    // The next three: the same, and for each cell c (two bits, c's lowest) how many lie below c.
    struct Second {
        std::uint16_t Rank = 0;
        std::uint16_t Mask = 0;
        std::uint32_t Below = 0;
    };

    unsigned rank(unsigned mask) const {
        const unsigned low = mask & 255u;
        return rankLow_[low] + rankHigh_[countLow_[low]][mask >> 8];
    }

    void makeRanks();
    void makeTiles();
    void makeBlocks();

    int tiles_;
    std::uint32_t orders_ = 1;
    std::uint32_t used_;
    std::uint32_t last_;
    std::array<std::uint32_t, 6> weights_{};
    std::array<std::uint16_t, 256> rankLow_{};
    std::array<std::uint8_t, 256> countLow_{};
    std::array<std::array<std::uint16_t, 256>, 9> rankHigh_{};
    std::vector<First> first_;
    std::vector<Second> second_;
    std::vector<Block> blocks_;
    std::size_t bits_ = 0;
};

// The index for groups of `tiles` tiles (1..7), made once a process; any thread may read it.
const PartIndex& SharedPartIndex(int tiles);

} // namespace rules
