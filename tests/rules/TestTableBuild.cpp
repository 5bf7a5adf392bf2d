// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/SolverTables.h"

#include <QTest>

#include <stdexcept>
#include <string>
#include <thread>

using namespace rules;

class TestTableBuild : public QObject {
    Q_OBJECT

private slots:
    void everyThreadCountBuildsTheTablesTheCacheWasMadeFor_data() {
        QTest::addColumn<int>("helpers");
        QTest::newRow("one thread") << 0;
        QTest::newRow("two threads") << 1;
    }
    void everyThreadCountBuildsTheTablesTheCacheWasMadeFor() {
        QFETCH(int, helpers);
        const std::atomic<bool> never{false};
        const auto tables = SolverTables::Build(never, {helpers, nullptr});
        QVERIFY(tables);
        QCOMPARE(tables->EntriesChecksum(), BuiltTablesChecksum);
    }

    void aCancelRaisedOnceTheHelperRunsStopsTheBuild() {
        // The helper raises it before its first chunk: the build cannot have finished by then,
        // as no layer ends before every thread has taken its part.
        std::atomic<bool> cancel{false};
        std::thread::id helper;
        const BuildThreads threads{1, [&] {
                                       helper = std::this_thread::get_id();
                                       cancel = true;
                                   }};
        QVERIFY(!SolverTables::Build(cancel, threads));
        QVERIFY(helper != std::thread::id());
        QVERIFY(helper != std::this_thread::get_id());
    }

    void aHelperThatFailsEndsTheBuildWithItsError() {
        const std::atomic<bool> never{false};
        const BuildThreads threads{1, [] { throw std::runtime_error("no helper today"); }};
        QString caught;
        try {
            SolverTables::Build(never, threads);
        } catch (const std::runtime_error& error) {
            caught = error.what();
        }
        QCOMPARE(caught, QString("no helper today"));
    }
};

QTEST_APPLESS_MAIN(TestTableBuild)
#include "TestTableBuild.moc"
