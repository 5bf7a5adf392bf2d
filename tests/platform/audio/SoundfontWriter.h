// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small SoundFont 2 writer for the soundfont view's tests: fonts of a few presets,
// instruments and samples, written byte for byte, and the fonts a view of them should equal.

#include <array>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sf2_writer {

using Bytes = std::vector<std::uint8_t>;
using Keys = std::bitset<128>;

// Little-endian: `n` bytes of `v`; text padded with zeros to `width`; 16 bits at `at`.
void put(Bytes& b, std::uint32_t v, int n);
void putText(Bytes& b, std::string_view s, std::size_t width);
void set16(Bytes& b, std::size_t at, std::uint32_t v);

struct Zone {
    std::vector<std::array<std::uint16_t, 2>> gens; // operator, amount
    std::vector<std::array<std::uint16_t, 5>> mods;
};
struct Preset {
    std::string name;
    int program = 0;
    int bank = 0;
    std::vector<Zone> zones;
};
struct Instrument {
    std::string name;
    std::vector<Zone> zones;
};
struct Font {
    std::vector<Preset> presets;
    std::vector<Instrument> instruments;
    int samples = 3;
    bool sm24 = false;
    std::map<int, std::array<int, 2>> stereo; // a sample's type and the one it links to
    std::optional<std::vector<int>> headers;  // the samples given a header (none: every one)
};

struct Chunk {
    std::string id;
    Bytes body;
};

Bytes serialize(const Chunk& c);

Chunk list(std::string_view type, const std::vector<Chunk>& subs);

Bytes riff(const std::vector<Chunk>& top);

constexpr int kSampleFrames = 64 + 46; // each sample and the silence that must follow it

struct Parts {
    std::vector<Chunk> info, sdta, pdta;
};

Parts parts(const Font& f);

std::vector<Chunk> lists(const Parts& p);

Bytes write(const Font& f);

// The three lists of the font, then `extra` top-level chunks.
Bytes writeWith(const Font& f, const std::vector<Chunk>& extra);

Bytes& body(std::vector<Chunk>& chunks, std::string_view id);

// Three presets over three instruments: (0,48) plays instrument 2, the drum kit instrument 1
// in two zones, so a view renumbers both.
Font baseFont();

// The samples the instruments name and the other halves of their stereo pairs, in file order;
// their generators renumbered.
void keepNamedSamples(Font& f);

// The font as the view of `presets` should be: those presets in file order, the instruments
// they use in file order, the instrument and sample generators renumbered, the sample headers
// of those the instruments name.
Font expectedFont(const Font& base, const std::vector<int>& presets,
                  const std::vector<int>& instruments);

// The amount of a key range generator (43): low key in the low byte.
constexpr std::uint16_t range(int lo, int hi) {
    return std::uint16_t(lo | (hi << 8));
}

Keys keysOf(std::initializer_list<int> keys);

Keys keysBetween(int lo, int hi);

// Presets and instruments with key-ranged zones, as General MIDI fonts have them: a kit of one
// zone per key, a melodic instrument sampled in three ranges, an instrument two presets share,
// and one written the odd ways the synthesizer still reads.
Font keyedFont();

// Header index and the zones of it a view keeps, in file order.
using Kept = std::vector<std::pair<int, std::vector<int>>>;

// The font as a view keeping only some zones should be: `presets` and `instruments` name the
// headers kept with their zones; the instrument generators are renumbered.
Font expectedZones(const Font& base, const Kept& presets, const Kept& instruments);

} // namespace sf2_writer
