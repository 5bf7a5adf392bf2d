// SPDX-License-Identifier: GPL-3.0-or-later
// The audio engine heard offline: clips and melodies really sound, a new clip cuts the last,
// the volume words scale each channel, and without a device everything runs the same, silently.
#include "platform/audio/AudioEngine.h"
#include "platform/files/Resources.h"
#include "platform/winmm/Sound.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>

#include <atomic>
#include <cmath>
#include <cstdlib>

using namespace platform;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = AudioEngine::kRate;
using Offline = AudioEngine::Output;

// Mean absolute level of one channel (0 left, 1 right) over frames [from, to).
double level(const std::vector<float>& s, int channel, std::size_t from, std::size_t to) {
    double sum = 0;
    to = std::min(to, s.size() / 2);
    for (std::size_t i = from; i < to; ++i)
        sum += std::abs(s[2 * i + std::size_t(channel)]);
    return to > from ? sum / double(to - from) : 0.0;
}

std::size_t soundingFrames(const std::vector<float>& s) {
    std::size_t last = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (std::abs(s[i]) > 1e-4f)
            last = i / 2 + 1;
    return last;
}

// How many frames carry sound in either channel.
std::size_t framesAboveNoise(const std::vector<float>& s) {
    std::size_t frames = 0;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2)
        if (std::abs(s[i]) > 1e-4f || std::abs(s[i + 1]) > 1e-4f)
            ++frames;
    return frames;
}

std::function<QByteArray()> resource(const char* name) {
    return [name] { return FindResource("WAVE", name).value_or(QByteArray()); };
}

std::string writeTemp(const QString& name, const QByteArray& bytes) {
    const QString path = QDir::temp().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path.toStdString();
}

std::string melodyFile(const char* resourceName) {
    return writeTemp(QString(resourceName) + ".mid", FindResource("MUSIC", resourceName).value());
}

// A fifth of a second of one piano note.
std::string shortMelody() {
    const char track[] = {0x00, char(0x90), 60,   100,        0x60, char(0x80),
                          60,   0,          0x00, char(0xFF), 0x2F, 0x00};
    QByteArray d("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk\0\0\0\x0C", 22);
    d.append(track, sizeof track);
    return writeTemp("short.mid", d);
}

// Opens and plays a melody once its instruments are in, so two engines start alike.
bool startMelody(AudioEngine& engine, const std::string& path) {
    if (!engine.WaitSoundfont(20s) || !engine.OpenMidi(path))
        return false;
    for (QDeadlineTimer deadline(20000); !engine.MidiPrepared(); QTest::qWait(5))
        if (deadline.hasExpired())
            return false;
    engine.PlayMidi();
    return true;
}

bool mapped(const char* library) {
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

// Threads of SDL's devices and of its sound server connection.
QStringList soundThreads() {
    QStringList found;
    for (const QString& task :
         QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm("/proc/self/task/" + task + "/comm");
        const QString name =
            comm.open(QIODevice::ReadOnly) ? QString::fromUtf8(comm.readAll().trimmed()) : "";
        if (name.startsWith("SDL") || name.startsWith("Pulse"))
            found << name;
    }
    return found;
}

} // namespace

