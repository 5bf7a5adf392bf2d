// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The heuristic's tables: additive pattern databases over a 6-6-3 partition of the tiles. The
// second six tiles are at home where the first six are after a half turn of the board, and the
// tables ignore the empty cell, so one six-tile table serves both groups. Immutable once built,
// so any number of threads may read one object at once. The files layer keeps them between
// runs: this class only turns them into bytes and back, and checks the bytes it is given.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rules {

// The groups' tiles, slot by slot. Slot i of TurnedSixTiles is at home on the cell opposite to
// slot i of SixTiles (cell c against 15 - c).
inline constexpr std::array<std::uint8_t, 6> SixTiles = {2, 3, 4, 6, 7, 8};
inline constexpr std::array<std::uint8_t, 6> TurnedSixTiles = {15, 14, 13, 11, 10, 9};
inline constexpr std::array<std::uint8_t, 3> ThreeTiles = {1, 5, 12};

class SolverTables {
public:
    // nullptr only when `cancel` was raised during the build.
    static std::unique_ptr<SolverTables> Build(const std::atomic<bool>& cancel);
    // nullptr when the bytes are short, long, of another format or fail their checksum.
    static std::unique_ptr<SolverTables> FromBytes(std::string_view bytes);
    std::string ToBytes() const;

    // A lower bound on the moves that bring `cells` home (cell 0..15 row by row, 0 for the
    // empty cell; tile t is at home on cell t-1): the larger of the board's value and its
    // mirror image's about the main diagonal.
    int Estimate(const std::array<std::uint8_t, 16>& cells) const;

    // The tables' entries (see PatternDatabase.h): the six tiles' and the three tiles'.
    const std::uint8_t* Six() const { return six_.data(); }
    const std::uint8_t* Three() const { return three_.data(); }

    std::size_t SizeInBytes() const { return six_.size() + three_.size(); }

private:
    SolverTables(std::vector<std::uint8_t> six, std::vector<std::uint8_t> three);

    std::vector<std::uint8_t> six_;
    std::vector<std::uint8_t> three_;
};

} // namespace rules
