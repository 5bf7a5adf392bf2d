// SPDX-License-Identifier: GPL-3.0-or-later
// Accompaniment and drum patterns laid over a chord chart, and the tempo track.
#pragma once

#include "Score.h"

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace velmar::media {

struct Hit {
    int step;  // start, in steps from the bar line
    int steps; // sounding length in steps
    int velocity;
};

// The pitches one hit plays: the chord under it and the hit's index in the pattern.
using Voicer = std::function<std::vector<int>(const Chord&, int hitIndex)>;

struct Span {
    int from; // ticks, bar-aligned
    int to;
};

// Repeats the one-bar pattern over every bar of the span, voicing each hit from its chord.
void comp(Track& track, const std::vector<Chord>& chords, Span span, int barTicks, int stepTicks,
          const std::vector<Hit>& pattern, const Voicer& voicer);

// One bar of drums: a line per instrument, one character per step: 'X' accent, 'x' normal,
// 'o' soft, anything else silent.
using DrumLine = std::pair<int, std::string_view>;
void drumBar(Track& track, int barTick, int stepTicks, const std::vector<DrumLine>& lines);

// The first track: title, meter, key, tempo, and a slowing of the last bars.
Track tempoTrack(std::string_view title, int numerator, int denominatorPower, int sharps,
                 double tempo);
void ritardando(Track& tempoTrack, Span span, double from, double to);

std::vector<Note> transposed(std::vector<Note> notes, int semitones);
std::vector<Chord> transposed(std::vector<Chord> chords, int semitones);
std::vector<Note> within(const std::vector<Note>& notes, Span span);

} // namespace velmar::media
