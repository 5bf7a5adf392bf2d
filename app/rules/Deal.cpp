// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/Deal.h"

#include "app/rules/TileMoves.h"

#include <chrono>
#include <utility>

namespace rules {

std::uint32_t Lcg::Below(std::uint32_t n) {
    State = State * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(State) * n) >> 32);
}

bool IsSolvable(const BoardCells& board) {
    if (!IsConsistent(board))
        return false;
    int inversions = 0;
    int emptyRow = 0;
    for (int i = 1; i <= CellCount; ++i) {
        const int a = board[static_cast<std::size_t>(i)];
        if (a == EmptyCell) {
            emptyRow = (i - 1) / 4;
            continue;
        }
        for (int j = i + 1; j <= CellCount; ++j) {
            const int b = board[static_cast<std::size_t>(j)];
            if (b != EmptyCell && b < a)
                ++inversions;
        }
    }
    // A vertical move flips the inversion parity and the empty cell's row together; the
    // solved board has no inversion and the empty cell on row 3.
    return (inversions + emptyRow) % 2 == 1;
}

BoardCells DealBoard(std::uint32_t seed) {
    BoardCells board{};
    Lcg random(seed);
    unsigned used = 0;
    for (int cell = 1; cell <= CellCount; ++cell) {
        std::uint32_t r = 0;
        do
            r = random.Below(16) + 1;
        while (used & (1u << r));
        used |= 1u << r;
        board[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>(r);
    }
    // Half of all arrangements cannot be won. Swapping the tiles on the first two cells that
    // hold tiles flips the parity and keeps the empty cell, so every unwinnable deal maps onto
    // exactly one winnable one and deals stay uniform over the winnable arrangements.
    if (!IsSolvable(board)) {
        int first = 0;
        for (int cell = 1; cell <= CellCount; ++cell) {
            if (board[static_cast<std::size_t>(cell)] == EmptyCell)
                continue;
            if (first == 0) {
                first = cell;
                continue;
            }
            std::swap(board[static_cast<std::size_t>(first)],
                      board[static_cast<std::size_t>(cell)]);
            break;
        }
    }
    return board;
}

void ShuffleBoard(GameState& state, std::uint32_t seed) {
    state.Board = DealBoard(seed);
    state.HintUsed = false;
}

std::uint32_t ClockSeed() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks));
}

} // namespace rules
