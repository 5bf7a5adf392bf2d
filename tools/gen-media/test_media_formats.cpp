// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the committed melodies and clips as a player would and checks what the game relies on.
#include <QFile>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

QByteArray readResource(const QString& relative) {
    QFile file(QStringLiteral(VELMAR_RESOURCES_DIR "/") + relative);
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " + relative.toStdString());
    }
    return file.readAll();
}

class Reader {
public:
    Reader(const QByteArray& bytes, int from, int to) : bytes_(bytes), at_(from), end_(to) {}
    bool atEnd() const { return at_ >= end_; }
    int position() const { return at_; }
    std::uint32_t byte() {
        if (at_ >= end_) {
            throw std::runtime_error("read past the end of a chunk");
        }
        return static_cast<std::uint8_t>(bytes_[at_++]);
    }
    std::uint32_t bigEndian(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            value = value << 8 | byte();
        }
        return value;
    }
    std::uint32_t littleEndian(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            value |= byte() << (8 * i);
        }
        return value;
    }
    std::uint32_t variableLength() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t b = byte();
            value = value << 7 | (b & 0x7F);
            if ((b & 0x80) == 0) {
                return value;
            }
        }
        throw std::runtime_error("variable-length number over four bytes");
    }
    QByteArray take(int count) {
        if (count < 0 || at_ + count > end_) {
            throw std::runtime_error("field runs past its chunk");
        }
        at_ += count;
        return bytes_.mid(at_ - count, count);
    }

private:
    const QByteArray& bytes_;
    int at_;
    int end_;
};

struct MidiTrack {
    int endTick = 0;
    int noteOns = 0;
    int hangingNotes = 0;
    bool endsWithEndOfTrack = false;
    bool hasName = false;
    std::set<int> channelsWithProgram;
    std::set<int> channelsWithNotes;
    std::map<int, std::uint32_t> tempos; // tick -> microseconds per quarter
};

MidiTrack readTrack(Reader& chunk) {
    MidiTrack track;
    std::map<int, int> sounding; // channel * 128 + pitch -> count
    std::uint32_t status = 0;
    int tick = 0;
    while (!chunk.atEnd()) {
        tick += static_cast<int>(chunk.variableLength());
        std::uint32_t first = chunk.byte();
        if (first == 0xFF) {
            const std::uint32_t type = chunk.byte();
            const QByteArray data = chunk.take(static_cast<int>(chunk.variableLength()));
            track.hasName |= type == 0x03 && !data.isEmpty();
            if (type == 0x51 && data.size() == 3) {
                track.tempos[tick] = static_cast<std::uint8_t>(data[0]) << 16 |
                                     static_cast<std::uint8_t>(data[1]) << 8 |
                                     static_cast<std::uint8_t>(data[2]);
            }
            if (type == 0x2F) {
                track.endsWithEndOfTrack = data.isEmpty() && chunk.atEnd();
                track.endTick = tick;
                break;
            }
            continue;
        }
        if (first == 0xF0 || first == 0xF7) {
            chunk.take(static_cast<int>(chunk.variableLength()));
            continue;
        }
        if (first & 0x80) {
            status = first;
            first = chunk.byte();
        } else if (status == 0) {
            throw std::runtime_error("running status without a status");
        }
        const int kind = static_cast<int>(status >> 4);
        const int channel = static_cast<int>(status & 0x0F) + 1;
        const std::uint32_t second = (kind == 0xC || kind == 0xD) ? 0 : chunk.byte();
        const int key = channel * 128 + static_cast<int>(first);
        if (kind == 0xC) {
            track.channelsWithProgram.insert(channel);
        } else if (kind == 0x9 && second > 0) {
            ++track.noteOns;
            ++sounding[key];
            track.channelsWithNotes.insert(channel);
        } else if ((kind == 0x8 || kind == 0x9) && sounding[key] > 0) {
            --sounding[key];
        }
    }
    for (const auto& [key, count] : sounding) {
        track.hangingNotes += count;
    }
    return track;
}

double secondsOf(const std::map<int, std::uint32_t>& tempos, int endTick, int division) {
    double seconds = 0;
    int tick = 0;
    std::uint32_t tempo = 500000; // the standard's default
    for (const auto& [at, value] : tempos) {
        seconds += (std::min(at, endTick) - tick) * (tempo / 1e6) / division;
        tick = std::min(at, endTick);
        tempo = value;
    }
    return seconds + (endTick - tick) * (tempo / 1e6) / division;
}

struct Wave {
    int format = 0, channels = 0, rate = 0, bits = 0, byteRate = 0, blockAlign = 0;
    std::vector<double> samples; // full scale is 1
};

Wave readWave(const QByteArray& bytes) {
    Reader file(bytes, 0, static_cast<int>(bytes.size()));
    if (file.take(4) != "RIFF") {
        throw std::runtime_error("no RIFF header");
    }
    if (file.littleEndian(4) != static_cast<std::uint32_t>(bytes.size() - 8) ||
        file.take(4) != "WAVE") {
        throw std::runtime_error("RIFF size or WAVE form wrong");
    }
    Wave wave;
    bool haveFormat = false;
    while (!file.atEnd()) {
        const QByteArray id = file.take(4);
        const int size = static_cast<int>(file.littleEndian(4));
        Reader chunk(bytes, file.position(), file.position() + size);
        file.take(size + size % 2);
        if (id == "fmt ") {
            wave.format = static_cast<int>(chunk.littleEndian(2));
            wave.channels = static_cast<int>(chunk.littleEndian(2));
            wave.rate = static_cast<int>(chunk.littleEndian(4));
            wave.byteRate = static_cast<int>(chunk.littleEndian(4));
            wave.blockAlign = static_cast<int>(chunk.littleEndian(2));
            wave.bits = static_cast<int>(chunk.littleEndian(2));
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat || (wave.bits != 8 && wave.bits != 16)) {
                throw std::runtime_error("data before a usable fmt chunk");
            }
            while (!chunk.atEnd()) {
                wave.samples.push_back(
                    wave.bits == 8 ? (static_cast<int>(chunk.byte()) - 128) / 128.0
                                   : static_cast<std::int16_t>(chunk.littleEndian(2)) / 32768.0);
            }
        }
    }
    return wave;
}

} // namespace

