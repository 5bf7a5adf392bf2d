// SPDX-License-Identifier: GPL-3.0-or-later
// Melody 2: a brass-band march on the traditional "Yankee Doodle", with a trio of our own in
// the subdominant where the trombones take the tune. Written in G, sounding in B flat.
// Form: fanfare, verse and chorus, trio, verse and chorus, closing fanfare.
#include "Arrange.h"
#include "Media.h"

#include <string>

namespace velmar::media {

namespace {

constexpr int kBar = 4 * kDivision;
constexpr int kStep = kDivision / 4;
constexpr int kUp = 3; // G to B flat

const std::string kIntroMelody = "!f g4:8t g4 g4 b4:4 g4:8t g4 g4 d5:4 | d5:2. r:4 | ";
const std::string kIntroChords = "G | D7 | ";

const std::string kVerseMelody = "!f g4:4 g4 a4 b4 | g4 b4 a4 d4 | g4 g4 a4 b4 | g4:2 f#4 | "
                                 "g4:4 g4 a4 b4 | c5 b4 a4 g4 | f#4 d4 e4 f#4 | g4:2 g4 | ";
const std::string kVerseChords = "G | G:2 D7 | G | G:2 D7 | G | C:2 G | D7 | G | ";

const std::string kChorusMelody =
    "e4:4. f#4:8 e4:4 d4 | e4 f#4 g4:2 | d4:4. e4:8 d4:4 c4 | b3:2 d4 | "
    "e4:4. f#4:8 e4:4 d4 | e4 f#4 g4 e4 | d4 g4 f#4 a4 | g4:2 g4 | ";
const std::string kChorusChords = "C | C:2 G | D7 | G | C | C | G:2 D7 | G | ";

const std::string kTrioMelody = "!mf e4:4. f4:8 g4:4 c5 | b4:2 g4 | a4:4. b4:8 c5:4 a4 | g4:2. "
                                "r:4 | e4:4. f4:8 g4:4 c5 | e5:2 c5:4 a4 | g4 f4 e4 d4 | "
                                "c4:2 d4:4 f#4 | ";
const std::string kTrioChords = "C | G7 | F | G | C | Am | G7 | C:2 D7 | ";

const std::string kEndMelody = "!ff g4:8t g4 g4 b4:4 d5:8t d5 d5 g5:4 | g4+b4+d5+g5:2 r:2 | ";
const std::string kEndChords = "G | G | ";

Track voiced(const char* name, int channel, int program, int volume, int pan) {
    return Track(name, channel, program, volume, pan);
}

void addMarchDrums(Track& drums, int bars) {
    for (int bar = 0; bar < bars; ++bar) {
        const int tick = bar * kBar;
        if (bar == 0) {
            drumBar(drums, tick, kStep, {{38, "oooooooxxxxxxxXX"}});
        } else if (bar == 1 || bar >= bars - 2) {
            drumBar(drums, tick, kStep, {{38, "X.x.X.x.X......."}, {36, "X.......X......."}});
        } else if (bar % 8 == 2) {
            drumBar(drums, tick, kStep,
                    {{38, "X..xX...X..xX.x."}, {36, "X.......X......."}, {49, "x..............."}});
        } else if (bar % 8 == 1) {
            drumBar(drums, tick, kStep, {{38, "X..xX.x.xxxxXXXX"}, {36, "X.......X......."}});
        } else {
            drumBar(drums, tick, kStep, {{38, "X..xX...X..xX..."}, {36, "X.......X......."}});
        }
    }
    drumBar(drums, (bars - 1) * kBar, kStep, {{49, "X..............."}, {57, "X......."}});
}

} // namespace

std::string marchMidi() {
    const std::string first = kVerseMelody + kChorusMelody;
    const std::vector<Note> melody =
        transposed(parseNotes(kIntroMelody + first + kTrioMelody + first + kEndMelody, kBar), kUp);
    const std::string firstChords = kVerseChords + kChorusChords;
    const std::vector<Chord> chords = transposed(
        parseChords(kIntroChords + firstChords + kTrioChords + firstChords + kEndChords, kBar),
        kUp);
    const int end = chords.back().tick + chords.back().length;
    const int bars = end / kBar;
    const Span trio{18 * kBar, 26 * kBar};
    const Span body{0, end - kBar};

    Track meta = tempoTrack("Velmar march (Yankee Doodle)", 4, 2, -2, 132);
    ritardando(meta, {end - 2 * kBar, end}, 132, 96);

    Track trumpets = voiced("Trumpets", 1, 56, 108, 56);
    addNotes(trumpets, within(melody, {0, trio.from}), 80);
    addNotes(trumpets, within(melody, {trio.to, end}), 80);

    Track piccolo = voiced("Piccolo", 2, 72, 70, 88);
    addNotes(piccolo, within(melody, {10 * kBar, trio.from}), 75, 12);
    addNotes(piccolo, within(melody, {trio.to + 8 * kBar, end}), 75, 12);

    Track horns = voiced("Horns", 3, 60, 84, 40);
    comp(horns, chords, body, kBar, kStep, {{4, 3, 74}, {12, 3, 70}},
         [](const Chord& chord, int) { return voicing(chord, 52, 3); });

    // The trombones hold the harmony, then sing the trio's tune an octave down.
    Track trombones = voiced("Trombones", 4, 57, 92, 72);
    comp(trombones, chords, {0, trio.from}, kBar, kStep, {{0, 7, 72}, {8, 7, 68}},
         [](const Chord& chord, int) { return voicing(chord, 47, 2); });
    addNotes(trombones, transposed(within(melody, trio), -12), 90);
    comp(trombones, chords, {trio.to, end - kBar}, kBar, kStep, {{0, 7, 72}, {8, 7, 68}},
         [](const Chord& chord, int) { return voicing(chord, 47, 2); });

    Track tuba = voiced("Tuba", 5, 58, 104, 64);
    comp(tuba, chords, body, kBar, kStep, {{0, 3, 100}, {8, 3, 92}},
         [](const Chord& chord, int hit) {
             return std::vector<int>{hit == 0 ? bassPitch(chord, 31) : fifthAbove(chord, 31)};
         });
    tuba.note(end - kBar, kBar / 2, bassPitch(chords.back(), 31), 104);

    Track glockenspiel = voiced("Glockenspiel", 6, 9, 64, 100);
    addNotes(glockenspiel, within(melody, {trio.to + 8 * kBar, end}), 50, 24);

    Track drums = voiced("Snare and bass drum", 10, 0, 90, 64);
    addMarchDrums(drums, bars);

    return smfFile({meta, trumpets, piccolo, horns, trombones, tuba, glockenspiel, drums});
}

} // namespace velmar::media
