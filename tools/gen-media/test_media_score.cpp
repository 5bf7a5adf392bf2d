// SPDX-License-Identifier: GPL-3.0-or-later
// The melody notation and the MIDI writer: a wrong length or a misplaced note-off would be heard.
#include "Arrange.h"
#include "Score.h"
#include "Smf.h"

#include <QTest>

#include <stdexcept>
#include <string>

using namespace velmar::media;

Q_DECLARE_METATYPE(std::vector<int>)

class TestMediaScore : public QObject {
    Q_OBJECT

private slots:
    void notationGivesTicksLengthsAndPitches_data();
    void notationGivesTicksLengthsAndPitches();
    void barThatDoesNotAddUpIsRefused_data();
    void barThatDoesNotAddUpIsRefused();
    void chordIsVoicedInClosePositionAboveTheFloor_data();
    void chordIsVoicedInClosePositionAboveTheFloor();
    void repeatedPitchIsReleasedBeforeItSoundsAgain();
};

// Each row flattens the notes as tick, length, pitch triples.
void TestMediaScore::notationGivesTicksLengthsAndPitches_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::vector<int>>("expected");
    QTest::newRow("lengths carry over")
        << "c4:4 d4 e4:2 |" << std::vector<int>{0, 120, 60, 120, 120, 62, 240, 240, 64};
    QTest::newRow("dotted, sharps, flats, rests")
        << "f#4:4. bb3:8 r:4 c5 |" << std::vector<int>{0, 180, 66, 180, 60, 58, 360, 120, 72};
    QTest::newRow("triplets") << "g4:8t a4 b4 c5:2. |"
                              << std::vector<int>{0, 40, 67, 40, 40, 69, 80, 40, 71, 120, 360, 72};
    QTest::newRow("chord and bar rests")
        << "R1 c4+e4:1 |" << std::vector<int>{480, 480, 60, 480, 480, 64};
    QTest::newRow("tie across the bar line")
        << "r:2 g4:2~ | g4:4 r:2. |" << std::vector<int>{240, 360, 67};
}

void TestMediaScore::notationGivesTicksLengthsAndPitches() {
    QFETCH(QString, text);
    QFETCH(std::vector<int>, expected);
    std::vector<int> actual;
    for (const Note& note : parseNotes(text.toStdString(), 4 * kDivision)) {
        actual.insert(actual.end(), {note.tick, note.length, note.pitch});
    }
    QCOMPARE(actual, expected);
}

void TestMediaScore::barThatDoesNotAddUpIsRefused_data() {
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QString>("chords");
    QTest::newRow("short bar") << "c4:4 d4 e4 |"
                               << "";
    QTest::newRow("long bar") << "c4:2 d4 e4:8 |"
                              << "";
    QTest::newRow("length carried into a new chord bar") << ""
                                                         << "G:2 D7 | C:2 | G |";
    QTest::newRow("unknown chord") << ""
                                   << "Gxyz |";
    QTest::newRow("missing octave") << "c:1 |"
                                    << "";
}

void TestMediaScore::barThatDoesNotAddUpIsRefused() {
    QFETCH(QString, notes);
    QFETCH(QString, chords);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, {
        parseNotes(notes.toStdString(), 4 * kDivision);
        parseChords(chords.toStdString(), 4 * kDivision);
    });
}

void TestMediaScore::chordIsVoicedInClosePositionAboveTheFloor_data() {
    QTest::addColumn<QString>("chord");
    QTest::addColumn<int>("floor");
    QTest::addColumn<std::vector<int>>("pitches");
    QTest::addColumn<int>("bass");
    QTest::newRow("D above G3") << "D" << 55 << std::vector<int>{57, 62, 66} << 62;
    QTest::newRow("A7 four tones") << "A7" << 55 << std::vector<int>{55, 57, 61, 64} << 57;
    QTest::newRow("Em over its floor") << "Em" << 52 << std::vector<int>{52, 55, 59} << 52;
    QTest::newRow("slash bass") << "D/A" << 55 << std::vector<int>{57, 62, 66} << 57;
    QTest::newRow("five from a triad") << "C" << 60 << std::vector<int>{60, 64, 67, 72, 76} << 60;
}

void TestMediaScore::chordIsVoicedInClosePositionAboveTheFloor() {
    QFETCH(QString, chord);
    QFETCH(int, floor);
    QFETCH(std::vector<int>, pitches);
    QFETCH(int, bass);
    const Chord parsed = parseChords(chord.toStdString() + ":1 |", 4 * kDivision).front();
    QCOMPARE(voicing(parsed, floor, static_cast<int>(pitches.size())), pitches);
    QCOMPARE(bassPitch(parsed, floor), bass);
}

void TestMediaScore::repeatedPitchIsReleasedBeforeItSoundsAgain() {
    Track track("t", 1, 0, 100, 64);
    track.note(0, 120, 60, 90);
    track.note(120, 120, 60, 90);
    const std::string chunk = track.chunk(480);
    // Delta 0 note-off (velocity 0) comes before the second note-on at tick 120 (delta 0x78).
    const std::string offThenOn = std::string("\x78\x90\x3C\x00\x00\x90\x3C\x5A", 8);
    QVERIFY(chunk.find(offThenOn) != std::string::npos);
    // The end of the track waits 240 ticks, written as a two-byte variable-length number.
    QCOMPARE(chunk.substr(chunk.size() - 5), std::string("\x81\x70\xFF\x2F\x00", 5));
}

QTEST_GUILESS_MAIN(TestMediaScore)
#include "test_media_score.moc"
