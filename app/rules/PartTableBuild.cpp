// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PartTableBuild.h"

#include "app/rules/CellNeighbours.h"
#include "app/rules/PartTable.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace rules {
namespace {

// The masks a thread takes at a time, and so how often it reads the cancel flag: a few
// milliseconds' work at most.
constexpr std::size_t kChunkMasks = 4;
// The cells of odd row + column: a tile's step always changes whether it stands on one.
constexpr unsigned kOddCells = 0xA5A5u;

// The cells next to each cell, as a mask.
constexpr std::array<std::uint16_t, 16> kNeighbourMasks = [] {
    std::array<std::uint16_t, 16> masks{};
    for (std::size_t cell = 0; cell < 16; ++cell)
        for (const std::uint8_t to : kCellNeighbours[cell])
            if (to != 16)
                masks[cell] = static_cast<std::uint16_t>(masks[cell] | 1u << to);
    return masks;
}();

int tilesOf(const std::vector<std::uint8_t>& homes) {
    const auto tiles = static_cast<int>(homes.size());
    if (tiles < 1 || tiles > PartTilesMost)
        throw std::invalid_argument("part table group size out of range");
    unsigned taken = 0;
    for (const std::uint8_t home : homes) {
        if (home >= 15 || ((taken >> home) & 1u) != 0)
            throw std::invalid_argument("home cells out of range or repeated");
        taken |= 1u << home;
    }
    return tiles;
}

unsigned oddCellsIn(unsigned mask) {
    unsigned count = 0;
    for (unsigned cells = mask & kOddCells; cells != 0; cells &= cells - 1)
        ++count;
    return count;
}

// By order: for each tile which of the mask's cells, counted from the lowest, it stands on.
std::vector<std::uint32_t> orderCells(int k, std::uint32_t orders) {
    std::vector<std::uint32_t> cells(orders);
    for (std::uint32_t order = 0; order < orders; ++order) {
        std::array<unsigned, PartTilesMost> left{0, 1, 2, 3, 4, 5, 6};
        std::uint32_t weight = orders;
        std::uint32_t rest = order;
        for (int i = 0; i < k; ++i) {
            weight /= static_cast<std::uint32_t>(k - i);
            const std::uint32_t digit = rest / weight;
            rest %= weight;
            cells[order] |= left[digit] << (4 * i);
            std::copy(left.begin() + digit + 1, left.end(), left.begin() + digit);
        }
    }
    return cells;
}

} // namespace

PartSearch::PartSearch(const std::vector<std::uint8_t>& homes)
    : index_(SharedPartIndex(tilesOf(homes))), k_(index_.Tiles()), parity_(index_.Masks()),
      orderCells_(orderCells(k_, index_.Orders())), states_(2 * ((index_.Bits() + 63) / 64), 0),
      table_((index_.Bits() + 63) / 64, 0) {
    unsigned homeMask = 0;
    for (int slot = 0; slot < k_; ++slot) {
        home_ |= std::uint32_t{homes[static_cast<std::size_t>(slot)]} << (4 * slot);
        homeMask |= 1u << homes[static_cast<std::size_t>(slot)];
    }
    for (std::size_t rank = 0; rank < parity_.size(); ++rank)
        parity_[rank] = static_cast<std::uint8_t>(
            (oddCellsIn(index_.BlockAt(rank).Mask) + oddCellsIn(homeMask)) & 1u);
    start();
}

// The goal: the group at home, the empty cell in any of the parts its home leaves.
void PartSearch::start() {
    unsigned homeMask = 0;
    for (int slot = 0; slot < k_; ++slot)
        homeMask |= 1u << ((home_ >> (4 * slot)) & 15u);
    const std::uint64_t parts = index_.BlockAt(index_.Rank(homeMask)).Parts;
    std::uint64_t seen = 0;
    for (unsigned cell = 0; cell < 16; ++cell) {
        const auto part = static_cast<unsigned>(parts >> (4 * cell)) & 15u;
        if (part == PartIndex::ClosedCell || ((seen >> part) & 1u) != 0)
            continue;
        seen |= std::uint64_t{1} << part;
        const std::uint32_t at = index_.At(home_, cell);
        states_[2 * (at >> 6)] |= std::uint64_t{1} << (at & 63u);
        states_[2 * (at >> 6) + 1] |= std::uint64_t{1} << (at & 63u);
    }
}

std::vector<std::uint8_t> PartSearch::Run(const std::atomic<bool>& cancel,
                                          const BuildThreads& threads) {
    const auto helpers = static_cast<std::size_t>(std::max(0, threads.Helpers));
    const bool shared = helpers > 0;
    workers_.resize(1 + helpers);
    const auto expand = [&](std::size_t id) { expandChunks(id, cancel, shared); };
    if (!RunLayers(threads, stop_, expand, [this] { return endLayer(); }))
        return {};
    std::vector<std::uint64_t>().swap(states_);
    std::vector<std::uint8_t> bytes((index_.Bits() + 7) / 8);
    for (std::size_t at = 0; at < bytes.size(); ++at)
        bytes[at] = static_cast<std::uint8_t>(table_[at / 8] >> (8 * (at % 8)));
    return bytes;
}

