// SPDX-License-Identifier: GPL-3.0-or-later
// The soundfont's preset data as the view reads it: list layout, zone sense and the index's
// innards, shared by the reader and the selection of a view.
#pragma once

#include "platform/audio/SoundfontView.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

namespace sf2 {

using ReadFile = std::function<bool(std::uint64_t, std::uint64_t, void*)>;

// The preset data of a General MIDI font is a few hundred kilobytes; anything claiming more
// than this is not read at all.
constexpr std::uint64_t kMaxPdta = 64u << 20;

using Keys = std::bitset<128>;

constexpr std::uint16_t kGenInstrument = 41;
constexpr std::uint16_t kGenKeyRange = 43;
constexpr std::uint16_t kGenSampleId = 53;

// A sample header's link to the other half of a stereo pair, and its type.
constexpr std::size_t kSampleLinkField = 42;
constexpr std::size_t kSampleTypeField = 44;
constexpr std::uint16_t kStereoTypes = 2 | 4 | 8; // right, left, linked (also in ROM)

// The nine lists of "pdta", in the order a file stores them and the synthesizer reads them.
enum List { kPhdr, kPbag, kPmod, kPgen, kInst, kIbag, kImod, kIgen, kShdr, kListCount };
constexpr std::array<std::string_view, kListCount> kListIds = {
    "phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"};
constexpr std::array<std::size_t, kListCount> kRecordSizes = {38, 4, 10, 4, 22, 4, 10, 4, 46};

inline std::uint16_t u16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
inline std::uint32_t u32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v & 0xFF));
    out.push_back(std::uint8_t((v >> 8) & 0xFF));
}
inline void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
inline void putId(std::vector<std::uint8_t>& out, std::string_view id) {
    out.insert(out.end(), id.begin(), id.end());
}

inline bool isId(const std::uint8_t* p, std::string_view id) {
    return std::memcmp(p, id.data(), 4) == 0;
}

// Walks the chunks between `begin` and `end`, each padded to an even size, calling
// visit(id, body offset, body size). False when a header or a padded body leaves the range.
template <typename ReadBytes, typename Visit>
inline bool walkChunks(std::uint64_t begin, std::uint64_t end, ReadBytes&& readBytes,
                       Visit&& visit) {
    std::uint64_t pos = begin;
    while (pos < end) {
        std::uint8_t header[8];
        if (end - pos < 8 || !readBytes(pos, 8, header))
            return false;
        const std::uint64_t size = u32(header + 4);
        const std::uint64_t padded = size + (size & 1);
        if (padded > end - pos - 8)
            return false;
        if (!visit(header, pos + 8, size))
            return false;
        pos += 8 + padded;
    }
    return true;
}

inline Keys keysBetween(unsigned lo, unsigned hi) {
    Keys keys;
    for (unsigned key = lo; key <= std::min(hi, 127u); ++key)
        keys.set(key);
    return keys;
}

// A zone as the synthesizer reads it: a key range counts only as the zone's first generator,
// and the first instrument (or sample) generator ends the zone; a zone without one is a global
// zone, moved to the front or dropped, wherever it stands.
struct ZoneSense {
    std::optional<std::size_t> index;
    Keys range = Keys().set();
};

} // namespace sf2

struct SoundfontIndex::Impl {
    using List = sf2::List;
    using ZoneSense = sf2::ZoneSense;
    using Keys = sf2::Keys;
    struct Range {
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };
    Range info; // whole "LIST" chunks, header included
    Range sdta;
    std::vector<std::uint8_t> pdta;                   // the body of "pdta"
    std::array<std::size_t, sf2::kListCount> at{};    // where each list's records start in pdta
    std::array<std::size_t, sf2::kListCount> count{}; // records, the terminal one included
    std::map<std::uint32_t, std::size_t> presets;     // bank << 16 | program to its first header

    const std::uint8_t* record(List list, std::size_t i) const {
        return pdta.data() + at[list] + i * sf2::kRecordSizes[list];
    }
    // The first zone of header i (preset or instrument); header i + 1 closes the range.
    std::size_t bagOf(List headers, std::size_t i) const {
        return sf2::u16(record(headers, i) + (headers == sf2::kPhdr ? 24 : 20));
    }
    std::size_t genOf(List bags, std::size_t z) const { return sf2::u16(record(bags, z)); }
    std::size_t modOf(List bags, std::size_t z) const { return sf2::u16(record(bags, z) + 2); }

    ZoneSense zoneOf(List bags, List gens, std::uint16_t indexGen, std::size_t z) const;
    bool parsePdta();
    bool checkZones(List headers, List bags, List mods, List gens, std::uint16_t indexGen,
                    std::size_t indexLimit) const;
    void copyZones(List headers, std::size_t i, const std::vector<std::size_t>& zones, List bags,
                   List mods, List gens,
                   std::array<std::vector<std::uint8_t>, sf2::kListCount>& out,
                   const std::map<std::size_t, std::size_t>& renumbered) const;
};

} // namespace platform
