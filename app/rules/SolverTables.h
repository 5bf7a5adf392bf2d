// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The heuristic's tables: additive pattern databases over a 6-6-3 partition of the tiles,
// built by breadth-first search from the goal. Immutable once built, so any number of
// threads may read one object at once. The files layer keeps them between runs: this class
// only turns them into bytes and back, and checks the bytes it is given.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rules {

class SolverTables {
public:
    // nullptr only when `cancel` was raised during the build.
    static std::unique_ptr<SolverTables> Build(const std::atomic<bool>& cancel);
    // nullptr when the bytes are short, long, of another version or fail their checksum.
    static std::unique_ptr<SolverTables> FromBytes(std::string_view bytes);
    std::string ToBytes() const;

    // The heuristic for `cells` (cell 0..15 row by row, 0 for the empty cell, tile t's goal is
    // cell t-1): a lower bound on the moves left.
    int Estimate(const std::array<std::uint8_t, 16>& cells) const;

    std::size_t SizeInBytes() const;
};

} // namespace rules
