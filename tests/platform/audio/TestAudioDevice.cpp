// SPDX-License-Identifier: GPL-3.0-or-later
// The sound device coming and going, through a stand-in module that can refuse or hold an
// open: the window never waits for it, the silent clock runs the music while it is gone, and
// fonts and terminal signals are handled as they must be.
#include "platform/audio/AudioEngine.h"
#include "platform/files/Resources.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <QTest>

#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

using namespace platform;
using namespace std::chrono_literals;

namespace {

using Output = AudioEngine::Output;

// The stand-in module's controls.
struct FakeModule {
    void (*refuseOpen)(int) = nullptr;
    void (*holdOpen)(int) = nullptr;
    int (*openAttempts)() = nullptr;
    unsigned long (*lastOpener)() = nullptr;
    int (*unloads)() = nullptr;
    int (*unloadsWithVoices)() = nullptr;
    void (*loseDevice)(int) = nullptr;
    int (*starts)() = nullptr;
    int (*stops)() = nullptr;
    int (*loads)() = nullptr;
    int (*shutdowns)() = nullptr;
    int (*synths)() = nullptr;
    float (*takePeak)() = nullptr;
    void (*stallDevice)(int) = nullptr;

    bool Load() {
        void* m = dlopen(VELMAR_FAKE_AUDIO_MODULE, RTLD_NOW | RTLD_LOCAL);
        if (!m)
            return false;
        refuseOpen = reinterpret_cast<void (*)(int)>(dlsym(m, "velmar_fake_refuse_open"));
        holdOpen = reinterpret_cast<void (*)(int)>(dlsym(m, "velmar_fake_hold_open"));
        openAttempts = reinterpret_cast<int (*)()>(dlsym(m, "velmar_fake_open_attempts"));
        lastOpener = reinterpret_cast<unsigned long (*)()>(dlsym(m, "velmar_fake_last_opener"));
        unloads = reinterpret_cast<int (*)()>(dlsym(m, "velmar_fake_unloads"));
        unloadsWithVoices =
            reinterpret_cast<int (*)()>(dlsym(m, "velmar_fake_unloads_with_voices"));
        loseDevice = reinterpret_cast<void (*)(int)>(dlsym(m, "velmar_fake_lose_device"));
        starts = reinterpret_cast<int (*)()>(dlsym(m, "velmar_fake_starts"));
        stops = reinterpret_cast<int (*)()>(dlsym(m, "velmar_fake_stops"));
        loads = reinterpret_cast<int (*)()>(dlsym(m, "velmar_fake_loads"));
        shutdowns = reinterpret_cast<int (*)()>(dlsym(m, "velmar_fake_shutdowns"));
        synths = reinterpret_cast<int (*)()>(dlsym(m, "velmar_fake_synths"));
        takePeak = reinterpret_cast<float (*)()>(dlsym(m, "velmar_fake_take_peak"));
        stallDevice = reinterpret_cast<void (*)(int)>(dlsym(m, "velmar_fake_stall_device"));
        return refuseOpen && holdOpen && openAttempts && lastOpener && unloads &&
               unloadsWithVoices && loseDevice && starts && stops && loads && shutdowns && synths &&
               takePeak && stallDevice;
    }
};

FakeModule fake;

// The engine's wall clock, standing still until the test moves it on.
struct TestClock {
    const AudioEngine::Clock::time_point start = AudioEngine::Clock::now();
    std::atomic<std::int64_t> ms{0};
    std::function<AudioEngine::Clock::time_point()> Now() {
        return [this] { return start + ms.load() * 1ms; };
    }
};

std::function<QByteArray()> resource(const char* name) {
    return [name] { return FindResource("WAVE", name).value_or(QByteArray()); };
}

std::string melodyFile(const char* name) {
    const QString path = QDir::temp().filePath(QString(name) + ".mid");
    QFile file(path);
    const QByteArray bytes = FindResource("MUSIC", name).value();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path.toStdString();
}

bool prepared(AudioEngine& engine, const std::string& path) {
    if (!engine.WaitSoundfont(20s) || !engine.OpenMidi(path))
        return false;
    return QTest::qWaitFor([&] { return engine.MidiPrepared(); }, 20000);
}

// Melody `name` opened, played and a second and a half into it, its voices sounding.
bool soundingAWhile(AudioEngine& engine, const char* name) {
    if (!prepared(engine, melodyFile(name)))
        return false;
    engine.PlayMidi();
    return QTest::qWaitFor([&] { return engine.MidiPositionSeconds() > 1.5; }, 5000);
}

// Opened, sounded once, and closed again for being idle.
bool closedForBeingIdle(AudioEngine& engine, TestClock& clock) {
    if (!engine.WaitOutput(10s))
        return false;
    engine.PlayClip("KEY", resource("KEY"));
    if (!QTest::qWaitFor([&] { return engine.OutputPaused(); }, 5000))
        return false;
    clock.ms += 11000;
    return QTest::qWaitFor([&] { return engine.OutputClosed(); }, 5000);
}

} // namespace

