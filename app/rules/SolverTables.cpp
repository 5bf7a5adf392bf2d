// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/SolverTables.h"

#include "app/rules/PatternDatabase.h"
#include "app/rules/PatternLayout.h"

#include <algorithm>
#include <cstring>

namespace rules {
namespace {

constexpr char kMagic[8] = {'V', 'L', 'M', 'R', 'P', 'D', 'B', '2'};
constexpr std::size_t kHeaderBytes = sizeof kMagic + 4 * TableCount;
constexpr std::size_t kChecksumBytes = 8;
// Strings of up to ten steps are learned in about 60 ms; twelve cut a tenth more nodes but take
// 0.85 s to learn, and their larger automaton left the search no faster.
constexpr int kPruningSteps = 10;

std::vector<std::uint8_t> homesOf(const PatternShape& shape) {
    std::vector<std::uint8_t> homes;
    for (int i = 0; i < shape.Count; ++i)
        homes.push_back(static_cast<std::uint8_t>(shape.Tiles[static_cast<std::size_t>(i)] - 1));
    return homes;
}

// FNV-1a over eight-byte words: not a defence against tampering, but any damage a disk or a
// partial write does changes it.
std::uint64_t checksum(std::string_view bytes) {
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

void appendNumber(std::string& out, std::uint64_t value, int bytes) {
    for (int b = 0; b < bytes; ++b)
        out.push_back(static_cast<char>((value >> (8 * b)) & 0xFF));
}

std::uint64_t numberAt(std::string_view in, std::size_t at, int bytes) {
    std::uint64_t value = 0;
    for (int b = bytes - 1; b >= 0; --b)
        value = (value << 8) | static_cast<unsigned char>(in[at + static_cast<std::size_t>(b)]);
    return value;
}

// Two entries a byte in, four out.
std::vector<std::uint8_t> residuesOf(const std::vector<std::uint8_t>& table) {
    constexpr auto pairs = [] {
        std::array<std::uint8_t, 256> out{};
        for (unsigned byte = 0; byte < 256; ++byte)
            out[byte] =
                static_cast<std::uint8_t>(std::min(byte & 15u, 3u) | std::min(byte >> 4, 3u) << 2);
        return out;
    }();
    std::vector<std::uint8_t> residues((table.size() + 1) / 2);
    for (std::size_t i = 0; i < table.size(); i += 2) {
        const unsigned high = i + 1 < table.size() ? pairs[table[i + 1]] : 0u;
        residues[i / 2] = static_cast<std::uint8_t>(pairs[table[i]] | high << 4);
    }
    return residues;
}

} // namespace

std::uint64_t StoredChecksum(std::string_view bytes) {
    return bytes.size() < kChecksumBytes ? 0 : numberAt(bytes, bytes.size() - kChecksumBytes, 8);
}

SolverTables::SolverTables(std::array<std::vector<std::uint8_t>, TableCount> tables)
    : tables_(std::move(tables)), residues_{residuesOf(tables_[0]), residuesOf(tables_[1]),
                                            residuesOf(tables_[2])},
      pruning_(MovePruning::Learn(kPruningSteps)) {}

std::unique_ptr<SolverTables> SolverTables::Build(const std::atomic<bool>& cancel,
                                                  const BuildThreads& threads) {
    std::array<std::vector<std::uint8_t>, TableCount> tables;
    for (std::size_t id = 0; id < TableCount; ++id) {
        // The three-tile tables take a millisecond: not worth a thread.
        tables[id] = BuildPatternTable(homesOf(TableShapes[id]), cancel,
                                       TableShapes[id].Count > 3 ? threads : BuildThreads{});
        if (tables[id].empty())
            return nullptr;
    }
    return std::unique_ptr<SolverTables>(new SolverTables(std::move(tables)));
}

std::size_t SolverTables::SizeInBytes() const {
    std::size_t size = 0;
    for (std::size_t id = 0; id < TableCount; ++id)
        size += tables_[id].size() + residues_[id].size();
    return size;
}

std::string SolverTables::ToBytes() const {
    std::string out(kMagic, sizeof kMagic);
    for (const auto& table : tables_)
        appendNumber(out, table.size(), 4);
    for (const auto& table : tables_)
        out.append(reinterpret_cast<const char*>(table.data()), table.size());
    appendNumber(out, checksum(out), 8);
    return out;
}

std::unique_ptr<SolverTables> SolverTables::FromBytes(std::string_view bytes) {
    std::size_t expected = kHeaderBytes + kChecksumBytes;
    for (std::size_t id = 0; id < TableCount; ++id)
        expected += PatternTableBytes(TableShapes[id].Count);
    if (bytes.size() != expected || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return nullptr;
    for (std::size_t id = 0; id < TableCount; ++id)
        if (numberAt(bytes, sizeof kMagic + 4 * id, 4) != PatternTableBytes(TableShapes[id].Count))
            return nullptr;
    const std::size_t body = bytes.size() - kChecksumBytes;
    if (StoredChecksum(bytes) != checksum(bytes.substr(0, body)))
        return nullptr;
    std::array<std::vector<std::uint8_t>, TableCount> tables;
    const auto* at = reinterpret_cast<const std::uint8_t*>(bytes.data() + kHeaderBytes);
    for (std::size_t id = 0; id < TableCount; ++id) {
        const std::size_t size = PatternTableBytes(TableShapes[id].Count);
        tables[id].assign(at, at + size);
        at += size;
    }
    return std::unique_ptr<SolverTables>(new SolverTables(std::move(tables)));
}

int SolverTables::Estimate(const std::array<std::uint8_t, 16>& cells) const {
    const PatternLayout& layout = kPatternLayout;
    int distance = 0;
    std::array<std::array<std::uint32_t, PatternLayout::Groups>, PatternLayout::Slots> index{};
    for (std::size_t cell = 0; cell < 16; ++cell) {
        const std::size_t tile = cells[cell];
        if (tile == 0)
            continue;
        const PatternLayout::Tile& entry = layout.Tiles[tile];
        distance += entry.Distance[cell];
        for (std::size_t slot = 0; slot < PatternLayout::Slots; ++slot)
            index[slot][entry.Group[slot]] |= entry.Bits[slot][cell];
    }
    int extra = 0;
    for (std::size_t slot = 0; slot < PatternLayout::Slots; ++slot) {
        int sum = 0;
        for (std::size_t group = 0; group < PatternLayout::Groups; ++group)
            sum += PatternExtra(Table(layout.Table[slot][group]), index[slot][group]);
        extra = std::max(extra, sum);
    }
    return distance + 2 * extra;
}

} // namespace rules
