// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PartIndex.h"

#include "app/rules/CellNeighbours.h"

#include <memory>
#include <mutex>
#include <stdexcept>

namespace rules {
namespace {

unsigned cellsIn(unsigned mask) {
    unsigned count = 0;
    for (; mask != 0; mask &= mask - 1)
        ++count;
    return count;
}

// The cells of the lowest `count` nibbles of `chunk`, and their Lehmer digits among themselves
// weighted by `weights`; 0xFFFF for the mask when two of them share a cell.
struct Digits {
    std::uint32_t Rank = 0;
    std::uint32_t Mask = 0;
};
Digits digitsOf(std::uint32_t chunk, int count, const std::uint32_t* weights) {
    Digits out;
    for (int i = 0; i < count; ++i) {
        const unsigned cell = (chunk >> (4 * i)) & 15u;
        unsigned later = 0;
        for (int j = i + 1; j < count; ++j)
            later += ((chunk >> (4 * j)) & 15u) < cell ? 1u : 0u;
        out.Rank += later * weights[i];
        out.Mask |= 1u << cell;
    }
    return out;
}

int checkedTiles(int tiles) {
    if (tiles < 1 || tiles > PartIndex::TilesMost)
        throw std::invalid_argument("part table group size out of range");
    return tiles;
}

} // namespace

PartIndex::PartIndex(int tiles) : tiles_(checkedTiles(tiles)), sizes_(PartSizesOf(tiles_)) {
    makeTiles();
    makeBlocks();
}

void PartIndex::makeTiles() {
    const int firstCount = tiles_ < 3 ? tiles_ : 3;
    const int secondCount = tiles_ < 6 ? (tiles_ > 3 ? tiles_ - 3 : 0) : 3;
    const std::uint32_t* weights = sizes_.Weights.data();
    first_.resize(4096);
    second_.resize(4096);
    secondRank_.resize(4096);
    for (std::uint32_t chunk = 0; chunk < 4096; ++chunk) {
        const Digits first = digitsOf(chunk, firstCount, weights);
        first_[chunk] = {static_cast<std::uint16_t>(first.Rank),
                         static_cast<std::uint16_t>(first.Mask)};
        const Digits second = digitsOf(chunk, secondCount, weights + 3);
        secondRank_[chunk] = static_cast<std::uint8_t>(second.Rank);
        Second& out = second_[chunk];
        out.Below = std::uint64_t{second.Mask} << 48;
        for (unsigned c = 0; c < 16; ++c) {
            std::uint64_t below = 0;
            std::uint64_t above = 0;
            for (int i = 0; i < secondCount; ++i) {
                const unsigned cell = (chunk >> (4 * i)) & 15u;
                below += cell < c ? 1u : 0u;
                above += cell > c ? weights[3 + i] : 0u;
            }
            out.Below |= below << (3 * c);
            if (tiles_ == TilesMost)
                out.Above |= above << (4 * c);
        }
    }
}

void PartIndex::makeBlocks() {
    const auto k = static_cast<unsigned>(tiles_);
    blocks_.resize(Choose(16, k));
    for (unsigned mask = 0; mask < 65536; ++mask) {
        if (cellsIn(mask) != k)
            continue;
        Block& block = blocks_[rank_(mask)];
        block.Mask = static_cast<std::uint16_t>(mask);
        block.Parts = 0;
        for (unsigned cell = 0; cell < 16; ++cell)
            block.Parts |= std::uint64_t{ClosedCell} << (4 * cell);
        const unsigned open = ~mask & 0xFFFFu;
        unsigned part = 0;
        for (unsigned rest = open; rest != 0; ++part) {
            const unsigned region = RegionOf(rest & (~rest + 1u), open);
            for (unsigned cell = 0; cell < 16; ++cell)
                if ((region >> cell) & 1u)
                    block.Parts &= ~(std::uint64_t{ClosedCell ^ part} << (4 * cell));
            rest &= ~region;
        }
        block.Count = static_cast<std::uint8_t>(part);
    }
    for (Block& block : blocks_) {
        block.Offset = static_cast<std::uint32_t>(bits_);
        bits_ += std::size_t{block.Count} * sizes_.Orders;
    }
}

const PartIndex& SharedPartIndex(int tiles) {
    checkedTiles(tiles);
    static std::array<std::once_flag, PartIndex::TilesMost> made;
    static std::array<std::unique_ptr<const PartIndex>, PartIndex::TilesMost> indices;
    const auto at = static_cast<std::size_t>(tiles - 1);
    std::call_once(made[at], [&] { indices[at] = std::make_unique<const PartIndex>(tiles); });
    return *indices[at];
}

} // namespace rules
