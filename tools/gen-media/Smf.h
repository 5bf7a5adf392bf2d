// SPDX-License-Identifier: GPL-3.0-or-later
// Standard MIDI file writer: tracks of timed events serialised as a format 1 file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmar::media {

inline constexpr int kDivision = 120; // ticks per quarter note

class Track {
public:
    // A track named for the sequencer; channel is 1..16 (10 = drums), program a GM number 0..127.
    explicit Track(std::string_view name);
    Track(std::string_view name, int channel, int program, int volume, int pan);

    void note(int tick, int length, int pitch, int velocity);
    void tempo(int tick, double quarterNotesPerMinute);
    void timeSignature(int tick, int numerator, int denominatorPower);
    void keySignature(int tick, int sharps, bool minor);
    void controller(int tick, int number, int value);

    int channel() const { return channel_; }
    int endTick() const;
    // The MTrk chunk, ending at endTick (or later if a note still sounds).
    std::string chunk(int endTick) const;

private:
    struct Event {
        int tick;
        int order; // note-offs first at a tick, so a repeated pitch is released before it sounds
        int serial;
        std::string bytes;
    };
    void add(int tick, int order, std::string bytes);

    int channel_ = 0;
    std::vector<Event> events_;
};

// Format 1: the first track carries tempo and meter, the others the instruments.
std::string smfFile(const std::vector<Track>& tracks);

} // namespace velmar::media
