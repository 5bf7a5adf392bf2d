// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/Solver.h"

#include "app/rules/MovePruning.h"
#include "app/rules/PatternLayout.h"
#include "app/rules/PatternTable.h"
#include "app/rules/SolverEstimate.h"

#include <algorithm>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace rules {
namespace {

constexpr int kFound = -1;
constexpr int kCancelled = -2;
constexpr std::uint64_t kPollMask = 4095; // the flag is read once in this many nodes plus one
constexpr std::size_t kSlots = PatternLayout::Slots;
constexpr std::size_t kLongest = 128; // no position needs more than 80 moves
// An iteration is shared between threads once the one before it expanded this many positions
// (a few milliseconds): below that, starting a thread costs more than it saves.
constexpr std::uint64_t kShareFrom = 50000;
// Shared iterations are cut at the first even depth from here that leaves this many positions
// for the threads to take in turn, so a thread held up by the system delays the others little.
constexpr int kLeafDepth = 6;
constexpr int kLeafDepthMost = 16;
constexpr std::size_t kLeavesWanted = 64;
// What a position left for the threads gives its iteration: nothing found yet.
constexpr int kLeft = 1 << 30;

// The cells next to each cell and the empty cell's step to each, with their count, so the
// child loop runs no sentinel test.
struct Moves {
    std::array<std::array<std::uint8_t, 4>, 16> To{};
    std::array<std::array<Step, 4>, 16> Steps{};
    std::array<std::uint8_t, 16> Count{};
};

constexpr Moves MakeMoves() {
    Moves moves;
    for (int cell = 0; cell < 16; ++cell) {
        const auto c = static_cast<std::size_t>(cell);
        auto add = [&](int to, Step step) {
            moves.Steps[c][moves.Count[c]] = step;
            moves.To[c][moves.Count[c]++] = static_cast<std::uint8_t>(to);
        };
        if (cell >= 4)
            add(cell - 4, Step::Up);
        if (cell < 12)
            add(cell + 4, Step::Down);
        if (cell % 4 != 0)
            add(cell - 1, Step::Left);
        if (cell % 4 != 3)
            add(cell + 1, Step::Right);
    }
    return moves;
}

constexpr Moves kMoves = MakeMoves();

// A child before it is entered: what its slide changes in each slot, the moved tile's group's
// index and value. Left unset on creation, as zeroing every node's four children cost a third
// of the search's time.
struct Child {
    std::array<std::uint32_t, kSlots> Index;
    std::array<std::uint8_t, kSlots> Value;
    int Estimate;
    MovePruning::State After; // the pruning's state once the slide is made
    std::uint8_t Cell;        // where the empty cell goes: the tile there slides
};

// A position a shared iteration leaves for the threads, with the slides that led to it.
struct Leaf {
    std::array<std::uint8_t, 16> Cells;
    EstimateParts Parts;
    MovePruning::State State;
    int Depth;
    std::array<std::uint8_t, kLeafDepthMost> Path;
};

// The search keeps one position and its estimate's parts, changed by each slide and changed back
// on the way up, so a node costs one table look-up per slot and allocates nothing. A slide
// changes only the moved tile's group's value in each slot, by one up or down, which that
// group's entry tells (see PatternDatabase.h).
//
// Threads: an iteration that is shared (see shared()) is first searched down to the leaves'
// depth by the calling thread alone, which keeps the leaves in order; then the caller and the
// helpers take the leaves in that order through an atomic cursor, each with a Search of its
// own. A thread that finds the goal below leaf i lowers foundAt to i, and every search below a
// later leaf then stops; the answer is the lowest such leaf's, the one a single thread would
// have found first, so the threads change the time and never the answer. The best leaf and its
// path are guarded by a mutex, held only to compare and copy, and never while searching; the
// leaves are written before the threads start and only read after.
template <TableKind Kind> class Search {
    static constexpr const PatternLayout& kLayout = kPatternLayout<Kind>;
    using Table = typename TablesOf<Kind>::Table;

public:
    Search(const std::array<std::uint8_t, 16>& cells, const EstimateParts& parts,
           const SolverTables& tables, const MovePruning& pruning, const std::atomic<bool>& cancel)
        : cells_(cells), tables_(tables), pruning_(pruning), cancel_(cancel),
          table_(PatternTablesOf<Kind>(tables)), index_(parts.Index), value_(parts.Value),
          sum_(parts.Sum), root_(parts.Estimate()) {
        blank_ = static_cast<int>(std::find(cells_.begin(), cells_.end(), 0) - cells_.begin());
    }

    SolveResult Run(const BuildThreads& threads) {
        SolveResult result;
        int found = root_ == 0 ? kFound : 0;
        std::uint64_t last = 0; // the nodes of the iteration before
        for (int bound = root_; found != kFound && found != kCancelled; bound += 2) {
            const std::uint64_t before = nodes_;
            // Every move changes the parity, so the next bound is two more.
            found = threads.Helpers > 0 && last >= kShareFrom && bound > kLeafDepthMost
                        ? shared(bound, threads)
                        : deepen(0, bound, MovePruning::Start);
            last = nodes_ - before;
        }
        if (found == kFound) {
            result.Status = SolveStatus::Solved;
            result.Tiles.assign(path_.begin(), path_.begin() + static_cast<long>(length_));
        }
        result.Nodes = nodes_;
        return result;
    }

private:
    // A slide the pruning allows, before its child is looked at: where the empty cell goes, and
    // each slot's index and where its bit lies, already asked of memory.
    struct Pending {
        std::uint8_t Cell;
        MovePruning::State After;
        std::array<std::uint32_t, kSlots> Index;
        std::array<std::uint32_t, kSlots> At;
    };

    // The child of `slide`. Most children lie past the bound, and the first slot that shows it
    // saves the reads of the others (slots are tried from `first` on): such a child comes back
    // with Estimate only a lower bound above `limit`, and is not entered.
    Child childAt(const Pending& slide, int limit, std::size_t first) const {
        const PatternLayout::Tile& entry = kLayout.Tiles[cells_[slide.Cell]];
        Child child;
        child.Cell = slide.Cell;
        child.After = slide.After;
        int most = 0;
        for (std::size_t i = 0; i < kSlots; ++i) {
            const std::size_t slot = (first + i) % kSlots;
            const std::size_t group = entry.Group[slot];
            const int bit = table_[slot][group]->BitAt(slide.At[slot]);
            child.Index[slot] = slide.Index[slot];
            child.Value[slot] = static_cast<std::uint8_t>(NeighbourValue(value_[slot][group], bit));
            most = std::max(most, sum_[slot] + child.Value[slot] - value_[slot][group]);
            if (most > limit) {
                child.Estimate = most;
                return child;
            }
        }
        child.Estimate = most;
        return child;
    }

    // The slides the pruning allows after `state`, every look-up of every child asked of memory
    // before any is read, so the reads of the table, which miss the processor's caches, overlap.
    // A group two slots share is worked out once.
    std::size_t slides(MovePruning::State state, std::array<Pending, 4>& out) const {
        const auto b = static_cast<std::size_t>(blank_);
        std::size_t count = 0;
        for (std::size_t i = 0; i < kMoves.Count[b]; ++i) {
            const MovePruning::State after = pruning_.Next(state, kMoves.Steps[b][i]);
            if (after == MovePruning::Rejected)
                continue;
            const std::uint8_t cell = kMoves.To[b][i];
            const PatternLayout::Tile& entry = kLayout.Tiles[cells_[cell]];
            Pending& slide = out[count++];
            slide.Cell = cell;
            slide.After = after;
            for (std::size_t slot = 0; slot < kSlots; ++slot) {
                const std::size_t group = entry.Group[slot];
                if (const unsigned twin = kLayout.Twin[slot][group];
                    twin != PatternLayout::NoTwin) {
                    // Always an earlier slot, so it is done already.
                    slide.Index[slot] = slide.Index[static_cast<std::size_t>(twin)];
                    slide.At[slot] = slide.At[static_cast<std::size_t>(twin)];
                    continue;
                }
                const std::uint32_t index =
                    index_[slot][group] ^ entry.Bits[slot][cell] ^ entry.Bits[slot][b];
                const Table& table = *table_[slot][group];
                const std::uint32_t at = table.Where(index, kLayout.Cell[slot][group][cell]);
                table.Prefetch(at);
                slide.Index[slot] = index;
                slide.At[slot] = at;
            }
        }
        return count;
    }

    // The children within `limit` whose slide the pruning allows after `state`, the most
    // promising first: in the last iteration the goal then lies down the first branches tried.
    // `least` takes the smallest value of the others.
    int children(MovePruning::State state, int limit, std::array<Child, 4>& out, int& least) const {
        // The slot that is largest here is the likeliest to show the bound passed.
        const auto first =
            static_cast<std::size_t>(std::max_element(sum_.begin(), sum_.end()) - sum_.begin());
        std::array<Pending, 4> pending;
        const std::size_t count = slides(state, pending);
        int kept = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const Child child = childAt(pending[i], limit, first);
            if (child.Estimate > limit) {
                least = std::min(least, child.Estimate);
                continue;
            }
            int at = kept++;
            for (; at > 0 && out[static_cast<std::size_t>(at - 1)].Estimate > child.Estimate; --at)
                out[static_cast<std::size_t>(at)] = out[static_cast<std::size_t>(at - 1)];
            out[static_cast<std::size_t>(at)] = child;
        }
        return kept;
    }

