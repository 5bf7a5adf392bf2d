// SPDX-License-Identifier: GPL-3.0-or-later
// A log-out, a shut-down, kill or Ctrl+C ends the running game at once, as a confirmed close
// does: exit status 0 and no temporary file left behind.
#include "DriverMain.h"
#include "GameProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

const QStringList kTemporaryFiles = {"Language_Velmar.lng", "Music.mid", "Music2.mid", "Music3.mid",
                                     "VELMAR.hlp"};

QString temporaryFolder() {
    const QString base = qEnvironmentVariable("TMPDIR", QStringLiteral("/tmp"));
    return base + QStringLiteral("/velmar-%1/").arg(getuid());
}

QStringList temporaryFilesPresent() {
    QStringList present;
    for (const QString& file : kTemporaryFiles)
        if (QFile::exists(temporaryFolder() + file))
            present << file;
    return present;
}

} // namespace

class EndSignals : public QObject {
    Q_OBJECT
    QProcess game_;

    // The window's id once the started game shows it; empty when it never does.
    QString startedWindow() {
        QStringList windows;
        pollFor(
            [&] {
                windows =
                    visibleWindowsTitled(QStringLiteral("^Velmar$"), QStringLiteral("Velmar"));
                return !windows.isEmpty() || game_.state() != QProcess::Running;
            },
            kAppearTimeoutMs);
        return windows.isEmpty() ? QString() : windows.first();
    }

    void expectCleanEndOn(int signal) {
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(::kill(static_cast<pid_t>(game_.processId()), signal), 0);
        QVERIFY2(game_.waitForFinished(kExitTimeoutMs), "the game did not end on the signal");
        qInfo("ended %lld ms after the signal", static_cast<long long>(clock.elapsed()));
        QCOMPARE(game_.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game_.exitCode(), 0);
        QCOMPARE(temporaryFilesPresent(), QStringList());
    }

private slots:
    void anEndSignalEndsTheGameCleanly_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void anEndSignalEndsTheGameCleanly() {
        QFETCH(int, signal);
        QVERIFY2(QFile::exists(gamePath), qPrintable("no game at " + gamePath));
        const QString notStarted = StartGame(game_, gamePath);
        QVERIFY2(notStarted.isEmpty(), qPrintable(notStarted));
        QVERIFY2(pollFor(
                     [&] {
                         return !visibleWindowsTitled(QStringLiteral("^Velmar$"),
                                                      QStringLiteral("Velmar"))
                                     .isEmpty() ||
                                game_.state() != QProcess::Running;
                     },
                     kAppearTimeoutMs),
                 "no visible window titled Velmar");
        QCOMPARE(game_.state(), QProcess::Running);
        QCOMPARE(temporaryFilesPresent(), kTemporaryFiles);

        QElapsedTimer clock;
        clock.start();
        QCOMPARE(::kill(static_cast<pid_t>(game_.processId()), signal), 0);
        QVERIFY2(game_.waitForFinished(kExitTimeoutMs), "the game did not end on the signal");
        qInfo("ended %lld ms after the signal", static_cast<long long>(clock.elapsed()));
        QCOMPARE(game_.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game_.exitCode(), 0);
        QCOMPARE(temporaryFilesPresent(), QStringList());
    }

    void aSignalDuringAHintsSearchEndsTheGameWithoutWaitingForIt() {
        // Without the seven-tile tables beside it, the first hint in a fresh home builds the
        // smaller ones first, which takes long enough to send the signal meanwhile.
        qputenv("VELMAR_SEVEN_TABLES", "");
        const QString notStarted = StartGame(game_, gamePath);
        qunsetenv("VELMAR_SEVEN_TABLES");
        QVERIFY2(notStarted.isEmpty(), qPrintable(notStarted));
        const QString window = startedWindow();
        QVERIFY2(!window.isEmpty(), "no visible window titled Velmar");
        xdotool({"windowfocus", window});
        QVERIFY(pollFor([&] { return xdotool({"getwindowfocus"}) == window; }, kAppearTimeoutMs));
        bool ok = false;
        xdotool({"key", "F5", "h"}, &ok);
        QVERIFY(ok);
        // The title says so while the tables are built and the search runs; the signal comes
        // then.
        QVERIFY2(pollFor(
                     [&] {
                         return xdotool({"getwindowname", window}) ==
                                    QStringLiteral("Velmar - working out a hint...") ||
                                game_.state() != QProcess::Running;
                     },
                     kAppearTimeoutMs),
                 "the title never said a hint was being worked out");
        QCOMPARE(game_.state(), QProcess::Running);
        expectCleanEndOn(SIGTERM);
    }

    void anEndSignalWithTheRecordsWindowOpenEndsTheGame() {
        const QString notStarted = StartGame(game_, gamePath);
        QVERIFY2(notStarted.isEmpty(), qPrintable(notStarted));
        const QString window = startedWindow();
        QVERIFY2(!window.isEmpty(), "no visible window titled Velmar");
        xdotool({"windowfocus", window});
        QVERIFY(pollFor([&] { return xdotool({"getwindowfocus"}) == window; }, kAppearTimeoutMs));
        bool ok = false;
        xdotool({"key", "ctrl+r"}, &ok);
        QVERIFY(ok);
        QVERIFY2(pollFor(
                     [&] {
                         return !visibleWindowsTitled(QStringLiteral("^Records$"),
                                                      QStringLiteral("Records"))
                                     .isEmpty();
                     },
                     kAppearTimeoutMs),
                 "Ctrl+R did not bring up the records");
        expectCleanEndOn(SIGTERM);
    }

    void cleanup() { StopGame(game_); }
};

int main(int argc, char** argv) {
    return RunDriver<EndSignals>(argc, argv);
}

#include "EndSignals.moc"
