// SPDX-License-Identifier: GPL-3.0-or-later
// What every end-to-end driver does around the game: start it, find its windows through the X
// server, wait for a condition, and make sure it is gone afterwards.
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

// Shared machines are slow; these only bound how long a broken game is waited for.
constexpr int kAppearTimeoutMs = 20000;
constexpr int kExitTimeoutMs = 10000;

// A hung xdotool fails one check instead of eating the whole test's time budget.
inline QString xdotool(const QStringList& args, bool* ok = nullptr) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    const bool finished = p.waitForStarted(10000) && p.waitForFinished(10000);
    if (!finished) {
        p.kill();
        p.waitForFinished(2000);
    }
    const bool good = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok) {
        *ok = good;
        if (!good)
            qWarning("xdotool %s: %s %s", qPrintable(args.join(QLatin1Char(' '))),
                     finished ? "failed" : "hung", p.readAllStandardError().constData());
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
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

// xdotool matches names as case-insensitive patterns; the exact title is compared here.
inline QStringList visibleWindowsTitled(const QString& pattern, const QString& exactTitle) {
    QStringList found;
    const QString ids = xdotool({"search", "--onlyvisible", "--name", pattern});
    for (const QString& id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (xdotool({"getwindowname", id}) == exactTitle)
            found << id;
    return found;
}

// Starts the game with its output on the driver's, and leaves its pid where run-e2e.sh looks
// for it, so a driver that dies still takes the game with it. An empty text means started.
inline QString StartGame(QProcess& game, const QString& path) {
    game.setProcessChannelMode(QProcess::ForwardedChannels);
    game.start(path, {});
    if (!game.waitForStarted(kAppearTimeoutMs))
        return game.errorString();
    if (const QString pidFile = qEnvironmentVariable("VELMAR_E2E_GAME_PIDFILE");
        !pidFile.isEmpty()) {
        QFile f(pidFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(QByteArray::number(game.processId())) < 0)
            return QStringLiteral("cannot write ") + pidFile;
    }
    return {};
}

// A game a failed check left running is killed, so the next one starts alone.
inline void StopGame(QProcess& game) {
    if (game.state() != QProcess::NotRunning) {
        game.kill();
        game.waitForFinished(kExitTimeoutMs);
    }
}