    // kFound, kCancelled, or the smallest total above the bound met below this node.
    int deepen(int g, int bound, MovePruning::State state) {
        if (g == leafDepth_) {
            leaves_->push_back({cells_, {index_, value_, sum_}, state, g, {}});
            std::copy_n(path_.begin(), g, leaves_->back().Path.begin());
            return kLeft;
        }
        if ((++nodes_ & kPollMask) == 0 && stopped())
            return kCancelled;
        std::array<Child, 4> next;
        int least = 1 << 30;
        const int count = children(state, bound - g - 1, next, least);
        if (least < (1 << 30))
            least += g + 1;
        for (int i = 0; i < count; ++i) {
            const Child& child = next[static_cast<std::size_t>(i)];
            path_[static_cast<std::size_t>(g)] = cells_[child.Cell];
            if (child.Estimate == 0) {
                length_ = static_cast<std::size_t>(g) + 1;
                return kFound;
            }
            const int t = descend(child, g, bound);
            if (t == kFound || t == kCancelled)
                return t;
            least = std::min(least, t);
        }
        return least;
    }

    // Enters `child`, searches below it and leaves it again.
    int descend(const Child& child, int g, int bound) {
        const int from = blank_;
        const PatternLayout::Tile& entry = kLayout.Tiles[cells_[child.Cell]];
        const std::array<std::uint32_t, kSlots> index = savedIndex(entry);
        const std::array<std::uint8_t, kSlots> value = savedValue(entry);
        const std::array<int, kSlots> sums = sum_;
        for (std::size_t slot = 0; slot < kSlots; ++slot) {
            const std::size_t group = entry.Group[slot];
            sum_[slot] += child.Value[slot] - value_[slot][group];
            index_[slot][group] = child.Index[slot];
            value_[slot][group] = child.Value[slot];
        }
        slide(child.Cell);
        const int t = deepen(g + 1, bound, child.After);
        slide(from);
        sum_ = sums;
        for (std::size_t slot = 0; slot < kSlots; ++slot) {
            index_[slot][entry.Group[slot]] = index[slot];
            value_[slot][entry.Group[slot]] = value[slot];
        }
        return t;
    }

