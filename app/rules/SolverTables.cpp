// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/SolverTables.h"

#include "app/rules/PatternDatabase.h"
#include "app/rules/PatternLayout.h"
#include "app/rules/SolverEstimate.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace rules {
namespace {

// Each set's mark; the six-tile set's earlier forms, VLMRPDB1 to VLMRPDB3, are refused.
constexpr char kSixMark[8] = {'V', 'L', 'M', 'R', 'P', 'D', 'B', '4'};
constexpr char kSevenMark[8] = {'V', 'L', 'M', 'R', 'S', 'E', 'V', '1'};
const char* markOf(TableKind kind) {
    return kind == TableKind::Six ? kSixMark : kSevenMark;
}
constexpr std::uint32_t kByteOrder = 0x01020304;
constexpr std::size_t kHeaderBytes = 64;
constexpr std::size_t kAlign = 64;
// Strings of up to ten steps are learned in about 60 ms; twelve cut a tenth more nodes but take
// 0.85 s to learn, and their larger automaton left the search no faster.
constexpr int kPruningSteps = 10;
using Transition = std::array<MovePruning::State, StepCount>;

// Where each part of the block lies.
struct Layout {
    std::array<std::size_t, TableCount> Table{};
    std::size_t Pruning = 0;
    std::size_t Size = 0;
};

std::size_t aligned(std::size_t at) {
    return (at + kAlign - 1) / kAlign * kAlign;
}

std::size_t tableBytes(TableKind kind, int tiles) {
    return kind == TableKind::Six ? PatternTableBytes(tiles) : PartTableBytes(tiles);
}

Layout layoutFor(TableKind kind, std::size_t pruningStates) {
    Layout layout;
    std::size_t at = kHeaderBytes;
    for (std::size_t id = 0; id < TableCount; ++id) {
        layout.Table[id] = at;
        at = aligned(at + tableBytes(kind, TableSetOf(kind).Shapes[id].Count));
    }
    layout.Pruning = at;
    layout.Size = aligned(at + pruningStates * sizeof(Transition));
    return layout;
}

// The header's fields, at fixed places.
constexpr std::size_t kOrderAt = 8;
constexpr std::size_t kStatesAt = 12;
constexpr std::size_t kSizeAt = 16;
constexpr std::size_t kChecksumAt = 24;

template <typename T> T fieldAt(std::string_view bytes, std::size_t at) {
    T value{};
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

template <typename T> void putField(std::string& bytes, std::size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

std::vector<std::uint8_t> homesOf(const PatternShape& shape) {
    std::vector<std::uint8_t> homes;
    for (int i = 0; i < shape.Count; ++i)
        homes.push_back(static_cast<std::uint8_t>(shape.Tiles[static_cast<std::size_t>(i)] - 1));
    return homes;
}

std::string blockOf(TableKind kind, const std::array<std::vector<std::uint8_t>, TableCount>& tables,
                    const MovePruning& pruning) {
    const std::vector<Transition>& transitions = pruning.Transitions();
    const Layout layout = layoutFor(kind, transitions.size());
    std::string block(layout.Size, '\0');
    std::memcpy(block.data(), markOf(kind), sizeof kSixMark);
    putField(block, kOrderAt, kByteOrder);
    putField(block, kStatesAt, static_cast<std::uint32_t>(transitions.size()));
    putField(block, kSizeAt, static_cast<std::uint64_t>(layout.Size));
    auto* bytes = reinterpret_cast<std::uint8_t*>(block.data());
    for (std::size_t id = 0; id < TableCount; ++id) {
        std::memcpy(bytes + layout.Table[id], tables[id].data(), tables[id].size());
    }
    std::memcpy(bytes + layout.Pruning, transitions.data(),
                transitions.size() * sizeof(Transition));
    putField(block, kChecksumAt, BlockChecksum(block));
    return block;
}

// FNV-1a over eight-byte words, least significant byte first: the pinned entries' checksum.
std::uint64_t fnvChecksum(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word = 0;
        for (int b = 7; b >= 0; --b)
            word = (word << 8) | static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(b)]);
        hash = (hash ^ word) * 1099511628211ull;
    }
    for (; i < bytes.size(); ++i)
        hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
    return hash;
}

} // namespace

