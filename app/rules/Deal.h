// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/rules/GameState.h"

#include <cstdint>

namespace rules {

// The classic 32-bit linear congruential generator.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : State(seed) {}
    // A uniformly random integer below n: the upper 32 bits of the new state times n.
    std::uint32_t Below(std::uint32_t n);

    std::uint32_t State;
};

// The board a seed deals: a random arrangement, turned into a winnable one when it is not.
BoardCells DealBoard(std::uint32_t seed);

// Deals into the state's Board; the new round has used no hint.
void ShuffleBoard(GameState& state, std::uint32_t seed);

// Whether the tiles can be brought into order at all; false for a board that is not a
// permutation of 1..16 (see IsConsistent).
bool IsSolvable(const BoardCells& board);

// The low 32 bits of the monotonic high-resolution clock.
std::uint32_t ClockSeed();

} // namespace rules
