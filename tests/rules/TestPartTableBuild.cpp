// SPDX-License-Identifier: GPL-3.0-or-later
// The per-part tables' build on more than one thread: run under ThreadSanitizer too.
#include "app/rules/PartTable.h"

#include "HelperThreads.h"

#include <QTest>

#include <thread>
#include <vector>

using namespace rules;

class TestPartTableBuild : public QObject {
    Q_OBJECT

private slots:
    void everyThreadCountBuildsTheSameBytes_data() {
        QTest::addColumn<QList<int>>("homes");
        QTest::addColumn<int>("helpers");
        QTest::newRow("five tiles, two threads") << QList<int>{0, 1, 2, 4, 5} << 1;
        QTest::newRow("five tiles, more threads than cores") << QList<int>{0, 1, 2, 4, 5} << 3;
    }
    void everyThreadCountBuildsTheSameBytes() {
        QFETCH(QList<int>, homes);
        QFETCH(int, helpers);
        const std::vector<std::uint8_t> cells(homes.begin(), homes.end());
        const std::atomic<bool> never{false};
        const std::vector<std::uint8_t> alone = BuildPartTable(cells, never);
        QCOMPARE(alone.size(), PartTableBytes(static_cast<int>(cells.size())));
        QVERIFY(BuildPartTable(cells, never, {helpers, nullptr}) == alone);
    }

    void aCancelRaisedBeforeOrDuringTheBuildGivesNothing() {
        const std::vector<std::uint8_t> homes{0, 1, 2, 4, 5, 6};
        const std::atomic<bool> raised{true};
        QVERIFY(BuildPartTable(homes, raised).empty());
        std::atomic<bool> cancel{false};
        std::thread::id helper;
        QVERIFY(
            BuildPartTable(homes, cancel, threadcases::CancellingHelper(cancel, helper)).empty());
        QVERIFY(helper != std::thread::id());
        QVERIFY(helper != std::this_thread::get_id());
    }

    void aHelperThatFailsEndsTheBuildWithItsError() {
        const std::atomic<bool> never{false};
        QCOMPARE(threadcases::RuntimeErrorOf([&] {
                     BuildPartTable({0, 1, 4, 5}, never, threadcases::FailingHelper());
                 }),
                 threadcases::HelperError);
    }
};

QTEST_APPLESS_MAIN(TestPartTableBuild)
#include "TestPartTableBuild.moc"
