// SPDX-License-Identifier: GPL-3.0-or-later
#include "Arrange.h"

#include <stdexcept>

namespace velmar::media {

namespace {

const Chord& chordAt(const std::vector<Chord>& chords, int tick) {
    for (const Chord& chord : chords) {
        if (tick >= chord.tick && tick < chord.tick + chord.length) {
            return chord;
        }
    }
    throw std::out_of_range("no chord at tick " + std::to_string(tick));
}

} // namespace

void comp(Track& track, const std::vector<Chord>& chords, Span span, int barTicks, int stepTicks,
          const std::vector<Hit>& pattern, const Voicer& voicer) {
    for (int bar = span.from; bar < span.to; bar += barTicks) {
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            const Hit& hit = pattern[i];
            const int tick = bar + hit.step * stepTicks;
            for (int pitch : voicer(chordAt(chords, tick), static_cast<int>(i))) {
                track.note(tick, hit.steps * stepTicks, pitch, hit.velocity);
            }
        }
    }
}

void drumBar(Track& track, int barTick, int stepTicks, const std::vector<DrumLine>& lines) {
    for (const auto& [instrument, steps] : lines) {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const int velocity = steps[i] == 'X' ? 112 : steps[i] == 'x' ? 88 : 56;
            if (steps[i] == 'X' || steps[i] == 'x' || steps[i] == 'o') {
                track.note(barTick + static_cast<int>(i) * stepTicks, stepTicks, instrument,
                           velocity);
            }
        }
    }
}

Track tempoTrack(std::string_view title, int numerator, int denominatorPower, int sharps,
                 double tempo) {
    Track track(title);
    track.timeSignature(0, numerator, denominatorPower);
    track.keySignature(0, sharps, false);
    track.tempo(0, tempo);
    return track;
}

void ritardando(Track& tempoTrack, Span span, double from, double to) {
    constexpr int kSteps = 8;
    for (int i = 0; i < kSteps; ++i) {
        const int tick = span.from + (span.to - span.from) * i / kSteps;
        tempoTrack.tempo(tick, from + (to - from) * (i + 1) / kSteps);
    }
}

std::vector<Note> transposed(std::vector<Note> notes, int semitones) {
    for (Note& note : notes) {
        note.pitch += semitones;
    }
    return notes;
}

std::vector<Chord> transposed(std::vector<Chord> chords, int semitones) {
    for (Chord& chord : chords) {
        chord.root = (chord.root + semitones + 12) % 12;
        chord.bass = (chord.bass + semitones + 12) % 12;
    }
    return chords;
}

std::vector<Note> within(const std::vector<Note>& notes, Span span) {
    std::vector<Note> out;
    for (const Note& note : notes) {
        if (note.tick >= span.from && note.tick < span.to) {
            out.push_back(note);
        }
    }
    return out;
}

} // namespace velmar::media
