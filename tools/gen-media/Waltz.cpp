// SPDX-License-Identifier: GPL-3.0-or-later
// Melody 1: a waltz in D on the theme of Johann Strauss II's "The Blue Danube" (1867), with a
// trio of our own in G. Form: intro, A, A', B, A, coda.
#include "Arrange.h"
#include "Media.h"

#include <algorithm>
#include <string>

namespace velmar::media {

namespace {

constexpr int kBar = 3 * kDivision;

const std::string kIntroMelody = "R4 ";
const std::string kIntroChords = "D | D | A7 | A7 | ";

const std::string kA1Melody = "!mf d4:4 d4 f#4 | a4:2. | r:4 a5 a5 | r f#5 f#5 | "
                              "d4 d4 f#4 | a4:2. | r:4 a5 a5 | r g5 g5 | "
                              "c#4 c#4 e4 | b4:2. | r:4 b5 b5 | r g5 g5 | "
                              "c#4 c#4 e4 | b4:2. | r:4 b5 b5 | r f#5 f#5 | ";
const std::string kA1Chords = "D | D | D | D | D | D | A7 | A7 | "
                              "A7 | Em | A7 | A7 | A7 | Em | A7 | D | ";

const std::string kA2Melody = "!f d4:4 d4 f#4 | a4 d5:2 | r:4 d6 d6 | r a5 a5 | "
                              "d4 d4 f#4 | a4 d5:2 | r:4 d6 d6 | r b5 b5 | "
                              "e4 e4 g4 | b4:2. | b4:4 g#4 a4 | f#5:2 d5:4 | "
                              "f#4:2 e4:4 | b4:2 a4:4 | d4:4 f#4 a4 | d5:2 r:4 | ";
const std::string kA2Chords = "D | D | D | D | D | D | G | G | "
                              "Em | Em | E7 | D | D/A | A7 | D | D | ";

const std::string kBMelody = "!mp d5:2 b4:4 | g4 b4 d5 | e5:2 c5:4 | d5:2. | "
                             "c5:4 a4 f#4 | d4 f#4 a4 | c5:2 b4:4 | b4 g4:2 | "
                             "d5:2 b4:4 | g4 b4 d5 | e5:2 g5:4 | e5:2 c5:4 | "
                             "d5:4 b4 g4 | a4:2 c5:4 | f#4:2 a4:4 | g4:2 r:4 | ";
const std::string kBChords = "G | G | C | G | D7 | D7 | D7 | G | "
                             "G | G | C | C | G/D | D7 | D7 | G | ";

const std::string kCodaMelody = "!f a5:4 f#5 d5 | a4 f#4 d4 | d5:2. | d4+a4+d5:4 r:2 | ";
const std::string kCodaChords = "D | D | A7 | D | ";

// Beat one: the bass, alternating root and fifth from bar to bar.
std::vector<int> waltzBass(const Chord& chord, int bar) {
    return {bar % 2 == 0 ? bassPitch(chord, 38) : fifthAbove(chord, 33)};
}

} // namespace

std::string waltzMidi() {
    const std::string melodyText =
        kIntroMelody + kA1Melody + kA2Melody + kBMelody + kA1Melody + kCodaMelody;
    const std::vector<Chord> chords = parseChords(
        kIntroChords + kA1Chords + kA2Chords + kBChords + kA1Chords + kCodaChords, kBar);
    const std::vector<Note> melody = parseNotes(melodyText, kBar);
    const int end = chords.back().tick + chords.back().length;
    const Span trio{(4 + 32) * kBar, (4 + 48) * kBar};
    const Span body{0, end - kBar};

    Track meta = tempoTrack("Velmar waltz (after The Blue Danube)", 3, 2, 2, 168);
    ritardando(meta, {end - 3 * kBar, end}, 168, 110);

    Track strings("Strings", 1, 48, 100, 52);
    addNotes(strings, melody, 92);

    // The flute doubles the theme, an octave up in the trio where the strings sing lower.
    Track flute("Flute", 2, 73, 82, 80);
    addNotes(flute, within(melody, {0, trio.from}), 85);
    addNotes(flute, within(melody, trio), 90, 12);
    addNotes(flute, within(melody, {trio.to, end}), 85);

    Track pizzicato("Pizzicato", 3, 45, 88, 40);
    comp(pizzicato, chords, body, kBar, kDivision, {{1, 1, 70}, {2, 1, 64}},
         [](const Chord& chord, int) { return voicing(chord, 55, 3); });
    for (int pitch : voicing(chords.back(), 55, 3)) {
        pizzicato.note(end - kBar, kDivision, pitch, 80);
    }

    Track bass("Bass", 4, 32, 104, 64);
    for (int bar = 0; bar * kBar < end; ++bar) {
        const int tick = bar * kBar;
        const Chord& chord = *std::find_if(chords.begin(), chords.end(), [&](const Chord& c) {
            return tick >= c.tick && tick < c.tick + c.length;
        });
        bass.note(tick, kDivision * 2, waltzBass(chord, bar)[0], 96);
    }

    Track drums("Percussion", 10, 48, 80, 64);
    for (int bar = 4; bar * kBar < end - kBar; ++bar) {
        drumBar(drums, bar * kBar, kDivision,
                {{35, bar % 2 == 0 ? "o.." : "..."}, {81, bar % 4 == 0 ? "x.." : "..."}});
    }
    for (int bar : {4, 20, 52}) {
        drumBar(drums, bar * kBar, kDivision, {{49, "o.."}});
    }
    drumBar(drums, end - kBar, kDivision, {{49, "X.."}, {35, "x.."}});

    return smfFile({meta, strings, flute, pizzicato, bass, drums});
}

} // namespace velmar::media
