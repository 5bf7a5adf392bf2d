// SPDX-License-Identifier: GPL-3.0-or-later
// The readers behind the audio engine: WAVE clips converted to the output format and standard
// MIDI files flattened to timed events.
#include "platform/audio/MidiFile.h"
#include "platform/audio/WaveClip.h"
#include "platform/files/Resources.h"

#include <QTest>

#include <cmath>

using namespace platform;

namespace {

constexpr int kRate = 44100;

void put(QByteArray& d, std::uint32_t v, int bytes, bool bigEndian = false) {
    for (int i = 0; i < bytes; ++i)
        d.append(char(bigEndian ? (v >> (8 * (bytes - 1 - i))) & 0xFF : (v >> (8 * i)) & 0xFF));
}

// A WAVE file whose every sample holds the same raw value.
QByteArray wave(int tag, int channels, int rate, int bits, int frames, std::uint32_t raw) {
    QByteArray data;
    for (int i = 0; i < frames * channels; ++i)
        put(data, raw, bits / 8);
    QByteArray d("RIFF");
    put(d, std::uint32_t(4 + 24 + 8 + data.size()), 4);
    d.append("WAVEfmt ");
    put(d, 16, 4);
    put(d, std::uint32_t(tag), 2);
    put(d, std::uint32_t(channels), 2);
    put(d, std::uint32_t(rate), 4);
    put(d, std::uint32_t(rate * channels * bits / 8), 4);
    put(d, std::uint32_t(channels * bits / 8), 2);
    put(d, std::uint32_t(bits), 2);
    d.append("data");
    put(d, std::uint32_t(data.size()), 4);
    return d + data;
}

QByteArray smf(int format, const QList<QByteArray>& tracks, int division = 480) {
    QByteArray d("MThd");
    put(d, 6, 4, true);
    put(d, std::uint32_t(format), 2, true);
    put(d, std::uint32_t(tracks.size()), 2, true);
    put(d, std::uint32_t(division), 2, true);
    for (const QByteArray& t : tracks) {
        d.append("MTrk");
        put(d, std::uint32_t(t.size()), 4, true);
        d.append(t);
    }
    return d;
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray d;
    for (int v : values)
        d.append(char(v));
    return d;
}

const QByteArray kEnd = bytes({0x00, 0xFF, 0x2F, 0x00});

} // namespace

class TestAudioFiles : public QObject {
    Q_OBJECT

private slots:
    void everyClipFormatConvertsToOutputRate_data() {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("bits");
        QTest::addColumn<uint>("raw");
        QTest::addColumn<float>("expected");
        QTest::newRow("11025 Hz 8-bit mono") << 1 << 11025 << 8 << 192u << 0.5f;
        QTest::newRow("11025 Hz 16-bit mono") << 1 << 11025 << 16 << 0x4000u << 0.5f;
        QTest::newRow("22050 Hz 8-bit mono") << 1 << 22050 << 8 << 64u << -0.5f;
        QTest::newRow("22050 Hz 16-bit mono") << 1 << 22050 << 16 << 0xC000u << -0.5f;
        QTest::newRow("44100 Hz 16-bit stereo") << 2 << 44100 << 16 << 0x2000u << 0.25f;
    }
    void everyClipFormatConvertsToOutputRate() {
        QFETCH(int, channels);
        QFETCH(int, rate);
        QFETCH(int, bits);
        QFETCH(uint, raw);
        QFETCH(float, expected);
        const int frames = rate / 2;
        const auto clip = ConvertWave(wave(1, channels, rate, bits, frames, raw), kRate);
        QVERIFY(clip);
        QCOMPARE(int(clip->samples.size()), frames * (kRate / rate)); // the same half second
        QVERIFY(std::abs(clip->samples[100] - expected) < 1e-3f);
        QVERIFY(std::abs(clip->samples.back() - expected) < 1e-3f);
    }

