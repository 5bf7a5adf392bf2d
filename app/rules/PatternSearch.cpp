// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PatternSearch.h"

#include "app/rules/CellNeighbours.h"
#include "app/rules/PatternDatabase.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace rules {
namespace {

// The states a thread takes at a time, and so how often it reads the cancel flag: well under
// a millisecond's work.
constexpr std::size_t kChunk = 2048;
// A layer is sorted by its states' top bits only: enough to keep each stretch of it, and the
// children it reaches, within the processor's cache.
constexpr int kOrderBits = 16;
constexpr int kPartBits = 3;
constexpr unsigned kGoalBlank = 15;

int tilesOf(const std::vector<std::uint8_t>& homes) {
    const auto tiles = static_cast<int>(homes.size());
    if (tiles < PatternTilesLeast || tiles > PatternTilesMost)
        throw std::invalid_argument("pattern group size out of range");
    unsigned taken = 0;
    for (const std::uint8_t home : homes) {
        if (home >= kGoalBlank || ((taken >> home) & 1u) != 0)
            throw std::invalid_argument("home cells out of range or repeated");
        taken |= 1u << home;
    }
    return tiles;
}

unsigned cellOf(std::uint32_t placement, int slot) {
    return (placement >> (4 * slot)) & 15u;
}

unsigned occupiedBy(std::uint32_t placement, int k) {
    unsigned occupied = 0;
    for (int slot = 0; slot < k; ++slot)
        occupied |= 1u << cellOf(placement, slot);
    return occupied;
}

} // namespace

PatternSearch::PatternSearch(const std::vector<std::uint8_t>& homes)
    : k_(tilesOf(homes)), orderShift_(std::max(0, 4 * k_ + kPartBits - kOrderBits)),
      parts_(16 - k_), index_(k_), flags_(std::size_t{1} << (4 * k_), 0),
      table_(PatternTableBytes(k_), 0),
      counts_((std::size_t{1} << (4 * k_ + kPartBits - orderShift_)) + 1) {
    std::uint32_t home = 0;
    for (int slot = 0; slot < k_; ++slot)
        home |= std::uint32_t{homes[static_cast<std::size_t>(slot)]} << (4 * slot);
    start(home);
}

// The goal: the group at home and the empty cell in the part that holds the goal's empty cell.
void PatternSearch::start(std::uint32_t home) {
    const OpenParts::Entry parts = parts_.Of(~occupiedBy(home, k_) & 0xFFFFu);
    const unsigned part = OpenParts::PartOf(parts, kGoalBlank);
    flags_[home] = static_cast<std::uint8_t>(1u << part);
    layer_.push_back((home << kPartBits) | part);
}

std::vector<std::uint8_t> PatternSearch::Run(const std::atomic<bool>& cancel,
                                             const BuildThreads& threads) {
    const auto helpers = static_cast<std::size_t>(std::max(0, threads.Helpers));
    const bool shared = helpers > 0;
    workers_.resize(1 + helpers);
    stretches_ = std::make_unique<Stretch[]>(1 + helpers);
    splitLayer();
    depth_ = 1;
    const auto expand = [&](std::size_t id) { expandChunks(id, cancel, shared); };
    if (!RunLayers(threads, stop_, expand, [this] { return endLayer(); }))
        return {};
    return std::move(table_);
}

void PatternSearch::expandChunks(std::size_t id, const std::atomic<bool>& cancel, bool shared) {
    Worker& worker = workers_[id];
    for (std::size_t turn = 0; turn < workers_.size(); ++turn) {
        Stretch& stretch = stretches_[(id + turn) % workers_.size()];
        while (!stop_.Stopped()) {
            const std::size_t begin = stretch.Next.fetch_add(kChunk, std::memory_order_relaxed);
            if (begin >= stretch.End)
                break;
            if (cancel.load(std::memory_order_relaxed)) {
                stop_.Cancel();
                return;
            }
            const std::size_t end = std::min(stretch.End, begin + kChunk);
            if (shared) {
                for (std::size_t i = begin; i < end; ++i)
                    expand<true>(layer_[i], worker);
            } else {
                for (std::size_t i = begin; i < end; ++i)
                    expand<false>(layer_[i], worker);
            }
        }
    }
}

void PatternSearch::splitLayer() {
    const std::size_t count = workers_.size();
    for (std::size_t id = 0; id < count; ++id) {
        stretches_[id].Next.store(layer_.size() * id / count, std::memory_order_relaxed);
        stretches_[id].End = layer_.size() * (id + 1) / count;
    }
}

