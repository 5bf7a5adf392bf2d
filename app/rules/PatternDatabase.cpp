// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PatternDatabase.h"

#include "app/rules/CellNeighbours.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <memory>
#include <new>

namespace rules {
namespace {

constexpr std::uint8_t kUnseen = 0xFF;
constexpr std::size_t kPollEvery = 1 << 16;

std::size_t placementCount(int k) {
    std::size_t count = 1;
    for (int i = 0; i < k; ++i)
        count *= static_cast<std::size_t>(16 - i);
    return count;
}

int cellOf(std::uint32_t index, int slot) {
    return static_cast<int>((index >> (4 * slot)) & 15u);
}

int manhattan(int a, int b) {
    return std::abs(a / 4 - b / 4) + std::abs(a % 4 - b % 4);
}

// The cells the empty cell can reach from `start` through the cells in `open`.
unsigned regionOf(unsigned start, unsigned open) {
    unsigned region = start;
    for (unsigned before = 0; region != before;) {
        before = region;
        region |= ((region << 4) | (region >> 4) | ((region << 1) & 0xEEEEu) |
                   ((region >> 1) & 0x7777u)) &
                  open;
    }
    return region;
}

unsigned occupiedBy(std::uint32_t placement, int k) {
    unsigned occupied = 0;
    for (int slot = 0; slot < k; ++slot)
        occupied |= 1u << cellOf(placement, slot);
    return occupied;
}

// Whether the open cells of each of the 65,536 sets hang together, one bit a set: the
// search asks this of every move, and a flood fill each time would cost most of the build.
std::vector<std::uint64_t> connectedSets() {
    std::vector<std::uint64_t> connected(65536 / 64, 0);
    for (unsigned open = 0; open < 65536; ++open)
        if (open == 0 || regionOf(open & (~open + 1u), open) == open)
            connected[open >> 6] |= std::uint64_t{1} << (open & 63u);
    return connected;
}

struct FreeBits {
    void operator()(std::uint64_t* p) const { std::free(p); }
};
using Bits = std::unique_ptr<std::uint64_t, FreeBits>;

// calloc: the system hands out zeroed pages as they are first touched.
Bits zeroedBits(std::size_t count) {
    Bits bits(static_cast<std::uint64_t*>(std::calloc((count + 63) / 64, sizeof(std::uint64_t))));
    if (!bits)
        throw std::bad_alloc();
    return bits;
}

bool testAndSet(std::uint64_t* bits, std::uint32_t at) {
    std::uint64_t& word = bits[at >> 6];
    const std::uint64_t bit = std::uint64_t{1} << (at & 63u);
    const bool was = (word & bit) != 0;
    word |= bit;
    return was;
}

// The search's states: a placement and the part of the board the empty cell can reach,
// named by its lowest cell. Moves of the empty cell within that part cost nothing.
class StateSearch {
public:
    explicit StateSearch(int k)
        : k_(k), distance_(std::size_t{1} << (4 * k), kUnseen), connected_(connectedSets()),
          placed_(zeroedBits(std::size_t{1} << (4 * k))),
          // Most placements' open cells hang together; only the others need these bits.
          seen_(zeroedBits(std::size_t{1} << (4 * k + 4))) {
        queue_.reserve(placementCount(k));
    }

    // Every state of the home placement, whichever part of the board holds the empty cell.
    void Start(std::uint32_t home) {
        distance_[home] = 0;
        testAndSet(placed_.get(), home);
        const unsigned open = ~occupiedBy(home, k_) & 0xFFFFu;
        for (unsigned rest = open; rest != 0;) {
            const unsigned region = regionOf(rest & (~rest + 1u), open);
            Push(home, region, open);
            rest &= ~region;
        }
    }

