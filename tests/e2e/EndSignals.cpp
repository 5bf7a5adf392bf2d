// SPDX-License-Identifier: GPL-3.0-or-later
// A log-out, a shut-down, kill or Ctrl+C ends the running game at once, as a confirmed close
// does: exit status 0 and no temporary file left behind.
#include "DriverMain.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

// Shared machines are slow; these only bound how long a broken game is waited for.
constexpr int kAppearTimeoutMs = 20000;
constexpr int kExitTimeoutMs = 10000;

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

bool windowShown() {
    QProcess p;
    p.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                        QStringLiteral("--name"), QStringLiteral("^Velmar$")});
    return p.waitForFinished(10000) && p.exitCode() == 0 && !p.readAllStandardOutput().isEmpty();
}

template <typename Done> bool pollFor(Done done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (done())
            return true;
        if (deadline.hasExpired())
            return false;
        QTest::qWait(50);
    }
}

} // namespace

class EndSignals : public QObject {
    Q_OBJECT
    QProcess game_;

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
        game_.setProcessChannelMode(QProcess::ForwardedChannels);
        game_.start(gamePath, {});
        QVERIFY2(game_.waitForStarted(kAppearTimeoutMs), qPrintable(game_.errorString()));
        if (const QString pidFile = qEnvironmentVariable("VELMAR_E2E_GAME_PIDFILE");
            !pidFile.isEmpty()) {
            QFile f(pidFile);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray::number(game_.processId()));
        }
        QVERIFY2(pollFor([&] { return windowShown() || game_.state() != QProcess::Running; },
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

    void cleanup() {
        if (game_.state() != QProcess::NotRunning) {
            game_.kill();
            game_.waitForFinished(kExitTimeoutMs);
        }
    }
};

int main(int argc, char** argv) {
    return RunDriver<EndSignals>(argc, argv);
}

#include "EndSignals.moc"
