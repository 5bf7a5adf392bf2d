// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The plain solver the game's is measured against: IDA* over one 6-6-3 partition of additive
// pattern tables, one byte an entry over sixteen cells a tile, the empty cell ignored (every
// step of a group's tile costs one), no mirror image, no pruning beyond not undoing the last
// slide. The textbook method, kept simple on purpose.

#include "app/rules/GameState.h"

#include <array>
#include <cstdint>
#include <vector>

namespace bench {

class ReferenceSolver {
public:
    ReferenceSolver(); // builds the tables: a few seconds
    // The length of a shortest solution and the positions expanded; the board must be winnable.
    struct Result {
        int Moves = 0;
        std::uint64_t Nodes = 0;
    };
    Result Solve(const rules::BoardCells& board) const;
    std::size_t SizeInBytes() const;

private:
    std::array<std::vector<std::uint8_t>, 3> tables_;
};

} // namespace bench
