// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A pattern table of a group of 1 to 7 tiles kept one bit a state, the state being a placement
// of the group's tiles and the part of the board that holds the empty cell (PartIndex.h gives
// the layout). The other tiles are ignored and the empty cell moves within its part at no cost,
// so each move is a group tile's sliding into an open cell of the empty cell's part. A state's
// value is its distance from the goal: every tile at home, the empty cell in any part.
//
// A move changes the value by exactly one, so the table keeps bit 1 of it and a search carries
// the value from state to state (NeighbourValue in PatternTable.h). Kept per part rather than
// per open cell, seven tiles take 16.7 MiB instead of 62.
//
// A table only reads its entries, so any number of threads may share one.

#include "app/rules/BuildThreads.h"
#include "app/rules/PartIndex.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rules {

inline constexpr int PartTilesMost = PartIndex::TilesMost;

// The entries' size for a group of `tiles` tiles (1..7): a bit a state, no header.
std::size_t PartTableBytes(int tiles);

class PartTable {
public:
    PartTable() = default;
    // `entries` (PartTableBytes(homes.size()) bytes, kept by the caller) of a group at home on
    // `homes` (cells 0..14, tile i of the group at home on homes[i]).
    PartTable(const std::uint8_t* entries, const std::vector<std::uint8_t>& homes);

    // Bit 1 of the value of the placement `nibbles` (tile i's cell in bits 4i..4i+3) with the
    // empty cell on the open cell `blank`.
    int Bit(std::uint32_t nibbles, unsigned blank) const { return BitAt(Where(nibbles, blank)); }
    // The same in two steps, so a search can ask memory for several entries at once: where the
    // bit lies, and the bit there; Prefetch asks for it early.
    std::uint32_t Where(std::uint32_t nibbles, unsigned blank) const {
        return index_->At(nibbles, blank);
    }
    int BitAt(std::uint32_t at) const { return (entries_[at >> 3] >> (at & 7u)) & 1; }
    void Prefetch(std::uint32_t at) const { __builtin_prefetch(entries_ + (at >> 3)); }

    // The value: the length of a walk to the goal that takes a neighbour one nearer at every
    // step.
    int Value(std::uint32_t nibbles, unsigned blank) const;

    int Tiles() const { return tiles_; }

private:
    const std::uint8_t* entries_ = nullptr;
    const PartIndex* index_ = nullptr;
    int tiles_ = 0;
    std::uint32_t home_ = 0;
    std::array<std::uint8_t, PartTilesMost> homes_{};
};

// The entries by breadth-first search from the goal (see PartTableBuild.h); empty when `cancel`
// was raised meanwhile. The same bytes whatever the number of threads. Throws
// std::invalid_argument for a group of another size, a home off cells 0..14 or a repeated one.
std::vector<std::uint8_t> BuildPartTable(const std::vector<std::uint8_t>& homes,
                                         const std::atomic<bool>& cancel,
                                         const BuildThreads& threads = {});

} // namespace rules