void PartSearch::expandChunks(std::size_t id, const std::atomic<bool>& cancel, bool shared) {
    Worker& worker = workers_[id];
    const std::size_t masks = index_.Masks();
    const auto parity = static_cast<std::uint8_t>(depth_ & 1u);
    while (!stop_.Stopped()) {
        const std::size_t begin = next_.fetch_add(kChunkMasks, std::memory_order_relaxed);
        if (begin >= masks)
            return;
        if (cancel.load(std::memory_order_relaxed)) {
            stop_.Cancel();
            return;
        }
        const std::size_t end = std::min(masks, begin + kChunkMasks);
        for (std::size_t rank = begin; rank < end; ++rank) {
            if (parity_[rank] != parity)
                continue;
            if (shared)
                expandMask<true>(rank, worker);
            else
                expandMask<false>(rank, worker);
        }
    }
}

template <bool Shared> void PartSearch::expandMask(std::size_t rank, Worker& worker) {
    const PartIndex::Block& block = index_.BlockAt(rank);
    MaskCells mask;
    mask.Offset = block.Offset;
    mask.Count = block.Count;
    unsigned sorted = 0;
    for (unsigned cell = 0; cell < 16; ++cell) {
        const auto part = static_cast<unsigned>(block.Parts >> (4 * cell)) & 15u;
        if (part == PartIndex::ClosedCell)
            mask.Sorted |= cell << (4 * sorted++);
        else
            mask.Part[part] = static_cast<std::uint16_t>(mask.Part[part] | 1u << cell);
    }
    for (unsigned part = 0; part < mask.Count; ++part)
        expandRun<Shared>(mask, part, worker);
}

// The frontier's states of one part of the mask: into the table, out of the frontier, and on to
// their neighbours.
template <bool Shared>
void PartSearch::expandRun(const MaskCells& mask, unsigned part, Worker& worker) {
    const std::size_t first = mask.Offset + std::size_t{part} * index_.Orders();
    const std::size_t end = first + index_.Orders();
    const bool intoTable = ((depth_ >> 1) & 1u) != 0;
    for (std::size_t word = first / 64; word * 64 < end; ++word) {
        std::uint64_t range = ~std::uint64_t{0};
        if (word * 64 < first)
            range &= ~std::uint64_t{0} << (first % 64);
        if (word * 64 + 64 > end)
            range &= ~std::uint64_t{0} >> (64 - end % 64);
        std::atomic_ref<std::uint64_t> frontier(states_[2 * word + 1]);
        const std::uint64_t bits = frontier.load(std::memory_order_relaxed) & range;
        if (bits == 0)
            continue;
        std::atomic_ref<std::uint64_t> table(table_[word]);
        if constexpr (Shared) {
            frontier.fetch_and(~bits, std::memory_order_relaxed);
            if (intoTable)
                table.fetch_or(bits, std::memory_order_relaxed);
        } else {
            frontier.store(frontier.load(std::memory_order_relaxed) & ~bits,
                           std::memory_order_relaxed);
            if (intoTable)
                table.store(table.load(std::memory_order_relaxed) | bits,
                            std::memory_order_relaxed);
        }
        for (std::uint64_t rest = bits; rest != 0; rest &= rest - 1) {
            const std::size_t order =
                word * 64 + static_cast<std::size_t>(std::countr_zero(rest)) - first;
            const std::uint32_t ranks = orderCells_[order];
            std::uint32_t nibbles = 0;
            for (int slot = 0; slot < k_; ++slot)
                nibbles |= ((mask.Sorted >> (4 * ((ranks >> (4 * slot)) & 15u))) & 15u)
                           << (4 * slot);
            expandState<Shared>(nibbles, mask.Part[part], worker);
        }
    }
}

// Each tile next to the empty cell's part may slide into it; the empty cell then stands where
// the tile stood.
template <bool Shared>
void PartSearch::expandState(std::uint32_t nibbles, unsigned partCells, Worker& worker) {
    for (int slot = 0; slot < k_; ++slot) {
        const unsigned from = (nibbles >> (4 * slot)) & 15u;
        for (unsigned targets = kNeighbourMasks[from] & partCells; targets != 0;
             targets &= targets - 1) {
            const auto to = static_cast<unsigned>(std::countr_zero(targets));
            reach<Shared>(index_.At(nibbles ^ ((from ^ to) << (4 * slot)), from), worker);
        }
    }
}

template <bool Shared> void PartSearch::reach(std::uint32_t at, Worker& worker) {
    const std::uint64_t bit = std::uint64_t{1} << (at & 63u);
    std::atomic_ref<std::uint64_t> reached(states_[2 * std::size_t{at >> 6}]);
    const std::uint64_t was = reached.load(std::memory_order_relaxed);
    if ((was & bit) != 0)
        return;
    std::atomic_ref<std::uint64_t> frontier(states_[2 * std::size_t{at >> 6} + 1]);
    if constexpr (Shared) {
        if ((reached.fetch_or(bit, std::memory_order_relaxed) & bit) != 0)
            return;
        frontier.fetch_or(bit, std::memory_order_relaxed);
    } else {
        reached.store(was | bit, std::memory_order_relaxed);
        frontier.store(frontier.load(std::memory_order_relaxed) | bit, std::memory_order_relaxed);
    }
    ++worker.Found;
}

// Whether the search is finished.
bool PartSearch::endLayer() noexcept {
    std::size_t found = 0;
    for (Worker& worker : workers_) {
        found += worker.Found;
        worker.Found = 0;
    }
    next_.store(0, std::memory_order_relaxed);
    ++depth_;
    return stop_.Stopped() || found == 0;
}

std::vector<std::uint8_t> BuildPartTable(const std::vector<std::uint8_t>& homes,
                                         const std::atomic<bool>& cancel,
                                         const BuildThreads& threads) {
    return PartSearch(homes).Run(cancel, threads);
}

} // namespace rules
