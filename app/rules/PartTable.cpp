// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PartTable.h"

#include "app/rules/ValueWalk.h"

#include <stdexcept>

namespace rules {

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

int PartTable::Value(std::uint32_t nibbles, unsigned blank) const {
    nibbles &= (1u << (4 * tiles_)) - 1u;
    const auto partsOf = [this](unsigned occupied) {
        const std::uint64_t parts = index_->BlockAt(index_->Rank(occupied)).Parts;
        return [parts](unsigned cell) { return static_cast<unsigned>(parts >> (4 * cell)) & 15u; };
    };
    // The goal takes the empty cell in any part.
    const auto atGoal = [this](std::uint32_t at, unsigned) { return at == home_; };
    const int value = WalkValue(*this, homes_.data(), tiles_, nibbles, blank, partsOf, atGoal);
    if (value < 0)
        throw std::logic_error("a part table without a way home");
    return value;
}

} // namespace rules
