// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Searches of its own to check the solver against: breadth-first search from the goal and a
// plain iterative-deepening search with the Manhattan distance. Both work on the game's board
// as it is, so they share nothing with the solver's inside.

#include "app/rules/GameState.h"

#include <cstdint>
#include <cstdlib>
#include <random>
#include <unordered_map>
#include <vector>

namespace reference {

using rules::BoardCells;

inline BoardCells Goal() {
    BoardCells board{};
    for (int cell = 1; cell <= 16; ++cell)
        board[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>(cell);
    return board;
}

inline int EmptyOf(const BoardCells& board) {
    for (int cell = 1; cell <= 16; ++cell)
        if (board[static_cast<std::size_t>(cell)] == rules::EmptyCell)
            return cell;
    return 0;
}

// The cells (1..16) next to `cell`.
inline std::vector<int> NeighboursOf(int cell) {
    std::vector<int> out;
    const int row = (cell - 1) / 4;
    const int column = (cell - 1) % 4;
    if (row > 0)
        out.push_back(cell - 4);
    if (row < 3)
        out.push_back(cell + 4);
    if (column > 0)
        out.push_back(cell - 1);
    if (column < 3)
        out.push_back(cell + 1);
    return out;
}

// Slides each tile in turn into the empty cell; false as soon as one is not next to it.
inline bool Replay(BoardCells& board, const std::vector<std::uint8_t>& tiles) {
    for (const std::uint8_t tile : tiles) {
        const int empty = EmptyOf(board);
        bool moved = false;
        for (const int cell : NeighboursOf(empty)) {
            if (board[static_cast<std::size_t>(cell)] == tile) {
                std::swap(board[static_cast<std::size_t>(cell)],
                          board[static_cast<std::size_t>(empty)]);
                moved = true;
                break;
            }
        }
        if (!moved)
            return false;
    }
    return true;
}

inline std::uint64_t Key(const BoardCells& board) {
    std::uint64_t key = 0;
    for (int cell = 1; cell <= 16; ++cell)
        key = (key << 4) | (board[static_cast<std::size_t>(cell)] - 1u);
    return key;
}

inline BoardCells FromKey(std::uint64_t key) {
    BoardCells board{};
    for (int cell = 16; cell >= 1; --cell, key >>= 4)
        board[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>((key & 15u) + 1u);
    return board;
}

// Every position within `depth` moves of the goal, with its distance.
inline std::unordered_map<std::uint64_t, int> PositionsNearGoal(int depth) {
    std::unordered_map<std::uint64_t, int> distance{{Key(Goal()), 0}};
    std::vector<std::uint64_t> layer{Key(Goal())};
    for (int d = 1; d <= depth; ++d) {
        std::vector<std::uint64_t> next;
        for (const std::uint64_t key : layer) {
            const BoardCells board = FromKey(key);
            const int empty = EmptyOf(board);
            for (const int cell : NeighboursOf(empty)) {
                BoardCells moved = board;
                std::swap(moved[static_cast<std::size_t>(cell)],
                          moved[static_cast<std::size_t>(empty)]);
                if (distance.emplace(Key(moved), d).second)
                    next.push_back(Key(moved));
            }
        }
        layer = std::move(next);
    }
    return distance;
}

// A walk of `steps` random moves from the goal that never takes back the move before.
inline BoardCells RandomWalk(std::mt19937& random, int steps) {
    BoardCells board = Goal();
    int previous = 0;
    for (int step = 0; step < steps; ++step) {
        const int empty = EmptyOf(board);
        std::vector<int> choices;
        for (const int cell : NeighboursOf(empty))
            if (cell != previous)
                choices.push_back(cell);
        const int cell = choices[random() % choices.size()];
        std::swap(board[static_cast<std::size_t>(cell)], board[static_cast<std::size_t>(empty)]);
        previous = empty;
    }
    return board;
}

inline int Manhattan(const BoardCells& board) {
    int sum = 0;
    for (int cell = 1; cell <= 16; ++cell) {
        const int tile = board[static_cast<std::size_t>(cell)];
        if (tile != rules::EmptyCell)
            sum += std::abs((cell - 1) / 4 - (tile - 1) / 4) +
                   std::abs((cell - 1) % 4 - (tile - 1) % 4);
    }
    return sum;
}

// The length of a shortest solution by plain iterative deepening with the Manhattan distance.
class ManhattanSearch {
public:
    int Length(BoardCells board) {
        board_ = board;
        for (int bound = Manhattan(board_);; bound += 2)
            if (deepen(0, bound, 0))
                return bound;
    }

private:
    bool deepen(int g, int bound, int previous) {
        const int h = Manhattan(board_);
        if (h == 0)
            return g == bound;
        if (g + h > bound)
            return false;
        const int empty = EmptyOf(board_);
        for (const int cell : NeighboursOf(empty)) {
            if (cell == previous)
                continue;
            std::swap(board_[static_cast<std::size_t>(cell)],
                      board_[static_cast<std::size_t>(empty)]);
            const bool found = deepen(g + 1, bound, empty);
            std::swap(board_[static_cast<std::size_t>(cell)],
                      board_[static_cast<std::size_t>(empty)]);
            if (found)
                return true;
        }
        return false;
    }

    BoardCells board_{};
};

} // namespace reference