class TestAudioEngine : public QObject {
    Q_OBJECT

private slots:
    void everyClipSoundsForItsLength_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("seconds");
        QTest::newRow("CLICK") << "CLICK" << 8600 / 11025.0;
        QTest::newRow("FINALLY") << "FINALLY" << 32083 / 11025.0;
        QTest::newRow("GAMEOVER") << "GAMEOVER" << 18302 / 22050.0;
        QTest::newRow("KEY") << "KEY" << 6615 / 22050.0;
        QTest::newRow("MOVE") << "MOVE" << 7056 / 22050.0;
    }
    void everyClipSoundsForItsLength() {
        QFETCH(QString, name);
        QFETCH(double, seconds);
        AudioEngine engine(Offline::Offline);
        const std::string key = name.toStdString();
        QVERIFY(engine.PlayClip(key, [&] { return FindResource("WAVE", key).value(); }));
        QVERIFY(engine.ClipPlaying());
        const auto out = engine.Render(std::size_t{4} * kRate);
        QVERIFY(level(out, 0, 0, std::size_t(seconds * kRate)) > 0.005);
        QVERIFY(std::abs(double(soundingFrames(out)) / kRate - seconds) < 0.05);
        QVERIFY(!engine.ClipPlaying());
    }

    void clipIsConvertedOnlyOnFirstUse() {
        AudioEngine engine(Offline::Offline);
        int reads = 0;
        const auto read = [&] {
            ++reads;
            return FindResource("WAVE", "KEY").value();
        };
        QVERIFY(engine.PlayClip("KEY", read));
        QVERIFY(engine.PlayClip("KEY", read));
        QCOMPARE(reads, 1);
    }

    void missingClipPlaysTheDefaultBeepUnlessForbidden() {
        AudioEngine engine(Offline::Offline);
        QVERIFY(!engine.PlayClip(
            "NONE", [] { return QByteArray(); }, false));
        // Silent: nothing above the noise floor of an idle synthesizer's effects.
        QCOMPARE(framesAboveNoise(engine.Render(kRate / 10)), std::size_t(0));
        QVERIFY(engine.PlayClip("NONE", [] { return QByteArray(); }));
        const auto out = engine.Render(kRate);
        QVERIFY(level(out, 0, 0, kRate / 10) > 0.05);
        QVERIFY(soundingFrames(out) < std::size_t(kRate / 2));
    }

    void newClipCutsOffThePrevious() {
        AudioEngine engine(Offline::Offline);
        engine.PlayClip("FINALLY", resource("FINALLY"));
        QVERIFY(level(engine.Render(kRate / 10), 0, 0, kRate / 10) > 0.005);
        engine.PlayClip("KEY", resource("KEY"));
        const auto out = engine.Render(std::size_t{2} * kRate);
        // KEY lasts 0.3 s; FINALLY would have gone on for 2.8 s more.
        QVERIFY(std::abs(double(soundingFrames(out)) / kRate - 0.3) < 0.05);
    }

    void volumeWordsScaleEachChannel_data() {
        QTest::addColumn<bool>("midi");
        QTest::addColumn<uint>("word");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("right");
        for (bool midi : {false, true}) {
            const char* device = midi ? "MIDI" : "wave";
            QTest::addRow("%s silenced", device) << midi << 0u << 0.0 << 0.0;
            QTest::addRow("%s halved", device) << midi << 0x80008000u << 0.5 << 0.5;
            QTest::addRow("%s left only", device) << midi << 0x0000FFFFu << 1.0 << 0.0;
            QTest::addRow("%s right only", device) << midi << 0xFFFF0000u << 0.0 << 1.0;
            QTest::addRow("%s right halved", device) << midi << 0x8000FFFFu << 1.0 << 0.5;
        }
    }
    void volumeWordsScaleEachChannel() {
        QFETCH(bool, midi);
        QFETCH(uint, word);
        QFETCH(double, left);
        QFETCH(double, right);
        AudioEngine full(Offline::Offline), scaled(Offline::Offline);
        // The other device's word is 0, so only the device under test is heard.
        for (AudioEngine* e : {&full, &scaled}) {
            (midi ? e->SetWaveVolume(0) : e->SetMidiVolume(0));
            if (midi)
                QVERIFY(startMelody(*e, melodyFile("MYMUSIC")));
            else
                e->PlayClip("GAMEOVER", resource("GAMEOVER"));
        }
        (midi ? scaled.SetMidiVolume(word) : scaled.SetWaveVolume(word));
        QCOMPARE(midi ? scaled.MidiVolume() : scaled.WaveVolume(), std::uint32_t(word));
        const auto a = full.Render(kRate), b = scaled.Render(kRate);
        const double fullLeft = level(a, 0, 0, kRate), fullRight = level(a, 1, 0, kRate);
        QVERIFY(fullLeft > 0.001 && fullRight > 0.001);
        QVERIFY(std::abs(level(b, 0, 0, kRate) / fullLeft - left) < 0.01);
        QVERIFY(std::abs(level(b, 1, 0, kRate) / fullRight - right) < 0.01);
    }

    void everyMelodySoundsAndPlaysOnce_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"MYMUSIC", "MYMUSIC2", "MYMUSIC3"})
            QTest::newRow(name) << QString(name);
    }
    void everyMelodySoundsAndPlaysOnce() {
        QFETCH(QString, name);
        AudioEngine engine(Offline::Offline);
        QVERIFY(startMelody(engine, melodyFile(qPrintable(name))));
        QVERIFY(engine.MidiPlaying());
        const double seconds = engine.MidiLengthSeconds();
        QVERIFY(seconds > 5);
        const auto out = engine.Render(std::size_t((seconds + 4) * kRate));
        QVERIFY(level(out, 0, 0, std::size_t(seconds * kRate)) > 0.001);
        QVERIFY(!engine.MidiPlaying());
        QVERIFY(engine.MidiOpen()); // stays open, silent, until closed
        QVERIFY(level(engine.Render(kRate), 0, 0, kRate) < 1e-4);
    }

    void melodyPlayedBeforeTheSoundfontIsReadyStartsWhenItIs() {
        AudioEngine engine(Offline::Offline);
        QVERIFY(engine.OpenMidi(melodyFile("MYMUSIC")));
        engine.PlayMidi();
        QVERIFY(engine.MidiPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(level(engine.Render(kRate / 10), 0, 0, kRate / 10) > 0.001, 20000);
    }

    // The game holds the loading while its window first paints: a melody played meanwhile
    // stays silent at its start, then plays from there once the work is let go.
    void workHeldFromTheStartWaitsForItsRelease() {
        AudioEngine engine(Offline::Offline, kDefaultSoundfont, {}, std::chrono::hours(1));
        QVERIFY(engine.OpenMidi(melodyFile("MYMUSIC")));
        engine.PlayMidi();
        QVERIFY(!engine.WaitWorker(100ms));
        QVERIFY(!engine.SoundfontReady());
        QVERIFY(level(engine.Render(kRate / 10), 0, 0, kRate / 10) < 1e-4);
        QCOMPARE(engine.MidiPositionSeconds(), 0.0);
        engine.ReleaseWork();
        QVERIFY(engine.WaitWorker(20s));
        QVERIFY(engine.MidiPrepared());
        QVERIFY(level(engine.Render(kRate), 0, 0, kRate) > 0.001);
    }

    void closeSilencesTheMelodyAtOnce() {
        AudioEngine engine(Offline::Offline);
        QVERIFY(startMelody(engine, melodyFile("MYMUSIC2")));
        const double playing = level(engine.Render(kRate), 0, 0, kRate);
        QVERIFY(playing > 0.001);
        engine.CloseMidi();
        QVERIFY(!engine.MidiOpen() && !engine.MidiPlaying());
        // A click-free ramp and no echo. The ramp comes in the first block the synthesizer is
        // free: a block the worker holds it (letting the instruments go) is skipped in silence.
        QVERIFY(framesAboveNoise(engine.Render(kRate / 2)) < 256);
        engine.CloseMidi(); // a second close is harmless
        QVERIFY(!engine.MidiOpen());
    }

    void openRejectsWhatIsNotAMelody_data() {
        QTest::addColumn<QString>("content");
        QTest::newRow("missing file") << QString();
        QTest::newRow("text file") << QString("not a melody at all");
        QTest::newRow("truncated") << QString("MThd\0\0\0\x06");
    }
    void openRejectsWhatIsNotAMelody() {
        QFETCH(QString, content);
        AudioEngine engine(Offline::Offline);
        QVERIFY(engine.OpenMidi(shortMelody()));
        const std::string path = content.isNull()
                                     ? QDir::temp().filePath("absent.mid").toStdString()
                                     : writeTemp("bad.mid", content.toLatin1());
        QVERIFY(!engine.OpenMidi(path));
        QVERIFY(!engine.MidiOpen());
        engine.PlayMidi();
        QVERIFY(!engine.MidiPlaying());
    }

    void missingSoundfontMeansSilentMusicNotFailure() {
        AudioEngine engine(Offline::Offline, "/nonexistent/none.sf2");
        QVERIFY(!engine.WaitSoundfont(10s));
        QVERIFY(engine.OpenMidi(shortMelody()));
        QTRY_VERIFY_WITH_TIMEOUT(engine.MidiPrepared(), 5000);
        engine.PlayMidi();
        QVERIFY(engine.MidiPlaying());
        QCOMPARE(level(engine.Render(kRate), 0, 0, kRate), 0.0);
        QVERIFY(!engine.MidiPlaying()); // ran its course in silence
        engine.PlayClip("KEY", resource("KEY"));
        QVERIFY(level(engine.Render(kRate / 10), 0, 0, kRate / 10) > 0.005);
    }

    void deviceOutputPausesThenClosesOnceNothingSounds() {
        std::atomic<std::int64_t> later{0}; // milliseconds the test has moved the clock on
        AudioEngine engine(Offline::Device, kDefaultSoundfont,
                           [&] { return AudioEngine::Clock::now() + later.load() * 1ms; });
        QVERIFY(engine.WaitOutput(10s)); // SDL's dummy driver
        QVERIFY(engine.OutputPaused());
        engine.PlayClip("KEY", resource("KEY"));
        QVERIFY(!engine.OutputPaused());
        QTRY_VERIFY_WITH_TIMEOUT(engine.OutputPaused(), 5000);
        QVERIFY(!engine.ClipPlaying());
        QVERIFY(!engine.OutputClosed());
        later = 11000; // ten seconds of silence
        QTRY_VERIFY_WITH_TIMEOUT(engine.OutputClosed(), 5000);
        // Reopened on the worker for the next clip, which the callback then plays to its end.
        engine.PlayClip("KEY", resource("KEY"));
        QVERIFY(engine.ClipPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!engine.OutputClosed() && !engine.OutputOpening(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!engine.ClipPlaying(), 5000);
    }

    // Closed for being idle, the output takes the module, its libraries and SDL's threads
    // along; the next clip and the next melody bring them back, and go again, as often as that.
    void theClosedOutputTakesTheModulesLibrariesAndThreadsAlong() {
        std::atomic<std::int64_t> later{0};
        AudioEngine engine(Offline::Device, kDefaultSoundfont,
                           [&] { return AudioEngine::Clock::now() + later.load() * 1ms; });
        QVERIFY(engine.WaitOutput(10s));
        if (!engine.WaitSoundfont(20s))
            QSKIP("no soundfont");
        QVERIFY(mapped("libfluidsynth.so"));
        for (const bool melody : {false, true, true}) {
            if (melody) {
                QVERIFY(engine.OpenMidi(shortMelody()));
                QTRY_VERIFY_WITH_TIMEOUT(engine.MidiPrepared(), 20000); // a new synthesizer
                engine.PlayMidi();
                QTRY_VERIFY_WITH_TIMEOUT(engine.MidiPositionSeconds() > 0.1, 5000);
            } else {
                engine.PlayClip("KEY", resource("KEY"));
            }
            QVERIFY(engine.ModuleLoaded() || engine.OutputOpening());
            QTRY_VERIFY_WITH_TIMEOUT(engine.OutputPaused() && !engine.MidiPlaying(), 10000);
            later += 11000;
            QTRY_VERIFY_WITH_TIMEOUT(!engine.ModuleLoaded(), 5000);
            for (const char* library : {"libvelmar_audio.so", "libfluidsynth.so", "libSDL2"})
                QVERIFY2(!mapped(library), library);
            QCOMPARE(soundThreads(), QStringList());
        }
    }

    // Once a melody has ended its instruments go; played again, it loads them and sounds.
    void anEndedMelodyLetsItsInstrumentsGoUntilPlayedAgain() {
        AudioEngine engine(Offline::Device);
        QVERIFY(engine.WaitOutput(10s));
        if (!engine.WaitSoundfont(20s))
            QSKIP("no soundfont");
        QVERIFY(engine.OpenMidi(shortMelody()));
        QTRY_VERIFY_WITH_TIMEOUT(engine.MidiPrepared(), 20000);
        int ended = 0;
        engine.PlayMidi([&] { ++ended; });
        QTRY_COMPARE_WITH_TIMEOUT(ended, 1, 10000);
        QVERIFY(engine.MidiOpen());
        QVERIFY(!engine.MidiPrepared());
        engine.PlayMidi([&] { ++ended; });
        QVERIFY(engine.MidiPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(engine.MidiPrepared(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(ended, 2, 10000);
        engine.CloseMidi();
        QVERIFY(!engine.MidiOpen());
    }

    void withoutADeviceEverythingRunsTheSameSilently() {
        const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        AudioEngine engine(Offline::Device);
        const bool device = engine.WaitOutput(10s); // the worker reads the variable
        qputenv("SDL_AUDIODRIVER", driver);
        QVERIFY(!device);
        QVERIFY(engine.PlayClip("KEY", resource("KEY")));
        QVERIFY(engine.ClipPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!engine.ClipPlaying(), 5000);
        QVERIFY(engine.OpenMidi(shortMelody()));
        bool ended = false;
        engine.PlayMidi([&] { ended = true; });
        QVERIFY(engine.MidiPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!engine.MidiPlaying(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(ended, 30000);
        engine.SetMidiVolume(0x12345678);
        QCOMPARE(engine.MidiVolume(), 0x12345678u);
    }

    void playSoundReportsToTheSeamAndPlays() {
        std::vector<std::pair<std::string, unsigned>> seen;
        SetSoundObserver([&](const std::string& n, unsigned f) { seen.emplace_back(n, f); });
        QVERIFY(PlaySound("MOVE", SND_RESOURCE | SND_ASYNC));
        QVERIFY(AudioEngine::Shared().ClipPlaying());
        QVERIFY(!PlaySound("NO-SUCH-CLIP", SND_RESOURCE | SND_ASYNC | SND_NODEFAULT));
        QVERIFY(PlaySound("NO-SUCH-CLIP", SND_RESOURCE | SND_ASYNC)); // the default beep
        SetSoundObserver({});
        QCOMPARE(int(seen.size()), 3);
        QCOMPARE(seen[0].first, std::string("MOVE"));
        QCOMPARE(seen[0].second, 0x00040005u);
        QCOMPARE(seen[1].second, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
    }
};

QTEST_GUILESS_MAIN(TestAudioEngine)
#include "TestAudioEngine.moc"
