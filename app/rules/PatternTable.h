// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading one pattern table (see PatternDatabase.h): a neighbour's value from the value a search
// carries and the neighbour's bit, and a state's full value, found by walking down to the goal.
// Only reads its entries, so any number of threads may share one.

#include "app/rules/OpenParts.h"
#include "app/rules/PatternDatabase.h"

#include <array>
#include <cstdint>
#include <vector>

namespace rules {

// The parts of the board for every set of `openCells` open cells (9..13), made once a process.
const OpenParts& SharedOpenParts(int openCells);

// The value of a neighbour of a state of `value` whose entry bit is `bit`.
inline int NeighbourValue(int value, int bit) {
    // value - 1 is value + 3 modulo four, which keeps the shift's operand from going negative.
    return (((value + 3) >> 1) & 1) == bit ? value - 1 : value + 1;
}

class PatternTable {
public:
    PatternTable() = default;
    // `entries` as BuildPatternTable gave them for a group at home on `homes`.
    PatternTable(const std::uint8_t* entries, const std::vector<std::uint8_t>& homes);

    // Bit 1 of the value of the placement `nibbles` with the empty cell on `blank`.
    int Bit(std::uint32_t nibbles, unsigned blank) const { return BitAt(Where(nibbles, blank)); }
    // The same in two steps, so a search can ask memory for several entries at once: where the
    // bit lies, and the bit there; Prefetch asks for it early.
    std::uint32_t Where(std::uint32_t nibbles, unsigned blank) const {
        // The solver's two sizes with their constants folded in.
        static constexpr PatternIndex kSix(6);
        static constexpr PatternIndex kThree(3);
        return tiles_ == 6   ? kSix.BitAt(nibbles, blank)
               : tiles_ == 3 ? kThree.BitAt(nibbles, blank)
                             : index_.BitAt(nibbles, blank);
    }
    int BitAt(std::uint32_t at) const { return (entries_[at >> 3] >> (at & 7u)) & 1; }
    void Prefetch(std::uint32_t at) const { __builtin_prefetch(entries_ + (at >> 3)); }

    // The value of the placement `nibbles` with the empty cell on `blank`: the length of a walk
    // to the goal that takes the neighbour one nearer at every step.
    int Value(std::uint32_t nibbles, unsigned blank) const;

private:
    const std::uint8_t* entries_ = nullptr;
    PatternIndex index_{PatternTilesLeast};
    const OpenParts* parts_ = nullptr;
    int tiles_ = 0;
    std::uint32_t home_ = 0;
    std::array<std::uint8_t, PatternTilesMost> homes_{};
};

} // namespace rules
