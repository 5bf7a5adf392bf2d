// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/Solver.h"

#include <algorithm>

namespace rules {
namespace {

constexpr int kFound = -1;
constexpr int kCancelled = -2;
constexpr std::uint64_t kPollEvery = 4096;

class Search {
public:
    Search(const std::array<std::uint8_t, 16>& cells, const SolverTables& tables,
           const std::atomic<bool>& cancel)
        : cells_(cells), tables_(tables), cancel_(cancel) {
        blank_ = static_cast<int>(std::find(cells_.begin(), cells_.end(), 0) - cells_.begin());
    }

    SolveResult Run() {
        SolveResult result;
        int bound = tables_.Estimate(cells_);
        for (;;) {
            const int next = Deepen(0, bound, -1);
            if (next == kFound) {
                result.Status = SolveStatus::Solved;
                result.Tiles = path_;
                break;
            }
            if (next == kCancelled)
                break;
            bound = next;
        }
        result.Nodes = nodes_;
        return result;
    }

private:
    // The smallest f above the bound met below this node, or kFound / kCancelled.
    int Deepen(int g, int bound, int cameFrom) {
        const int h = tables_.Estimate(cells_);
        if (g + h > bound)
            return g + h;
        if (h == 0)
            return kFound;
        if (++nodes_ % kPollEvery == 0 && cancel_.load(std::memory_order_relaxed))
            return kCancelled;
        int least = 1 << 30;
        for (const int to : Neighbours(blank_)) {
            if (to < 0 || to == cameFrom)
                continue;
            const int from = blank_;
            const std::uint8_t tile = cells_[static_cast<std::size_t>(to)];
            Slide(to);
            path_.push_back(tile);
            const int t = Deepen(g + 1, bound, from);
            if (t == kFound || t == kCancelled)
                return t;
            path_.pop_back();
            Slide(from);
            least = std::min(least, t);
        }
        return least;
    }

    // The empty cell moves to `to`; the tile there slides into the old empty cell.
    void Slide(int to) {
        cells_[static_cast<std::size_t>(blank_)] = cells_[static_cast<std::size_t>(to)];
        cells_[static_cast<std::size_t>(to)] = 0;
        blank_ = to;
    }

    static std::array<int, 4> Neighbours(int cell) {
        return {cell >= 4 ? cell - 4 : -1, cell < 12 ? cell + 4 : -1, cell % 4 ? cell - 1 : -1,
                cell % 4 != 3 ? cell + 1 : -1};
    }

    std::array<std::uint8_t, 16> cells_;
    const SolverTables& tables_;
    const std::atomic<bool>& cancel_;
    int blank_ = 0;
    std::uint64_t nodes_ = 0;
    std::vector<std::uint8_t> path_;
};

} // namespace

SolveResult Solve(const BoardCells& board, const SolverTables& tables,
                  const std::atomic<bool>& cancel) {
    if (!IsSolvable(board))
        return {SolveStatus::Unsolvable, {}, 0};
    std::array<std::uint8_t, 16> cells{};
    for (int cell = 0; cell < CellCount; ++cell) {
        const std::uint8_t n = board[static_cast<std::size_t>(cell + 1)];
        cells[static_cast<std::size_t>(cell)] = n == EmptyCell ? 0 : n;
    }
    return Search(cells, tables, cancel).Run();
}

} // namespace rules
