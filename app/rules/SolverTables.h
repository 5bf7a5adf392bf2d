// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The heuristic's tables: additive pattern databases over a 6-6-3 partition of the tiles: the
// left and the right two columns of the top three rows, and the bottom row. The right block is
// the left one seen in a mirror, and the tables keep no place for the empty cell, so one
// six-tile table serves both blocks. Immutable once built,
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

// The groups' tiles, slot by slot. Slot i of FlippedSixTiles is at home on the cell that mirrors
// the home of slot i of SixTiles left to right (column c against column 3 - c).
inline constexpr std::array<std::uint8_t, 6> SixTiles = {1, 2, 5, 6, 9, 10};
inline constexpr std::array<std::uint8_t, 6> FlippedSixTiles = {4, 3, 8, 7, 12, 11};
inline constexpr std::array<std::uint8_t, 3> ThreeTiles = {13, 14, 15};

// A cell (0..15) seen left to right in a mirror.
constexpr int FlippedCell(int cell) {
    return cell ^ 3;
}

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