class TestAudioDevice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qputenv("VELMAR_AUDIO_MODULE", VELMAR_FAKE_AUDIO_MODULE);
        QVERIFY(fake.Load());
    }

    void init() {
        fake.refuseOpen(0);
        fake.holdOpen(0);
        fake.loseDevice(0);
        fake.stallDevice(0);
    }

    void reopeningAfterTheIdleCloseLeavesTheWindowFree() {
        TestClock clock;
        AudioEngine engine(Output::Device, kDefaultSoundfont, clock.Now());
        QVERIFY(closedForBeingIdle(engine, clock));
        const int attempts = fake.openAttempts();
        fake.holdOpen(1);
        QVERIFY(engine.PlayClip("FINALLY", resource("FINALLY")));
        QVERIFY(engine.OutputOpening());
        QTRY_COMPARE_WITH_TIMEOUT(fake.openAttempts(), attempts + 1, 30000);
        QVERIFY(fake.lastOpener() != static_cast<unsigned long>(pthread_self()));
        fake.holdOpen(0);
        QTRY_VERIFY_WITH_TIMEOUT(!engine.OutputOpening() && !engine.OutputPaused(), 30000);
        QVERIFY(engine.ClipPlaying()); // on time, so it sounds
    }

    // Closed for being idle, the output lets the module go with its synthesizer; the next
    // clip loads it again and is heard without one, and the next melody makes a new one.
    void theModuleGoesWithTheIdleOutputAndComesBackAtTheNextSound() {
        TestClock clock;
        AudioEngine engine(Output::Device, kDefaultSoundfont, clock.Now());
        if (!engine.WaitSoundfont(20s))
            QSKIP("no soundfont");
        const int shutdowns = fake.shutdowns();
        QVERIFY(closedForBeingIdle(engine, clock));
        QTRY_VERIFY_WITH_TIMEOUT(!engine.ModuleLoaded(), 30000);
        QCOMPARE(fake.shutdowns(), shutdowns + 1);

        const int loads = fake.loads();
        const int synths = fake.synths();
        fake.takePeak();
        QVERIFY(engine.PlayClip("FINALLY", resource("FINALLY")));
        QTRY_VERIFY_WITH_TIMEOUT(engine.ModuleLoaded() && !engine.OutputPaused(), 30000);
        QCOMPARE(fake.loads(), loads + 1);
        float heard = 0; // QTRY evaluates its condition once more after it held
        QTRY_VERIFY_WITH_TIMEOUT((heard = std::max(heard, fake.takePeak())) > 0.01f, 30000);
        QCOMPARE(fake.synths(), synths);
        engine.StopClip();

        QVERIFY(prepared(engine, melodyFile("MYMUSIC")));
        QCOMPARE(fake.synths(), synths + 1);
        fake.takePeak();
        engine.PlayMidi();
        QTRY_VERIFY_WITH_TIMEOUT(engine.MidiPositionSeconds() > 1.0, 5000);
        QVERIFY(fake.takePeak() > 0.01f);
        QCOMPARE(fake.loads(), loads + 1);
    }

    // A melody opened but not yet played holds its instruments in the synthesizer: the idle
    // close keeps the module for it, so its play starts at once and is heard.
    void aMelodyWaitingToPlayKeepsTheModuleThroughTheIdleClose() {
        TestClock clock;
        AudioEngine engine(Output::Device, kDefaultSoundfont, clock.Now());
        if (!engine.WaitSoundfont(20s))
            QSKIP("no soundfont");
        QVERIFY(prepared(engine, melodyFile("MYMUSIC2")));
        const int shutdowns = fake.shutdowns();
        QVERIFY(closedForBeingIdle(engine, clock));
        QVERIFY(engine.WaitWorker(5s)); // it has seen the close
        QVERIFY(engine.ModuleLoaded());
        fake.takePeak();
        engine.PlayMidi();
        QTRY_VERIFY_WITH_TIMEOUT(engine.MidiPositionSeconds() > 1.0, 5000);
        QVERIFY(fake.takePeak() > 0.01f);
        QCOMPARE(fake.shutdowns(), shutdowns);
    }

    void aClipAskedForWhileTheDeviceOpensSoundsUnlessItWouldBeLate_data() {
        QTest::addColumn<int>("waitedMs");
        QTest::addColumn<bool>("sounds");
        QTest::newRow("50 ms") << 50 << true;
        QTest::newRow("200 ms") << 200 << false;
    }
    void aClipAskedForWhileTheDeviceOpensSoundsUnlessItWouldBeLate() {
        QFETCH(int, waitedMs);
        QFETCH(bool, sounds);
        TestClock clock;
        AudioEngine engine(Output::Device, kDefaultSoundfont, clock.Now());
        QVERIFY(closedForBeingIdle(engine, clock));
        fake.holdOpen(1);
        QVERIFY(engine.PlayClip("FINALLY", resource("FINALLY")));
        clock.ms += waitedMs;
        fake.holdOpen(0);
        QTRY_VERIFY_WITH_TIMEOUT(!engine.OutputOpening(), 30000);
        QCOMPARE(engine.ClipPlaying(), sounds);
    }

    void aDeviceThatWillNotReopenLeavesTheMelodyToTheSilentClock() {
        TestClock clock;
        AudioEngine engine(Output::Device, kDefaultSoundfont, clock.Now());
        QVERIFY(closedForBeingIdle(engine, clock));
        fake.refuseOpen(1);
        QVERIFY(engine.OpenMidi(melodyFile("MYMUSIC")));
        int ended = 0;
        engine.PlayMidi([&] { ++ended; });
        QTRY_VERIFY_WITH_TIMEOUT(!engine.OutputOpening(), 30000);
        QVERIFY(!engine.HasDevice());
        QVERIFY(engine.MidiPlaying());
        clock.ms += std::int64_t(engine.MidiLengthSeconds() * 1000) + 100;
        QTRY_COMPARE_WITH_TIMEOUT(ended, 1, 30000);
        QVERIFY(!engine.MidiPlaying());

        // The last try was long ago, so this sound tries again; those right after it do not,
        // one a few seconds on does.
        const int attempts = fake.openAttempts();
        QVERIFY(engine.PlayClip("KEY", resource("KEY")));
        QTRY_VERIFY_WITH_TIMEOUT(!engine.OutputOpening(), 30000);
        QCOMPARE(fake.openAttempts(), attempts + 1);
        for (int i = 0; i < 3; ++i)
            QVERIFY(engine.PlayClip("KEY", resource("KEY")));
        QCOMPARE(fake.openAttempts(), attempts + 1);
        clock.ms += 3500;
        QVERIFY(engine.PlayClip("KEY", resource("KEY")));
        QTRY_COMPARE_WITH_TIMEOUT(fake.openAttempts(), attempts + 2, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!engine.OutputOpening(), 30000);
        QCOMPARE(ended, 1);
    }

    void musicComesBackWhereTheSilentClockGot() {
        fake.refuseOpen(1);
        TestClock clock;
        AudioEngine engine(Output::Device, kDefaultSoundfont, clock.Now());
        QVERIFY(!engine.WaitOutput(10s));
        if (!engine.WaitSoundfont(20s))
            QSKIP("no soundfont");
        QVERIFY(prepared(engine, melodyFile("MYMUSIC")));
        engine.PlayMidi();
        clock.ms += 4000;
        QVERIFY(std::abs(engine.MidiPositionSeconds() - 4.0) < 0.5);
        fake.refuseOpen(0); // the next try, a few seconds after the last, succeeds
        QTRY_VERIFY_WITH_TIMEOUT(engine.HasDevice(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(engine.MidiPositionSeconds() > 3.9, 30000);
        QVERIFY(engine.MidiPlaying());
    }

    // The sound server ends while a melody plays and a new one starts later: the music goes
    // on by the silent clock, every try restarts the audio subsystem (whose connection died
    // with the old server), and once a server is there the melody sounds again where it got.
    void aDeviceLostWithItsServerComesBackWithANewServer() {
        TestClock clock;
        AudioEngine engine(Output::Device, kDefaultSoundfont, clock.Now());
        QVERIFY(engine.WaitOutput(10s));
        if (!engine.WaitSoundfont(20s))
            QSKIP("no soundfont");
        QVERIFY(prepared(engine, melodyFile("MYMUSIC")));
        engine.PlayMidi();
        QTRY_VERIFY_WITH_TIMEOUT(!engine.OutputPaused(), 30000);
        const int stops = fake.stops();

        fake.refuseOpen(1); // no server to open on yet
        fake.loseDevice(1);
        QTRY_VERIFY_WITH_TIMEOUT(!engine.HasDevice(), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(fake.stops(), stops + 1,
                                  30000); // the dead connection is let go at once
        fake.loseDevice(0);
        QVERIFY(engine.MidiPlaying());
        const int starts = fake.starts();
        for (int tries = 1; tries <= 2; ++tries) {
            clock.ms += 3500;
            QTRY_COMPARE_WITH_TIMEOUT(fake.starts(), starts + tries, 30000);
            QTRY_VERIFY_WITH_TIMEOUT(!engine.OutputOpening(), 30000);
            QVERIFY(!engine.HasDevice());
        }
        QCOMPARE(fake.stops(), stops + 3); // a failed open does not keep the subsystem

        fake.refuseOpen(0);
        clock.ms += 3500;
        QTRY_VERIFY_WITH_TIMEOUT(engine.HasDevice(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!engine.OutputPaused(), 30000);
        QVERIFY(engine.MidiPlaying());
        // 10.5 s went by on the silent clock, also before the device mixes its first block.
        QVERIFY(engine.MidiPositionSeconds() > 10.4);
    }

    void aFontIsUnloadedOnlyOnceItsVoicesAreGone() {
        TestClock clock;
        AudioEngine engine(Output::Device, kDefaultSoundfont, clock.Now());
        QVERIFY(engine.WaitOutput(10s));
        if (!engine.WaitSoundfont(20s))
            QSKIP("no soundfont");
        const int unloads = fake.unloads();
        // Switched while it plays, then stopped while the next one plays.
        for (const char* name : {"MYMUSIC", "MYMUSIC2"})
            QVERIFY(soundingAWhile(engine, name));
        engine.CloseMidi();
        QTRY_COMPARE_WITH_TIMEOUT(fake.unloads(), unloads + 2, 5000);
        QCOMPARE(fake.unloadsWithVoices(), 0);
    }

    // Melodies switched faster than their fonts load keep the worker, and so the synthesizer,
    // busy, and the callback then renders no block in which the silenced voices could end.
    void fontsLetGoWhileNothingRendersAreStillFreed() {
        TestClock clock;
        AudioEngine engine(Output::Device, kDefaultSoundfont, clock.Now());
        QVERIFY(engine.WaitOutput(10s));
        if (!engine.WaitSoundfont(20s))
            QSKIP("no soundfont");
        QVERIFY(soundingAWhile(engine, "MYMUSIC"));
        const int unloads = fake.unloads();
        const int unloadsWithVoices = fake.unloadsWithVoices();
        fake.stallDevice(1);
        for (const char* name : {"MYMUSIC2", "MYMUSIC3", "MYMUSIC", "MYMUSIC2"}) {
            QVERIFY(prepared(engine, melodyFile(name)));
            engine.PlayMidi();
        }
        QVERIFY(engine.WaitWorker(5s));
        // Each font but the one playing has gone, and none while a voice still used it.
        QCOMPARE(fake.unloads(), unloads + 4);
        QCOMPARE(fake.unloadsWithVoices(), unloadsWithVoices);
        fake.stallDevice(0);
        QTRY_VERIFY_WITH_TIMEOUT(engine.MidiPositionSeconds() > 0.5, 5000);
    }

    void anEngineDestroyedWhileItPlaysFreesItsFontWithItsVoices() {
        const int unloads = fake.unloadsWithVoices();
        {
            AudioEngine engine(Output::Device);
            QVERIFY(engine.WaitOutput(10s));
            if (!engine.WaitSoundfont(20s))
                QSKIP("no soundfont");
            QVERIFY(soundingAWhile(engine, "MYMUSIC2"));
        }
        QCOMPARE(fake.unloadsWithVoices(), unloads);
    }

    // Ctrl+C and a shut-down's SIGTERM must reach the game, not a quit event nobody reads.
    void soundLeavesTheTerminalSignalsToTheGame() {
        struct sigaction dfl {
        }, savedInt{}, savedTerm{}, nowInt{}, nowTerm{};
        dfl.sa_handler = SIG_DFL;
        sigaction(SIGINT, &dfl, &savedInt); // the test framework's own handlers step aside
        sigaction(SIGTERM, &dfl, &savedTerm);
        {
            AudioEngine engine(Output::Device);
            QVERIFY(engine.WaitOutput(10s));
            sigaction(SIGINT, nullptr, &nowInt);
            sigaction(SIGTERM, nullptr, &nowTerm);
        }
        sigaction(SIGINT, &savedInt, nullptr);
        sigaction(SIGTERM, &savedTerm, nullptr);
        QVERIFY(nowInt.sa_handler == SIG_DFL);
        QVERIFY(nowTerm.sa_handler == SIG_DFL);
    }

    // On a machine without a sound card ALSA would print its failures at every start.
    void withoutASoundCardTheTerminalStaysQuiet() {
        if (QFile::exists("/dev/snd"))
            QSKIP("this machine has a sound card");
        QTemporaryFile log;
        QVERIFY(log.open());
        const int saved = dup(STDERR_FILENO);
        dup2(log.handle(), STDERR_FILENO);
        const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
        qputenv("SDL_AUDIODRIVER", "alsa");
        bool device = true;
        {
            AudioEngine engine(Output::Device);
            device = engine.WaitOutput(10s);
        }
        qputenv("SDL_AUDIODRIVER", driver);
        dup2(saved, STDERR_FILENO);
        close(saved);
        QVERIFY(!device);
        log.seek(0);
        const QByteArray printed = log.readAll();
        QVERIFY2(!printed.contains("ALSA lib"), printed.constData());
    }
};

QTEST_GUILESS_MAIN(TestAudioDevice)
#include "TestAudioDevice.moc"
