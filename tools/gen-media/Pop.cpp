// SPDX-License-Identifier: GPL-3.0-or-later
// Melody 3: a light pop tune of our own in C. Form: hook, verse, chorus, verse, chorus, hook,
// last chord.
#include "Arrange.h"
#include "Media.h"

#include <string>

namespace velmar::media {

namespace {

constexpr int kBar = 4 * kDivision;
constexpr int kStep = kDivision / 4;

const std::string kHookMelody = "!mf e5:8 g5 c6:4 b5:8 g5 e5:4 | a5:2 r | "
                                "f5:8 a5 c6:4 a5:8 f5 c5:4 | d5:8 g5 b5:4 d6 r | ";
const std::string kHookChords = "C | Am | F | G | ";

const std::string kVerseMelody = "!mf e5:8 g5 e5 c5 d5:4 e5 | c5 a4 r:8 a4 c5 e5 | "
                                 "f5:4. e5:8 d5:4 c5 | d5:2 r:8 g4 a4 b4 | "
                                 "e5:8 g5 e5 c5 d5:4 e5 | c5 a4 r:8 a4 c5 e5 | "
                                 "f5:4 a5 g5:8 f5 e5 d5 | c5:2. r:4 | ";
const std::string kVerseChords = "C | Am | F | G | C | Am | F:2 G | C | ";

const std::string kChorusMelody = "!f a5:4 a5:8 g5 a5:4 c6 | b5 g5:8 d5 g5:2 | "
                                  "g5:4 g5:8 e5 g5:4 b5 | a5:4. e5:8 c5:2 | "
                                  "f5:4 f5:8 e5 f5:4 a5 | g5 b5:8 a5 g5:4 d5 | "
                                  "e5 g5:8 e5 c5:4 d5 | c5:2. r:4 | ";
const std::string kChorusChords = "F | G | Em | Am | Dm | G | C | C | ";

const std::string kLastMelody = "!mf c5+e5+g5+c6:1 | ";
const std::string kLastChords = "C | ";

// Root, root, octave, root, root, root, fifth, octave: a bass that walks in eighths.
std::vector<int> popBass(const Chord& chord, int hit) {
    const int root = bassPitch(chord, 36);
    switch (hit) {
    case 2:
    case 7:
        return {root + 12};
    case 6:
        return {fifthAbove(chord, root)};
    default:
        return {root};
    }
}

void addPopDrums(Track& drums, int bars, int chorus1, int chorus2) {
    for (int bar = 0; bar < bars - 1; ++bar) {
        const int tick = bar * kBar;
        const bool chorus =
            (bar >= chorus1 && bar < chorus1 + 8) || (bar >= chorus2 && bar < chorus2 + 8);
        const char* hats = chorus ? "x.o.x.o.x.o.x.X." : "x.o.x.o.x.o.x.o.";
        if (bar < 2) {
            drumBar(drums, tick, kStep, {{42, hats}, {36, "x.......x......."}});
        } else if (bar + 1 == chorus1 || bar + 1 == chorus2 || bar + 2 == bars) {
            drumBar(drums, tick, kStep,
                    {{42, "x.o.x.o.x......."}, {36, "X.....x.X......."}, {38, "....X.....x.xxXX"}});
        } else {
            drumBar(drums, tick, kStep,
                    {{42, hats}, {36, "X.....x.X.x....."}, {38, "....X.......X..o"}});
        }
        if (bar == 4 || bar == chorus1 || bar == chorus2) {
            drumBar(drums, tick, kStep, {{49, "x"}});
        }
    }
    drumBar(drums, (bars - 1) * kBar, kStep, {{49, "X"}, {36, "X"}});
}

} // namespace

std::string popMidi() {
    const std::string song = kHookMelody + kVerseMelody + kChorusMelody + kVerseMelody +
                             kChorusMelody + kHookMelody + kLastMelody;
    const std::vector<Note> melody = parseNotes(song, kBar);
    const std::vector<Chord> chords =
        parseChords(kHookChords + kVerseChords + kChorusChords + kVerseChords + kChorusChords +
                        kHookChords + kLastChords,
                    kBar);
    const int end = chords.back().tick + chords.back().length;
    const int bars = end / kBar;
    const Span body{0, end - kBar};

    Track meta = tempoTrack("Velmar pop (Sliding Along)", 4, 2, 0, 124);
    ritardando(meta, {end - 2 * kBar, end}, 124, 92);

    Track lead("Lead", 1, 80, 82, 64);
    addNotes(lead, melody, 85);

    Track piano("Electric piano", 2, 4, 88, 44);
    comp(piano, chords, body, kBar, kStep, {{0, 5, 76}, {6, 4, 70}, {10, 2, 66}, {12, 4, 72}},
         [](const Chord& chord, int) { return voicing(chord, 55, 3); });
    for (int pitch : voicing(chords.back(), 55, 4)) {
        piano.note(end - kBar, kBar, pitch, 80);
    }

    Track bass("Bass", 3, 33, 100, 64);
    std::vector<Hit> eighths;
    for (int i = 0; i < 8; ++i) {
        eighths.push_back({i * 2, 2, i % 2 == 0 ? 96 : 80});
    }
    comp(bass, chords, body, kBar, kStep, eighths, popBass);
    bass.note(end - kBar, kBar, bassPitch(chords.back(), 36), 100);

    Track guitar("Guitar", 4, 25, 72, 88);
    comp(guitar, chords, {2 * kBar, end - kBar}, kBar, kStep, eighths,
         [](const Chord& chord, int hit) {
             static constexpr int kOrder[] = {0, 1, 2, 3, 2, 1, 2, 3};
             return std::vector<int>{voicing(chord, 60, 4)[kOrder[hit]]};
         });

    Track drums("Drums", 10, 0, 92, 64);
    addPopDrums(drums, bars, 12, 28);

    return smfFile({meta, lead, piano, bass, guitar, drums});
}

} // namespace velmar::media