    bool Run(const std::atomic<bool>& cancel) {
        std::size_t layerEnd = queue_.size();
        std::uint8_t next = 1;
        for (std::size_t head = 0; head < queue_.size(); ++head) {
            if (head == layerEnd) {
                layerEnd = queue_.size();
                ++next;
            }
            if (head % kPollEvery == 0 && cancel.load(std::memory_order_relaxed))
                return false;
            Expand(queue_[head], next);
        }
        return true;
    }

    std::vector<std::uint8_t> TakeDistances() { return std::move(distance_); }

private:
    bool connected(unsigned open) const { return (connected_[open >> 6] >> (open & 63u)) & 1u; }

    unsigned regionFrom(unsigned start, unsigned open) const {
        return connected(open) ? open : regionOf(start, open);
    }

    // A placement whose open cells all hang together has one state, seen once it has a
    // distance; only the rarer placements that wall off part of the board need the bit set.
    void Push(std::uint32_t placement, unsigned region, unsigned open) {
        const std::uint32_t state =
            (placement << 4) | static_cast<std::uint32_t>(std::countr_zero(region));
        if (region != open && testAndSet(seen_.get(), state))
            return;
        queue_.push_back(state);
    }

    // Each tile next to the empty cell's part of the board may slide into it; the empty cell
    // then stands where the tile stood.
    void Expand(std::uint32_t state, std::uint8_t next) {
        const std::uint32_t placement = state >> 4;
        const unsigned open = ~occupiedBy(placement, k_) & 0xFFFFu;
        const unsigned region = regionFrom(1u << (state & 15u), open);
        for (int slot = 0; slot < k_; ++slot) {
            const int from = cellOf(placement, slot);
            const std::uint32_t others = placement & ~(15u << (4 * slot));
            for (const std::uint8_t to : kCellNeighbours[static_cast<std::size_t>(from)]) {
                if (to == 16)
                    break;
                if (!(region & (1u << to)))
                    continue;
                const std::uint32_t moved = others | (std::uint32_t{to} << (4 * slot));
                const unsigned nowOpen = (open & ~(1u << to)) | (1u << from);
                if (!testAndSet(placed_.get(), moved))
                    distance_[moved] = next;
                else if (connected(nowOpen))
                    continue;
                Push(moved, regionFrom(1u << from, nowOpen), nowOpen);
            }
        }
    }

    int k_;
    std::vector<std::uint8_t> distance_;
    std::vector<std::uint64_t> connected_;
    Bits placed_;
    Bits seen_;
    std::vector<std::uint32_t> queue_;
};

// Distances in moves of the group's tiles, one byte a placement, kUnseen where cells repeat.
std::vector<std::uint8_t> distances(const std::vector<std::uint8_t>& homes,
                                    const std::atomic<bool>& cancel) {
    const int k = static_cast<int>(homes.size());
    std::uint32_t home = 0;
    for (int slot = 0; slot < k; ++slot)
        home |= std::uint32_t{homes[static_cast<std::size_t>(slot)]} << (4 * slot);
    StateSearch search(k);
    search.Start(home);
    if (!search.Run(cancel))
        return {};
    return search.TakeDistances();
}

} // namespace

std::vector<std::uint8_t> BuildPatternTable(const std::vector<std::uint8_t>& homes,
                                            const std::atomic<bool>& cancel) {
    const int k = static_cast<int>(homes.size());
    const std::vector<std::uint8_t> distance = distances(homes, cancel);
    if (distance.empty())
        return {};
    std::vector<std::uint8_t> table(PatternTableBytes(k), 0);
    for (std::uint32_t index = 0; index < distance.size(); ++index) {
        if (distance[index] == kUnseen)
            continue;
        int moves = 0;
        for (int slot = 0; slot < k; ++slot)
            moves += manhattan(cellOf(index, slot), homes[static_cast<std::size_t>(slot)]);
        // Smaller is still a lower bound, should a group ever need more than four bits.
        const int extra = std::min((distance[index] - moves) / 2, 15);
        table[index >> 1] |= static_cast<std::uint8_t>(extra << ((index & 1u) * 4));
    }
    return table;
}

} // namespace rules
