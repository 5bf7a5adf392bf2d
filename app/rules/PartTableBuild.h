// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The breadth-first search behind a table kept per part of the board (PartTable.h), one layer
// of moves at a time, over bitmaps of the states' bits (PartIndex.h) rather than lists.
//
// A move takes one tile a step, so every state of a mask lies at the same distance's parity:
// the parity of the number of tiles on the odd cells of the checkerboard, against the home's.
// So one frontier bitmap holds this layer's states in the masks of its parity, and the next
// layer's, as they are found, in the others'. A layer's masks are taken in chunks: each state in
// the frontier goes into the table when bit 1 of the depth is set, leaves the frontier and marks
// its neighbours in the reached bitmap, and in the frontier those it was first to reach. The
// reached and frontier words of the same 64 states lie side by side, on one cache line.
//
// Threads: the caller and BuildThreads::Helpers more threads (RunLayers in BuildThreads.h runs
// them) expand each layer together, taking chunks of its masks through the atomic cursor next_;
// each writes only its own Worker. states_ and table_ are shared while a layer is expanded: a word
// is read with a relaxed atomic load and changed with fetch_or or fetch_and, so neighbouring masks'
// bits, which share words, stay whole. Everything else changes only in endLayer, which RunLayers
// calls at each layer's end while every thread waits, so it is ordered for all of them. A cancel or
// a failure raises stop_ (a BuildStop), a relaxed atomic flag every thread reads between chunks,
// and a failure's exception is kept there under its lock, the only one: held just to keep the first
// exception, and nothing waits while holding it.

#include "app/rules/BuildThreads.h"
#include "app/rules/PartIndex.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace rules {

class PartSearch {
public:
    // A group of 1 to 7 tiles at home on the cells `homes` (0..14).
    explicit PartSearch(const std::vector<std::uint8_t>& homes);

    // The table's entries, or empty when `cancel` was raised first. Rethrows what a thread of
    // the search threw, once every thread has ended.
    std::vector<std::uint8_t> Run(const std::atomic<bool>& cancel, const BuildThreads& threads);

private:
    // One thread's count of the states it found; each on a cache line of its own.
    struct alignas(64) Worker {
        std::size_t Found = 0;
    };
    // The mask being expanded: its cells in order as nibbles, and the open cells of each part.
    struct MaskCells {
        std::uint32_t Sorted = 0;
        std::uint32_t Offset = 0;
        std::uint32_t Count = 0;
        std::array<std::uint16_t, 8> Part{};
    };

    void start();
    void expandChunks(std::size_t id, const std::atomic<bool>& cancel, bool shared);
    template <bool Shared> void expandMask(std::size_t rank, Worker& worker);
    template <bool Shared> void expandRun(const MaskCells& mask, unsigned part, Worker& worker);
    template <bool Shared>
    void expandState(std::uint32_t nibbles, unsigned partCells, Worker& worker);
    template <bool Shared> void reach(std::uint32_t at, Worker& worker);
    bool endLayer() noexcept;

    const PartIndex& index_;
    int k_;
    std::uint32_t home_ = 0;
    std::vector<std::uint8_t> parity_;      // by mask rank: the distance's parity there
    std::vector<std::uint32_t> orderCells_; // by order: which of the mask's cells tile i takes
    std::vector<std::uint64_t> states_;     // per 64 states: reached, then frontier
    std::vector<std::uint64_t> table_;      // per 64 states: bit 1 of the value
    std::vector<Worker> workers_;           // the caller's first
    std::atomic<std::size_t> next_{0};      // the next chunk of masks of the layer
    unsigned depth_ = 0;                    // the layer being expanded
    BuildStop stop_; // a cancel or a failure: every thread ends at the layer's end
};

} // namespace rules
