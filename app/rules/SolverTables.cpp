// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/SolverTables.h"

#include "app/rules/PatternDatabase.h"
#include "app/rules/PatternLayout.h"

#include <algorithm>
#include <cstring>

namespace rules {
namespace {

constexpr char kMagic[8] = {'V', 'L', 'M', 'R', 'P', 'D', 'B', '1'};
constexpr std::size_t kHeaderBytes = sizeof kMagic + 8;
constexpr std::size_t kChecksumBytes = 8;

std::vector<std::uint8_t> homesOf(const std::uint8_t* tiles, std::size_t count) {
    std::vector<std::uint8_t> homes;
    for (std::size_t i = 0; i < count; ++i)
        homes.push_back(static_cast<std::uint8_t>(tiles[i] - 1));
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

int extraOf(const SolverTables& tables, int group, std::uint32_t index) {
    return PatternExtra(group == 2 ? tables.Three() : tables.Six(), index);
}

} // namespace

SolverTables::SolverTables(std::vector<std::uint8_t> six, std::vector<std::uint8_t> three)
    : six_(std::move(six)), three_(std::move(three)) {}

std::unique_ptr<SolverTables> SolverTables::Build(const std::atomic<bool>& cancel) {
    std::vector<std::uint8_t> six = BuildPatternTable(homesOf(SixTiles.data(), 6), cancel);
    if (six.empty())
        return nullptr;
    std::vector<std::uint8_t> three = BuildPatternTable(homesOf(ThreeTiles.data(), 3), cancel);
    if (three.empty())
        return nullptr;
    return std::unique_ptr<SolverTables>(new SolverTables(std::move(six), std::move(three)));
}

std::string SolverTables::ToBytes() const {
    std::string out(kMagic, sizeof kMagic);
    appendNumber(out, six_.size(), 4);
    appendNumber(out, three_.size(), 4);
    out.append(reinterpret_cast<const char*>(six_.data()), six_.size());
    out.append(reinterpret_cast<const char*>(three_.data()), three_.size());
    appendNumber(out, checksum(out), 8);
    return out;
}

std::unique_ptr<SolverTables> SolverTables::FromBytes(std::string_view bytes) {
    const std::size_t sixBytes = PatternTableBytes(6);
    const std::size_t threeBytes = PatternTableBytes(3);
    if (bytes.size() != kHeaderBytes + sixBytes + threeBytes + kChecksumBytes ||
        std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0 ||
        numberAt(bytes, sizeof kMagic, 4) != sixBytes ||
        numberAt(bytes, sizeof kMagic + 4, 4) != threeBytes)
        return nullptr;
    const std::size_t body = bytes.size() - kChecksumBytes;
    if (numberAt(bytes, body, 8) != checksum(bytes.substr(0, body)))
        return nullptr;
    const auto* six = reinterpret_cast<const std::uint8_t*>(bytes.data() + kHeaderBytes);
    const std::uint8_t* three = six + sixBytes;
    return std::unique_ptr<SolverTables>(
        new SolverTables({six, six + sixBytes}, {three, three + threeBytes}));
}

int SolverTables::Estimate(const std::array<std::uint8_t, 16>& cells) const {
    const PatternLayout& layout = kPatternLayout;
    int distance = 0;
    std::array<std::array<std::uint32_t, PatternLayout::Groups>, PatternLayout::Views> index{};
    for (std::size_t cell = 0; cell < 16; ++cell) {
        const std::size_t tile = cells[cell];
        if (tile == 0)
            continue;
        distance += layout.Distance[tile][cell];
        for (std::size_t view = 0; view < PatternLayout::Views; ++view)
            index[view][layout.Group[view][tile]] |= layout.Bits[view][tile][cell];
    }
    int extra = 0;
    for (std::size_t view = 0; view < PatternLayout::Views; ++view) {
        int sum = 0;
        for (int group = 0; group < PatternLayout::Groups; ++group)
            sum += extraOf(*this, group, index[view][static_cast<std::size_t>(group)]);
        extra = std::max(extra, sum);
    }
    return distance + 2 * extra;
}

} // namespace rules