std::uint64_t BlockChecksum(std::string_view block) {
    // Four lanes, so the multiplications overlap: a few milliseconds for the seven-tile block.
    // Each step is a bijection of its lane, so any one changed word changes the result.
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::array<std::uint64_t, 4> lanes = {1, 2, 3, 4};
    const auto mix = [&lanes](const std::array<std::uint64_t, 4>& words) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            const std::uint64_t mixed = lanes[lane] ^ words[lane];
            lanes[lane] = ((mixed << 23) | (mixed >> 41)) * kMultiplier;
        }
    };
    static_assert(kChecksumAt + 8 <= 32);
    std::array<std::uint64_t, 4> words{};
    std::size_t i = 0;
    if (block.size() >= 32) {
        // The first 32 bytes hold the checksum's own place, which counts as zero; the rest of
        // the loop then needs no test.
        std::memcpy(words.data(), block.data(), 32);
        words[kChecksumAt / 8] = 0;
        mix(words);
        i = 32;
    }
    for (; i + 32 <= block.size(); i += 32) {
        std::memcpy(words.data(), block.data() + i, 32);
        mix(words);
    }
    std::uint64_t hash = block.size();
    for (; i < block.size(); ++i)
        hash = (hash ^ static_cast<unsigned char>(block[i])) * kMultiplier;
    for (const std::uint64_t lane : lanes)
        hash = (hash ^ lane) * kMultiplier;
    return hash ^ (hash >> 31);
}

SolverTables::SolverTables(TableKind kind, std::string_view bytes,
                           std::shared_ptr<const void> owner, MovePruning pruning)
    : kind_(kind), owner_(std::move(owner)), bytes_(bytes), pruning_(std::move(pruning)) {
    const Layout layout = layoutFor(kind_, pruning_.StateCount());
    const auto* at = reinterpret_cast<const std::uint8_t*>(bytes_.data());
    for (std::size_t id = 0; id < TableCount; ++id) {
        tables_[id] = at + layout.Table[id];
        const std::vector<std::uint8_t> homes = homesOf(Set().Shapes[id]);
        if (kind_ == TableKind::Six)
            patterns_[id] = PatternTable(tables_[id], homes);
        else
            parts_[id] = PartTable(tables_[id], homes);
    }
}

std::unique_ptr<SolverTables> SolverTables::Build(const std::atomic<bool>& cancel,
                                                  const BuildThreads& threads, TableKind kind) {
    std::array<std::vector<std::uint8_t>, TableCount> tables;
    for (std::size_t id = 0; id < TableCount; ++id) {
        const PatternShape& shape = TableSetOf(kind).Shapes[id];
        // The small tables take a millisecond: not worth a thread.
        const BuildThreads& helpers = shape.Count > 3 ? threads : BuildThreads{};
        tables[id] = kind == TableKind::Six ? BuildPatternTable(homesOf(shape), cancel, helpers)
                                            : BuildPartTable(homesOf(shape), cancel, helpers);
        if (tables[id].empty())
            return nullptr;
    }
    MovePruning pruning = MovePruning::Learn(kPruningSteps);
    auto block = std::make_shared<const std::string>(blockOf(kind, tables, pruning));
    const std::string_view bytes = *block;
    return std::unique_ptr<SolverTables>(
        new SolverTables(kind, bytes, std::move(block), std::move(pruning)));
}

std::unique_ptr<SolverTables> SolverTables::FromBytes(std::string_view bytes) {
    auto copy = std::make_shared<const std::string>(bytes);
    const std::string_view view = *copy;
    return FromBytes(view, std::move(copy));
}

std::unique_ptr<SolverTables> SolverTables::FromBytes(std::string_view bytes,
                                                      std::shared_ptr<const void> owner) {
    if (bytes.size() < kHeaderBytes || fieldAt<std::uint32_t>(bytes, kOrderAt) != kByteOrder ||
        fieldAt<std::uint64_t>(bytes, kSizeAt) != bytes.size())
        return nullptr;
    TableKind kind = TableKind::Six;
    if (std::memcmp(bytes.data(), kSevenMark, sizeof kSevenMark) == 0)
        kind = TableKind::Seven;
    else if (std::memcmp(bytes.data(), kSixMark, sizeof kSixMark) != 0)
        return nullptr;
    const auto states = fieldAt<std::uint32_t>(bytes, kStatesAt);
    const Layout layout = layoutFor(kind, states);
    if (layout.Size != bytes.size() ||
        BlockChecksum(bytes) != fieldAt<std::uint64_t>(bytes, kChecksumAt))
        return nullptr;
    std::vector<Transition> transitions(states);
    std::memcpy(transitions.data(), bytes.data() + layout.Pruning, states * sizeof(Transition));
    std::optional<MovePruning> pruning = MovePruning::FromTransitions(std::move(transitions));
    if (!pruning)
        return nullptr;
    return std::unique_ptr<SolverTables>(
        new SolverTables(kind, bytes, std::move(owner), std::move(*pruning)));
}

std::uint64_t SolverTables::EntriesChecksum() const {
    std::string entries;
    for (std::size_t id = 0; id < TableCount; ++id)
        entries.append(reinterpret_cast<const char*>(tables_[id]),
                       tableBytes(kind_, Set().Shapes[id].Count));
    return fnvChecksum(entries);
}

int SolverTables::Estimate(const std::array<std::uint8_t, 16>& cells) const {
    return kind_ == TableKind::Six ? EstimateOf<TableKind::Six>(cells, *this).Estimate()
                                   : EstimateOf<TableKind::Seven>(cells, *this).Estimate();
}

} // namespace rules