    std::array<std::uint32_t, kSlots> savedIndex(const PatternLayout::Tile& entry) const {
        std::array<std::uint32_t, kSlots> saved{};
        for (std::size_t slot = 0; slot < kSlots; ++slot)
            saved[slot] = index_[slot][entry.Group[slot]];
        return saved;
    }

    std::array<std::uint8_t, kSlots> savedValue(const PatternLayout::Tile& entry) const {
        std::array<std::uint8_t, kSlots> saved{};
        for (std::size_t slot = 0; slot < kSlots; ++slot)
            saved[slot] = value_[slot][entry.Group[slot]];
        return saved;
    }

    bool stopped() const {
        return cancel_.load(std::memory_order_relaxed) ||
               (foundAt_ && foundAt_->load(std::memory_order_relaxed) < leaf_);
    }

    // The leaves of the iteration at `bound`, in the order a single thread meets them; kFound
    // or kCancelled when the cut itself ends the iteration.
    int cut(int bound, std::vector<Leaf>& leaves) {
        int t = kLeft;
        for (int depth = kLeafDepth; depth <= kLeafDepthMost; depth += 2) {
            leaves.clear();
            leafDepth_ = depth;
            leaves_ = &leaves;
            t = deepen(0, bound, MovePruning::Start);
            leafDepth_ = -1;
            leaves_ = nullptr;
            if (t == kFound || t == kCancelled || leaves.size() >= kLeavesWanted)
                break;
        }
        return t;
    }

    // One iteration on the caller's thread and `threads.Helpers` more.
    int shared(int bound, const BuildThreads& threads) {
        std::vector<Leaf> leaves;
        if (const int t = cut(bound, leaves); t == kFound || t == kCancelled)
            return t;
        Shared work{leaves};
        {
            std::vector<std::jthread> helpers;
            helpers.reserve(static_cast<std::size_t>(threads.Helpers));
            for (int i = 0; i < threads.Helpers; ++i) {
                try {
                    helpers.emplace_back([this, &work, &threads, bound] {
                        try {
                            if (threads.OnHelperStart)
                                threads.OnHelperStart();
                        } catch (...) {
                            return; // the others take its share
                        }
                        takeLeaves(work, bound);
                    });
                } catch (const std::system_error&) {
                    break; // no thread: the others take its share
                }
            }
            takeLeaves(work, bound);
        } // every helper has ended here
        nodes_ += work.Nodes.load();
        if (work.BestLeaf < work.Leaves.size()) {
            path_ = work.Path;
            length_ = work.Length;
            return kFound;
        }
        return cancel_.load() ? kCancelled : kLeft;
    }

