// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/SolverTables.h"

#include "HelperThreads.h"

#include <QTest>

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
        std::atomic<bool> cancel{false};
        std::thread::id helper;
        QVERIFY(!SolverTables::Build(cancel, threadcases::CancellingHelper(cancel, helper)));
        QVERIFY(helper != std::thread::id());
        QVERIFY(helper != std::this_thread::get_id());
    }

    void aHelperThatFailsEndsTheBuildWithItsError() {
        const std::atomic<bool> never{false};
        QCOMPARE(threadcases::RuntimeErrorOf(
                     [&] { SolverTables::Build(never, threadcases::FailingHelper()); }),
                 threadcases::HelperError);
    }
};

QTEST_APPLESS_MAIN(TestTableBuild)
#include "TestTableBuild.moc"
