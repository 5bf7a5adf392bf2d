// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

// A SoundFont 2 file seen with only some of its presets. The synthesizer builds its tables for
// every preset and instrument zone of a font it loads, tens of megabytes for a full General
// MIDI font; a view naming the few presets a melody uses costs a few hundred kilobytes, while
// the sample data is still read from the original file, only as far as it is played.
//
// The view is a virtual file made of segments: bytes held here, or ranges of the original.
struct SoundfontSegment {
    std::uint64_t size = 0;
    std::uint64_t fileOffset = 0;   // where the bytes come from in the original file
    std::vector<std::uint8_t> held; // or, when not empty, the bytes themselves (size of them)
};

struct SoundfontView {
    std::vector<SoundfontSegment> segments;
    std::uint64_t Size() const;
    // Copies up to `count` bytes from `offset` of the virtual file, reading the original
    // through `readFile` (offset, count, destination; false on a failed read). Returns the
    // bytes copied, or -1 on a failed read.
    std::int64_t
    Read(std::uint64_t offset, void* out, std::uint64_t count,
         const std::function<bool(std::uint64_t, std::uint64_t, void*)>& readFile) const;
};

// A preset a melody plays, (bank, program), and the keys it strikes on it. A drum kit holds
// a sample for each of some fifty keys, of which a melody strikes a handful.
struct SoundfontPreset {
    int bank = 0;
    int program = 0;
    std::bitset<128> keys = std::bitset<128>().set(); // every key unless told
    bool operator==(const SoundfontPreset&) const = default;
};

// What is needed of the original file to build views: its chunk layout and the preset data
// (the "pdta" list), read once. Sample data is never read here.
class SoundfontIndex {
public:
    // `readFile` as above; `fileSize` is the original's size. No index for anything that is
    // not a well-formed SoundFont 2 file (sizes and indices are checked, never trusted).
    static std::optional<SoundfontIndex>
    Read(std::uint64_t fileSize,
         const std::function<bool(std::uint64_t, std::uint64_t, void*)>& readFile);

    // The view holds the presets asked for that the font has, and for each one it lacks, the
    // one the synthesizer would choose instead: the same program in bank 0 for a melodic bank,
    // program 0 of bank 128 for a drum kit; that one plays the keys of what it stands in for.
    // Of each preset only the zones that can sound for its keys come along, and of each
    // instrument only those its kept preset zones can reach; zones without an instrument or
    // sample (global zones) always stay. Of the sample headers only those the kept zones name
    // stay, with the other half of each stereo pair; the sample data stays where it is.
    SoundfontView Select(const std::vector<SoundfontPreset>& presets) const;

    bool Has(int bank, int program) const;

    struct Impl;
    SoundfontIndex(); // empty; use Read
    SoundfontIndex(SoundfontIndex&&) noexcept;
    SoundfontIndex& operator=(SoundfontIndex&&) noexcept;
    ~SoundfontIndex();

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
