// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/Solver.h"

#include "app/rules/CellNeighbours.h"
#include "app/rules/PatternDatabase.h"
#include "app/rules/PatternLayout.h"

#include <algorithm>

namespace rules {
namespace {

constexpr int kFound = -1;
constexpr int kCancelled = -2;
constexpr std::uint64_t kPollEvery = 4096;
constexpr std::size_t kViews = PatternLayout::Views;
constexpr std::size_t kGroups = PatternLayout::Groups;

// What a node's heuristic is made of, so a child changes only the parts its tile enters.
struct Estimate {
    std::array<std::array<std::uint32_t, kGroups>, kViews> Index{};
    std::array<std::array<std::uint8_t, kGroups>, kViews> Extra{};
    int Distance = 0;
    int Value = 0;
};

struct Child {
    std::uint8_t Cell = 0; // where the empty cell goes: the tile there slides
    Estimate Next;
};

class Search {
public:
    Search(const std::array<std::uint8_t, 16>& cells, const SolverTables& tables,
           const std::atomic<bool>& cancel)
        : cells_(cells), tables_(tables), cancel_(cancel) {
        blank_ = static_cast<int>(std::find(cells_.begin(), cells_.end(), 0) - cells_.begin());
    }

    SolveResult Run() {
        SolveResult result;
        const Estimate root = rootEstimate();
        for (int bound = root.Value;; bound += 2) { // every move changes the value's parity
            const int next = deepen(root, 0, bound, -1);
            if (next == kFound) {
                result.Status = SolveStatus::Solved;
                result.Tiles = path_;
                break;
            }
            if (next == kCancelled)
                break;
        }
        result.Nodes = nodes_;
        return result;
    }

private:
    Estimate rootEstimate() const {
        const PatternLayout& layout = kPatternLayout;
        Estimate e;
        for (std::size_t cell = 0; cell < 16; ++cell) {
            const std::size_t tile = cells_[cell];
            if (tile == 0)
                continue;
            e.Distance += layout.Distance[tile][cell];
            for (std::size_t view = 0; view < kViews; ++view)
                e.Index[view][layout.Group[view][tile]] |= layout.Bits[view][tile][cell];
        }
        for (std::size_t view = 0; view < kViews; ++view)
            for (std::size_t group = 0; group < kGroups; ++group)
                e.Extra[view][group] =
                    static_cast<std::uint8_t>(extra(group, e.Index[view][group]));
        e.Value = valueOf(e);
        return e;
    }

    int extra(std::size_t group, std::uint32_t index) const {
        return PatternExtra(group == 2 ? tables_.Three() : tables_.Six(), index);
    }

    static int valueOf(const Estimate& e) {
        const int plain = e.Extra[0][0] + e.Extra[0][1] + e.Extra[0][2];
        const int mirrored = e.Extra[1][0] + e.Extra[1][1] + e.Extra[1][2];
        return e.Distance + 2 * std::max(plain, mirrored);
    }

    // The estimate after the tile on `cell` slides into the empty cell.
    Estimate afterSlide(const Estimate& e, int cell) const {
        const PatternLayout& layout = kPatternLayout;
        const std::size_t tile = cells_[static_cast<std::size_t>(cell)];
        const auto from = static_cast<std::size_t>(cell);
        const auto to = static_cast<std::size_t>(blank_);
        Estimate next = e;
        next.Distance += layout.Distance[tile][to] - layout.Distance[tile][from];
        for (std::size_t view = 0; view < kViews; ++view) {
            const std::size_t group = layout.Group[view][tile];
            std::uint32_t& index = next.Index[view][group];
            index ^= layout.Bits[view][tile][from] ^ layout.Bits[view][tile][to];
            next.Extra[view][group] = static_cast<std::uint8_t>(extra(group, index));
        }
        next.Value = valueOf(next);
        return next;
    }

    // The children but the move back, the most promising first: in the last iteration the
    // goal then lies down the first branches tried.
    int children(const Estimate& e, int cameFrom, std::array<Child, 4>& out) const {
        int count = 0;
        for (const std::uint8_t cell : kCellNeighbours[static_cast<std::size_t>(blank_)]) {
            if (cell == 16)
                break;
            if (cell == cameFrom)
                continue;
            Child child{cell, afterSlide(e, cell)};
            int at = count++;
            for (; at > 0 && out[static_cast<std::size_t>(at - 1)].Next.Value > child.Next.Value;
                 --at)
                out[static_cast<std::size_t>(at)] = out[static_cast<std::size_t>(at - 1)];
            out[static_cast<std::size_t>(at)] = child;
        }
        return count;
    }

    // kFound, kCancelled, or the smallest total above the bound met below this node.
    int deepen(const Estimate& e, int g, int bound, int cameFrom) {
        if (e.Value == 0)
            return kFound;
        if (++nodes_ % kPollEvery == 0 && cancel_.load(std::memory_order_relaxed))
            return kCancelled;
        std::array<Child, 4> next;
        const int count = children(e, cameFrom, next);
        int least = 1 << 30;
        for (int i = 0; i < count; ++i) {
            const Child& child = next[static_cast<std::size_t>(i)];
            const int f = g + 1 + child.Next.Value;
            if (f > bound) {
                least = std::min(least, f);
                break; // the rest are no better
            }
            const int from = blank_;
            path_.push_back(cells_[child.Cell]);
            slide(child.Cell);
            const int t = deepen(child.Next, g + 1, bound, from);
            if (t == kFound || t == kCancelled)
                return t;
            slide(from);
            path_.pop_back();
            least = std::min(least, t);
        }
        return least;
    }

    // The empty cell moves to `cell`; the tile there slides into the old empty cell.
    void slide(int cell) {
        cells_[static_cast<std::size_t>(blank_)] = cells_[static_cast<std::size_t>(cell)];
        cells_[static_cast<std::size_t>(cell)] = 0;
        blank_ = cell;
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
