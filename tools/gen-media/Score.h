// SPDX-License-Identifier: GPL-3.0-or-later
// A small text notation for melodies and chord charts, checked bar by bar.
//
// Notes: pitch name, optional # or b, octave (c4 = middle C = 60), then an optional ":" and a
// length: 1, 2, 4, 8, 16, optionally dotted ("4.") or "8t" for a triplet eighth. A length carries
// over to the following notes. "r" is a rest, "a3+c#4+e4" a chord, "R4" four bars of rest,
// "|" a bar line (each bar must add up to the meter), "!p" "!mp" "!mf" "!f" "!ff" set loudness,
// "~" at the end of a note ties it to the next one of the same pitch ("g4:2~ | g4:4").
#pragma once

#include "Smf.h"

#include <string_view>
#include <vector>

namespace velmar::media {

struct Note {
    int tick;
    int length;
    int pitch;
    int velocity;
};

struct Chord {
    int tick;
    int length;
    int root;                   // pitch class 0..11
    std::vector<int> intervals; // semitones above the root, the root included
    int bass;                   // pitch class of the bass note
};

std::vector<Note> parseNotes(std::string_view text, int barTicks);

// Chord symbols such as "D", "A7", "Em", "Bdim", "Gsus4", "C/E", "Fmaj7", with lengths as above;
// after a bar line the length is a whole bar again.
std::vector<Chord> parseChords(std::string_view text, int barTicks);

// The chord's tones in close position starting at or above pitch low.
std::vector<int> voicing(const Chord& chord, int low, int count);

// The lowest pitch of the bass's pitch class at or above low.
int bassPitch(const Chord& chord, int low);
int fifthAbove(const Chord& chord, int low);

// Adds the notes with a gate: the sounding share of each note's length, in percent.
void addNotes(Track& track, const std::vector<Note>& notes, int gatePercent, int transpose = 0);

int endOf(const std::vector<Note>& notes);

} // namespace velmar::media
