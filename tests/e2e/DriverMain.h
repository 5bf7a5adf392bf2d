// SPDX-License-Identifier: GPL-3.0-or-later
// The main of an end-to-end driver: the first argument is the game to play, the rest go to
// Qt Test.
#pragma once

#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>
#include <QTest>

// The game the driver plays, set from the command line before the tests run.
inline QString gamePath;

template <class Driver> int RunDriver(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        qCritical("usage: %s GAME [Qt Test options]", argv[0]);
        return 2;
    }
    gamePath = args.takeAt(1);
    Driver test;
    return QTest::qExec(&test, args);
}