// Each tile next to the empty cell's part of the board may slide into it; the empty cell then
// stands where the tile stood. Branches on the data cost more here than the work they save.
template <bool Shared> void PatternSearch::expand(std::uint32_t state, Worker& worker) {
    const std::uint32_t placement = state >> kPartBits;
    const unsigned part = state & ((1u << kPartBits) - 1);
    const unsigned open = ~occupiedBy(placement, k_) & 0xFFFFu;
    const OpenParts::Entry here = parts_.Of(open);
    std::array<std::uint8_t, 28> slots{};
    std::array<std::uint8_t, 28> targets{};
    unsigned count = 0;
    for (int slot = 0; slot < k_; ++slot) {
        for (const std::uint8_t to : kCellNeighbours[cellOf(placement, slot)]) {
            if (to == 16)
                break;
            slots[count] = static_cast<std::uint8_t>(slot);
            targets[count] = to;
            count += OpenParts::PartOf(here, to) == part ? 1 : 0;
        }
    }
    if (worker.Next.size() < worker.Found + count)
        worker.Next.resize(std::max(2 * worker.Next.size(), worker.Found + 4096));
    std::uint32_t* out = worker.Next.data() + worker.Found;
    // The states found now are depth_ moves from the goal: bit 1 of that.
    const unsigned bit = (depth_ >> 1) & 1u;
    for (unsigned c = 0; c < count; ++c) {
        const unsigned slot = slots[c];
        const unsigned to = targets[c];
        const unsigned from = cellOf(placement, static_cast<int>(slot));
        const std::uint32_t moved = (placement & ~(15u << (4 * slot))) | (to << (4 * slot));
        const unsigned childOpen = open ^ (1u << to) ^ (1u << from);
        const unsigned childPart = OpenParts::PartOf(parts_.Of(childOpen), from);
        const auto mark = static_cast<std::uint8_t>(1u << childPart);
        std::atomic_ref<std::uint8_t> flags(flags_[moved]);
        std::uint8_t was = flags.load(std::memory_order_relaxed);
        if constexpr (Shared) {
            if ((was & mark) == 0)
                was = flags.fetch_or(mark, std::memory_order_relaxed);
        } else {
            flags.store(static_cast<std::uint8_t>(was | mark), std::memory_order_relaxed);
        }
        if ((was & mark) == 0 && bit != 0)
            setBits<Shared>(placeOf(moved), parts_.RanksIn(childOpen, childPart));
        *out = (moved << kPartBits) | childPart;
        out += (was & mark) == 0 ? 1 : 0;
    }
    worker.Found = static_cast<std::size_t>(out - worker.Next.data());
}

std::uint32_t PatternSearch::placeOf(std::uint32_t placement) const {
    // The six-tile table's with its constants folded in: most of the build's entries.
    static constexpr PatternIndex kSix(6);
    return k_ == 6 ? kSix.Place(placement) : index_.Place(placement);
}

// Sets the bits `ranks` (one for each open cell, in order) of the entry at `place`.
template <bool Shared> void PatternSearch::setBits(std::uint32_t place, unsigned ranks) {
    const std::size_t first = std::size_t{place} * static_cast<std::size_t>(16 - k_);
    unsigned bits = ranks << (first & 7u);
    for (std::size_t at = first >> 3; bits != 0; ++at, bits >>= 8) {
        const auto byte = static_cast<std::uint8_t>(bits & 0xFFu);
        std::atomic_ref<std::uint8_t> entry(table_[at]);
        if constexpr (Shared)
            entry.fetch_or(byte, std::memory_order_relaxed);
        else
            entry.store(static_cast<std::uint8_t>(entry.load(std::memory_order_relaxed) | byte),
                        std::memory_order_relaxed);
    }
}

// Whether the search is finished.
bool PatternSearch::endLayer() noexcept {
    try {
        if (stop_.Stopped())
            return true;
        mergeNext();
        splitLayer();
        ++depth_;
        return layer_.empty();
    } catch (...) {
        stop_.Fail(std::current_exception());
        return true;
    }
}

// The workers' states, sorted by their top bits into the next layer.
void PatternSearch::mergeNext() {
    std::fill(counts_.begin(), counts_.end(), 0);
    std::size_t total = 0;
    for (const Worker& worker : workers_) {
        for (std::size_t i = 0; i < worker.Found; ++i)
            ++counts_[(worker.Next[i] >> orderShift_) + 1];
        total += worker.Found;
    }
    std::partial_sum(counts_.begin(), counts_.end(), counts_.begin());
    layer_.resize(total);
    for (Worker& worker : workers_) {
        for (std::size_t i = 0; i < worker.Found; ++i) {
            const std::uint32_t state = worker.Next[i];
            layer_[counts_[state >> orderShift_]++] = state;
        }
        worker.Found = 0;
    }
}

} // namespace rules
