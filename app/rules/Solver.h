// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shortest solutions of any board: iterative-deepening A* guided by the pattern tables of
// SolverTables. Safe to call from any thread; the tables are only read.

#include "app/rules/BuildThreads.h"
#include "app/rules/Deal.h"
#include "app/rules/GameState.h"
#include "app/rules/MovePruning.h"
#include "app/rules/SolverTables.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace rules {

enum class SolveStatus { Solved, Unsolvable, Cancelled };

struct SolveResult {
    SolveStatus Status = SolveStatus::Cancelled;
    std::vector<std::uint8_t> Tiles; // the tiles to slide, in order; empty for a solved board
    std::uint64_t Nodes = 0;         // positions expanded, a measure of the work done
};

// A board that cannot be won, or is not a permutation of 1..16 (see IsSolvable in Deal.h),
// is reported Unsolvable. `cancel` is polled every
// few thousand positions, so a raised flag ends the search at once with Cancelled.
// The long iterations of a search are shared with `threads.Helpers` more threads; the answer is
// the one a single thread gives. Nodes counts the work of every thread.
SolveResult Solve(const BoardCells& board, const SolverTables& tables,
                  const std::atomic<bool>& cancel, const BuildThreads& threads = {});
// The same, skipping the move strings `pruning` bans instead of those the tables learned.
SolveResult Solve(const BoardCells& board, const SolverTables& tables, const MovePruning& pruning,
                  const std::atomic<bool>& cancel, const BuildThreads& threads = {});

} // namespace rules