    struct Shared {
        explicit Shared(const std::vector<Leaf>& leaves)
            : Leaves(leaves), FoundAt(leaves.size()), BestLeaf(leaves.size()) {}
        const std::vector<Leaf>& Leaves;
        std::atomic<std::size_t> Next{0};
        std::atomic<std::size_t> FoundAt; // the lowest leaf below which the goal lies, so far
        std::atomic<std::uint64_t> Nodes{0};
        std::mutex Mutex;
        std::size_t BestLeaf;                      // guarded by Mutex: FoundAt's, with its path
        std::array<std::uint8_t, kLongest> Path{}; // guarded by Mutex
        std::size_t Length = 0;                    // guarded by Mutex
    };

    // Searches below the leaves `work` hands out until none is left or a lower one was solved.
    void takeLeaves(Shared& work, int bound) const {
        for (;;) {
            const std::size_t i = work.Next.fetch_add(1, std::memory_order_relaxed);
            // A raised flag ends the rest at once, not after a few thousand nodes of each leaf.
            if (i >= work.Leaves.size() || i > work.FoundAt.load(std::memory_order_relaxed) ||
                cancel_.load(std::memory_order_relaxed))
                return;
            const Leaf& leaf = work.Leaves[i];
            Search below(leaf.Cells, leaf.Parts, tables_, pruning_, cancel_);
            below.foundAt_ = &work.FoundAt;
            below.leaf_ = i;
            std::copy_n(leaf.Path.begin(), leaf.Depth, below.path_.begin());
            const int t = below.deepen(leaf.Depth, bound, leaf.State);
            work.Nodes.fetch_add(below.nodes_, std::memory_order_relaxed);
            if (t != kFound)
                continue;
            {
                const std::lock_guard lock(work.Mutex);
                if (i < work.BestLeaf) {
                    work.BestLeaf = i;
                    work.Path = below.path_;
                    work.Length = below.length_;
                }
            }
            std::size_t seen = work.FoundAt.load();
            while (i < seen && !work.FoundAt.compare_exchange_weak(seen, i)) {
            }
        }
    }

    // The empty cell moves to `cell`; the tile there slides into the old empty cell.
    void slide(int cell) {
        cells_[static_cast<std::size_t>(blank_)] = cells_[static_cast<std::size_t>(cell)];
        cells_[static_cast<std::size_t>(cell)] = 0;
        blank_ = cell;
    }

    std::array<std::uint8_t, 16> cells_;
    const SolverTables& tables_;
    const MovePruning& pruning_;
    const std::atomic<bool>& cancel_;
    EstimateParts::BySlot<const Table*> table_;
    EstimateParts::BySlot<std::uint32_t> index_;
    EstimateParts::BySlot<std::uint8_t> value_;
    EstimateParts::Slots sum_;
    int root_ = 0;
    int blank_ = 0;
    std::uint64_t nodes_ = 0;
    std::array<std::uint8_t, kLongest> path_{};
    std::size_t length_ = 0;
    int leafDepth_ = -1;                                // where cut() leaves positions
    std::vector<Leaf>* leaves_ = nullptr;               // and where it keeps them
    const std::atomic<std::size_t>* foundAt_ = nullptr; // a shared iteration's lowest solved leaf
    std::size_t leaf_ = 0;                              // the leaf this search is below
};

template <TableKind Kind>
SolveResult solveWith(const std::array<std::uint8_t, 16>& cells, const SolverTables& tables,
                      const MovePruning& pruning, const std::atomic<bool>& cancel,
                      const BuildThreads& threads) {
    return Search<Kind>(cells, EstimateOf<Kind>(cells, tables), tables, pruning, cancel)
        .Run(threads);
}

} // namespace

SolveResult Solve(const BoardCells& board, const SolverTables& tables,
                  const std::atomic<bool>& cancel, const BuildThreads& threads) {
    return Solve(board, tables, tables.Pruning(), cancel, threads);
}

SolveResult Solve(const BoardCells& board, const SolverTables& tables, const MovePruning& pruning,
                  const std::atomic<bool>& cancel, const BuildThreads& threads) {
    if (!IsSolvable(board))
        return {SolveStatus::Unsolvable, {}, 0};
    std::array<std::uint8_t, 16> cells{};
    for (int cell = 0; cell < CellCount; ++cell) {
        const std::uint8_t n = board[static_cast<std::size_t>(cell) + 1];
        cells[static_cast<std::size_t>(cell)] = n == EmptyCell ? 0 : n;
    }
    return tables.Kind() == TableKind::Seven
               ? solveWith<TableKind::Seven>(cells, tables, pruning, cancel, threads)
               : solveWith<TableKind::Six>(cells, tables, pruning, cancel, threads);
}

} // namespace rules
