// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PatternTable.h"

#include "app/rules/ValueWalk.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace rules {
namespace {

constexpr int kLeastOpen = 16 - PatternTilesMost;
constexpr int kMostOpen = 16 - PatternTilesLeast;

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

int PatternTable::Value(std::uint32_t nibbles, unsigned blank) const {
    const auto partsOf = [this](unsigned occupied) {
        const OpenParts::Entry parts = parts_->Of(~occupied & 0xFFFFu);
        return [parts](unsigned cell) { return OpenParts::PartOf(parts, cell); };
    };
    // The goal's empty cell is in the part that holds cell 15.
    const auto home = partsOf(walk::cellsOf(home_, tiles_));
    const auto atGoal = [this, &home](std::uint32_t at, unsigned empty) {
        return at == home_ && home(empty) == home(15);
    };
    const int value = WalkValue(*this, homes_.data(), tiles_, nibbles, blank, partsOf, atGoal);
    if (value < 0)
        throw std::logic_error("a pattern table without a way home");
    return value;
}

} // namespace rules
