// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// One channel message of a melody, timed in output frames from its start.
struct MidiEvent {
    std::uint64_t frame = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

// A standard MIDI file flattened to one time-ordered list, so the audio callback only walks
// an array: no parsing, no allocation.
struct MidiSong {
    std::vector<MidiEvent> events;
    std::uint64_t lengthFrames = 0;
};

// A melody file larger than this is refused unread; the game's own are a few kilobytes, and the
// flattened song takes several times the file's size.
inline constexpr std::size_t kMidiFileLimit = std::size_t{1} << 20;

// Reads a format 0 or 1 standard MIDI file; anything else is no song.
std::optional<MidiSong> ParseMidi(const QByteArray& file, int rate);

} // namespace platform
