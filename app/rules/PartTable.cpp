// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PartTable.h"

#include "app/rules/CellNeighbours.h"

#include <stdexcept>

namespace rules {
namespace {

// Farther than any state of a seven-tile group: a walk that gets here is lost.
constexpr int kLongestWalk = 255;

unsigned cellOf(std::uint32_t nibbles, int slot) {
    return (nibbles >> (4 * slot)) & 15u;
}

unsigned distanceOf(unsigned cell, unsigned home) {
    return (cell / 4 > home / 4 ? cell / 4 - home / 4 : home / 4 - cell / 4) +
           (cell % 4 > home % 4 ? cell % 4 - home % 4 : home % 4 - cell % 4);
}

} // namespace

std::size_t PartTableBytes(int tiles) {
    return (SharedPartIndex(tiles).Bits() + 7) / 8;
}

PartTable::PartTable(const std::uint8_t* entries, const std::vector<std::uint8_t>& homes)
    : entries_(entries), tiles_(static_cast<int>(homes.size())) {
    if (tiles_ < 1 || tiles_ > PartTilesMost)
        throw std::invalid_argument("part table group size out of range");
    index_ = &SharedPartIndex(tiles_);
    for (int slot = 0; slot < tiles_; ++slot) {
        const std::uint8_t home = homes[static_cast<std::size_t>(slot)];
        homes_[static_cast<std::size_t>(slot)] = home;
        home_ |= std::uint32_t{home} << (4 * slot);
    }
}

// Moves to a neighbour of the state whose bit is `nearerBit`: the one a step nearer the goal, as
// the other neighbours are a step further and have the other bit.
bool PartTable::stepNearer(std::uint32_t& nibbles, unsigned& blank, int nearerBit) const {
    unsigned occupied = 0;
    for (int slot = 0; slot < tiles_; ++slot)
        occupied |= 1u << cellOf(nibbles, slot);
    const std::uint64_t parts = index_->BlockAt(index_->Rank(occupied)).Parts;
    const auto partOf = [parts](unsigned cell) { return (parts >> (4 * cell)) & 15u; };
    const auto part = partOf(blank);
    for (int slot = 0; slot < tiles_; ++slot) {
        const unsigned from = cellOf(nibbles, slot);
        for (const std::uint8_t to : kCellNeighbours[from]) {
            if (to == 16)
                break;
            if (partOf(to) != part)
                continue;
            const std::uint32_t moved = nibbles ^ ((from ^ to) << (4 * slot));
            if (Bit(moved, from) == nearerBit) {
                nibbles = moved;
                blank = from;
                return true;
            }
        }
    }
    return false;
}

int PartTable::Value(std::uint32_t nibbles, unsigned blank) const {
    nibbles &= (1u << (4 * tiles_)) - 1u;
    // The value's parity is the Manhattan distance's, and the entry gives its bit 1.
    unsigned distance = 0;
    for (int slot = 0; slot < tiles_; ++slot)
        distance += distanceOf(cellOf(nibbles, slot), homes_[static_cast<std::size_t>(slot)]);
    unsigned low = 2 * static_cast<unsigned>(Bit(nibbles, blank)) + (distance & 1u); // modulo 4
    int value = 0;
    while (nibbles != home_) {
        low = (low + 3) & 3u;
        if (value == kLongestWalk || !stepNearer(nibbles, blank, static_cast<int>(low >> 1)))
            throw std::logic_error("a part table without a way home");
        ++value;
    }
    return value;
}

} // namespace rules