class TestMediaFormats : public QObject {
    Q_OBJECT

private slots:
    void melodyIsAFormatOneFileThatPlaysForAMinuteOrSo_data();
    void melodyIsAFormatOneFileThatPlaysForAMinuteOrSo();
    void clipHasItsDesignedFormatAndSoundsCleanly_data();
    void clipHasItsDesignedFormatAndSoundsCleanly();
};

void TestMediaFormats::melodyIsAFormatOneFileThatPlaysForAMinuteOrSo_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("tracks");
    QTest::newRow("melody 1") << "music/Music.mid" << 6;
    QTest::newRow("melody 2") << "music/Music2.mid" << 8;
    QTest::newRow("melody 3") << "music/Music3.mid" << 6;
}

void TestMediaFormats::melodyIsAFormatOneFileThatPlaysForAMinuteOrSo() {
    QFETCH(QString, file);
    QFETCH(int, tracks);
    const QByteArray bytes = readResource(file);
    Reader header(bytes, 0, static_cast<int>(bytes.size()));
    QCOMPARE(header.take(4), QByteArray("MThd"));
    QCOMPARE(header.bigEndian(4), 6u);
    QCOMPARE(header.bigEndian(2), 1u);
    QCOMPARE(static_cast<int>(header.bigEndian(2)), tracks);
    const int division = static_cast<int>(header.bigEndian(2));
    QCOMPARE(division, 120);

    std::vector<MidiTrack> read;
    while (!header.atEnd()) {
        QCOMPARE(header.take(4), QByteArray("MTrk"));
        const int length = static_cast<int>(header.bigEndian(4));
        Reader chunk(bytes, header.position(), header.position() + length);
        header.take(length); // fails when the length overruns the file
        read.push_back(readTrack(chunk));
        QVERIFY2(read.back().endsWithEndOfTrack, "track must end with FF 2F 00 at its length");
        QVERIFY(read.back().hasName);
        QCOMPARE(read.back().hangingNotes, 0);
    }
    QCOMPARE(static_cast<int>(read.size()), tracks);

    QCOMPARE(read.front().noteOns, 0);
    QVERIFY(read.front().tempos.count(0) == 1);
    std::set<int> channels;
    for (std::size_t i = 1; i < read.size(); ++i) {
        QVERIFY2(read[i].noteOns > 0, qPrintable(QStringLiteral("track %1 is mute").arg(i + 1)));
        QVERIFY2(read[i].channelsWithNotes == read[i].channelsWithProgram,
                 "every channel that plays chooses its instrument first");
        channels.insert(read[i].channelsWithNotes.begin(), read[i].channelsWithNotes.end());
    }
    QCOMPARE(static_cast<int>(channels.size()), tracks - 1); // no two tracks share a channel

    int endTick = 0;
    for (const MidiTrack& track : read) {
        endTick = std::max(endTick, track.endTick);
    }
    const double seconds = secondsOf(read.front().tempos, endTick, division);
    QVERIFY2(seconds >= 40 && seconds <= 90, qPrintable(QString::number(seconds)));
}

void TestMediaFormats::clipHasItsDesignedFormatAndSoundsCleanly_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<double>("seconds");
    QTest::newRow("CLICK") << "sounds/CLICK.wav" << 11025 << 8 << 0.78;
    QTest::newRow("FINALLY") << "sounds/FINALLY.wav" << 11025 << 16 << 2.91;
    QTest::newRow("GAMEOVER") << "sounds/GAMEOVER.wav" << 22050 << 8 << 0.83;
    QTest::newRow("KEY") << "sounds/KEY.wav" << 22050 << 16 << 0.30;
    QTest::newRow("MOVE") << "sounds/MOVE.wav" << 22050 << 8 << 0.32;
}

void TestMediaFormats::clipHasItsDesignedFormatAndSoundsCleanly() {
    QFETCH(QString, file);
    QFETCH(int, rate);
    QFETCH(int, bits);
    QFETCH(double, seconds);
    const Wave wave = readWave(readResource(file));
    QCOMPARE(wave.format, 1);
    QCOMPARE(wave.channels, 1);
    QCOMPARE(wave.rate, rate);
    QCOMPARE(wave.bits, bits);
    QCOMPARE(wave.blockAlign, bits / 8);
    QCOMPARE(wave.byteRate, rate * bits / 8);
    const double length = static_cast<double>(wave.samples.size()) / rate;
    QVERIFY2(std::abs(length - seconds) <= 0.05 * seconds, qPrintable(QString::number(length)));

    double peak = 0;
    int run = 0;
    int longestFullScaleRun = 0;
    for (double s : wave.samples) {
        peak = std::max(peak, std::abs(s));
        run = std::abs(s) >= 0.99 ? run + 1 : 0;
        longestFullScaleRun = std::max(longestFullScaleRun, run);
    }
    QVERIFY2(peak > 0.5, qPrintable(QStringLiteral("peak %1").arg(peak)));
    QVERIFY2(longestFullScaleRun < 3, "clipped");
    // Ends at rest, so cutting it off or letting it end makes no click.
    QVERIFY(std::abs(wave.samples.back()) < 0.02);
}

QTEST_GUILESS_MAIN(TestMediaFormats)
#include "test_media_formats.moc"
