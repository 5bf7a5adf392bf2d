// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PatternTable.h"

#include "app/rules/CellNeighbours.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace rules {
namespace {

constexpr int kLeastOpen = 16 - PatternTilesMost;
constexpr int kMostOpen = 16 - PatternTilesLeast;
// No state of a six-tile group lies this far from the goal; a walk that gets here is lost.
constexpr int kLongestWalk = 255;

unsigned cellOf(std::uint32_t nibbles, int slot) {
    return (nibbles >> (4 * slot)) & 15u;
}

} // namespace

const OpenParts& SharedOpenParts(int openCells) {
    if (openCells < kLeastOpen || openCells > kMostOpen)
        throw std::invalid_argument("open cells out of range");
    static std::array<std::once_flag, kMostOpen - kLeastOpen + 1> made;
    static std::array<std::unique_ptr<const OpenParts>, kMostOpen - kLeastOpen + 1> parts;
    const auto at = static_cast<std::size_t>(openCells - kLeastOpen);
    std::call_once(made[at], [&] { parts[at] = std::make_unique<const OpenParts>(openCells); });
    return *parts[at];
}

PatternTable::PatternTable(const std::uint8_t* entries, const std::vector<std::uint8_t>& homes)
    : entries_(entries),
      index_(std::clamp(static_cast<int>(homes.size()), PatternTilesLeast, PatternTilesMost)),
      tiles_(static_cast<int>(homes.size())) {
    if (tiles_ < PatternTilesLeast || tiles_ > PatternTilesMost)
        throw std::invalid_argument("pattern group size out of range");
    parts_ = &SharedOpenParts(16 - tiles_);
    for (int slot = 0; slot < tiles_; ++slot) {
        const std::uint8_t home = homes[static_cast<std::size_t>(slot)];
        homes_[static_cast<std::size_t>(slot)] = home;
        home_ |= std::uint32_t{home} << (4 * slot);
    }
}

unsigned PatternTable::occupied(std::uint32_t nibbles) const {
    unsigned cells = 0;
    for (int slot = 0; slot < tiles_; ++slot)
        cells |= 1u << cellOf(nibbles, slot);
    return cells;
}

// Moves to a neighbour of the state whose bit is `nearerBit`: the one a step nearer the goal, as
// the other neighbours are a step further and have the other bit.
bool PatternTable::stepNearer(std::uint32_t& nibbles, unsigned& blank, int nearerBit) const {
    const OpenParts::Entry parts = parts_->Of(~occupied(nibbles) & 0xFFFFu);
    const unsigned part = OpenParts::PartOf(parts, blank);
    for (int slot = 0; slot < tiles_; ++slot) {
        const unsigned from = cellOf(nibbles, slot);
        for (const std::uint8_t to : kCellNeighbours[from]) {
            if (to == 16)
                break;
            if (OpenParts::PartOf(parts, to) != part)
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

int PatternTable::Value(std::uint32_t nibbles, unsigned blank) const {
    // The value's parity is the Manhattan distance's, and the entry gives its bit 1.
    unsigned distance = 0;
    for (int slot = 0; slot < tiles_; ++slot) {
        const unsigned cell = cellOf(nibbles, slot);
        const unsigned home = homes_[static_cast<std::size_t>(slot)];
        distance += (cell / 4 > home / 4 ? cell / 4 - home / 4 : home / 4 - cell / 4) +
                    (cell % 4 > home % 4 ? cell % 4 - home % 4 : home % 4 - cell % 4);
    }
    unsigned low = 2 * static_cast<unsigned>(Bit(nibbles, blank)) + (distance & 1u); // modulo 4
    int value = 0;
    const OpenParts::Entry homeParts = parts_->Of(~occupied(home_) & 0xFFFFu);
    while (nibbles != home_ ||
           OpenParts::PartOf(homeParts, blank) != OpenParts::PartOf(homeParts, 15)) {
        low = (low + 3) & 3u;
        if (value == kLongestWalk || !stepNearer(nibbles, blank, static_cast<int>(low >> 1)))
            throw std::logic_error("a pattern table without a way home");
        ++value;
    }
    return value;
}

} // namespace rules