    void unplayableWaveIsNoClip_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not RIFF") << QByteArray("MThd and more bytes than twelve");
        QTest::newRow("compressed") << wave(2, 1, 22050, 16, 100, 0);
        QTest::newRow("24-bit") << wave(1, 1, 22050, 24, 100, 0);
        QTest::newRow("truncated data") << wave(1, 1, 22050, 16, 100, 0).left(60);
    }
    void unplayableWaveIsNoClip() {
        QFETCH(QByteArray, file);
        QVERIFY(!ConvertWave(file, kRate));
    }

    void defaultBeepIsShortAndAudible() {
        const WaveClip beep = DefaultBeep(kRate);
        QVERIFY(beep.samples.size() > std::size_t(kRate / 20));
        QVERIFY(beep.samples.size() < std::size_t(kRate / 2));
        const float peak = *std::max_element(beep.samples.begin(), beep.samples.end());
        QVERIFY(peak > 0.2f && peak <= 1.0f);
    }

    void midiEventsAreTimedByTempo() {
        // One beat = 1 s at 1,000,000 us a quarter; the note ends after one beat, the track
        // after two; running status carries the note-off.
        const QByteArray track =
            bytes({0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0x90, 60,
                   100,  0x83, 0x60, 61,   0,    0x83, 0x60, 0xFF, 0x2F, 0x00});
        const auto song = ParseMidi(smf(0, {track}), kRate);
        QVERIFY(song);
        QCOMPARE(int(song->events.size()), 2);
        QCOMPARE(song->events[0].frame, 0u);
        QCOMPARE(song->events[0].data1, 60);
        QCOMPARE(song->events[1].frame, std::uint64_t(kRate));
        QCOMPARE(song->events[1].status, 0x90);
        QCOMPARE(song->events[1].data1, 61);
        QCOMPARE(song->lengthFrames, std::uint64_t(2 * kRate));
    }

    void tracksOfFormatOneMergeInTimeOrder() {
        // Default tempo: a beat of 480 ticks is half a second.
        const QByteArray first = bytes({0x83, 0x60, 0x91, 64, 90}) + kEnd;
        const QByteArray second = bytes({0x00, 0xC2, 5, 0x81, 0x70, 0x92, 67, 80}) + kEnd;
        const auto song = ParseMidi(smf(1, {first, second}), kRate);
        QVERIFY(song);
        QCOMPARE(int(song->events.size()), 3);
        QCOMPARE(song->events[0].status, 0xC2);
        QCOMPARE(song->events[1].frame, std::uint64_t(kRate / 4));
        QCOMPARE(song->events[2].frame, std::uint64_t(kRate / 2));
        QCOMPARE(song->events[2].status, 0x91);
    }

    void malformedMidiIsNoSong_data() {
        QTest::addColumn<QByteArray>("file");
        const QByteArray note = bytes({0x00, 0x90, 60, 100}) + kEnd;
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a WAVE file") << wave(1, 1, 22050, 8, 10, 0);
        QTest::newRow("format 2") << smf(2, {note});
        QTest::newRow("no tracks") << smf(0, {});
        QTest::newRow("SMPTE division") << smf(0, {note}, 0xE728);
        QTest::newRow("track cut short") << smf(0, {note}).left(20);
        QTest::newRow("data without status") << smf(0, {bytes({0x00, 60, 100}) + kEnd});
        QTest::newRow("endless length") << smf(0, {bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x7F})});
    }
    void malformedMidiIsNoSong() {
        QFETCH(QByteArray, file);
        QVERIFY(!ParseMidi(file, kRate));
    }

    void melodiesOfTheGameParse_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"MYMUSIC", "MYMUSIC2", "MYMUSIC3"})
            QTest::newRow(name) << QString(name);
    }
    void melodiesOfTheGameParse() {
        QFETCH(QString, name);
        const auto file = FindResource("MUSIC", name.toStdString());
        QVERIFY(file);
        const auto song = ParseMidi(*file, kRate);
        QVERIFY(song);
        QVERIFY(song->events.size() > 50);
        QVERIFY(song->lengthFrames > std::uint64_t(5 * kRate));
    }
};

QTEST_GUILESS_MAIN(TestAudioFiles)
#include "TestAudioFiles.moc"
