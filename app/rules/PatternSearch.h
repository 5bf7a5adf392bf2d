// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The breadth-first search behind a pattern table, one layer of moves at a time. A state is a
// placement of the group's tiles and the part of the board that holds the empty cell (see
// OpenParts): moves of the empty cell within its part cost nothing, so every move the search
// makes is a group tile's. The state's layer gives its value, whose bit 1 goes into its
// placement's entry (see PatternDatabase.h). Each layer is put in order of its states' highest
// cells before it is expanded, so the children of neighbouring states lie near each other in
// memory.
//
// Threads: the caller and BuildThreads::Helpers more threads (RunLayers in BuildThreads.h runs
// them) expand a layer together. Each takes chunks of its own stretch of the layer, then of the
// others', through the stretches' atomic cursors (so a thread the system keeps waiting holds the
// others up by one chunk at most), and writes only its own Worker. flags_ and table_ are shared
// while a layer is expanded: a flag byte is read with a relaxed atomic load and a missing bit set
// with fetch_or, and only the thread whose fetch_or first marks a state writes its bits into the
// placement's entry (with fetch_or too, as neighbouring entries share bytes). Everything else
// changes only in endLayer, which RunLayers calls at each layer's end while every thread waits, so
// it is ordered for all of them. A cancel or a failure raises stop_ (a BuildStop), a relaxed atomic
// flag every thread reads between chunks, and a failure's exception is kept there under its lock,
// the only one: held just to keep the first exception, and nothing waits while holding it.

#include "app/rules/BuildThreads.h"
#include "app/rules/OpenParts.h"
#include "app/rules/PatternDatabase.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace rules {

class PatternSearch {
public:
    // A group of 3 to 6 tiles at home on the cells `homes` (0..14).
    explicit PatternSearch(const std::vector<std::uint8_t>& homes);

    // The table's entries (see PatternDatabase.h), or empty when `cancel` was raised first.
    // Rethrows what a thread of the search threw, once every thread has ended.
    std::vector<std::uint8_t> Run(const std::atomic<bool>& cancel, const BuildThreads& threads);

private:
    struct Worker {
        std::vector<std::uint32_t> Next; // the next layer's states this thread found
        std::size_t Found = 0;           // how many of Next hold them
    };
    // One thread's share of the layer; each on a cache line of its own, so the cursors share none.
    struct alignas(64) Stretch {
        std::atomic<std::size_t> Next{0};
        std::size_t End = 0;
    };

    void start(std::uint32_t home);
    void expandChunks(std::size_t id, const std::atomic<bool>& cancel, bool shared);
    void splitLayer();
    template <bool Shared> void expand(std::uint32_t state, Worker& worker);
    std::uint32_t placeOf(std::uint32_t placement) const;
    template <bool Shared> void setBits(std::uint32_t place, unsigned ranks);
    bool endLayer() noexcept;
    void mergeNext();

    int k_;
    int orderShift_; // a state's bits above this give its place in the sorted layer
    OpenParts parts_;
    PatternIndex index_;
    std::vector<std::uint8_t> flags_; // by nibble index: a bit for each part the search reached
    std::vector<std::uint8_t> table_;
    std::vector<std::uint32_t> layer_;
    std::vector<std::size_t> counts_;      // endLayer's, for the sort
    std::vector<Worker> workers_;          // the caller's first
    std::unique_ptr<Stretch[]> stretches_; // one for each worker
    std::uint8_t depth_ = 0;               // the moves to the states of the layer being found
    BuildStop stop_; // a cancel or a failure: every thread ends at the layer's end
};

} // namespace rules
