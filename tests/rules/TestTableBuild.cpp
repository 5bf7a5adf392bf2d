// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/SolverTables.h"

#include <QTest>

#include <stdexcept>
#include <string>
#include <thread>

using namespace rules;

namespace {

// What the single-thread builder before the layered search (commit aba9c4d) wrote: the
// checksum that closes the tables' bytes, read from its ToBytes. The cache files and the
// search were made for those tables, so every builder must give them byte for byte.
constexpr std::uint64_t kTablesChecksum = 0x091ff363152daeecull;
constexpr std::size_t kTablesFileBytes = 8392732;

std::uint64_t closingChecksum(const std::string& bytes) {
    std::uint64_t value = 0;
    for (std::size_t b = 0; b < 8; ++b)
        value = (value << 8) | static_cast<unsigned char>(bytes[bytes.size() - 1 - b]);
    return value;
}

} // namespace

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
        const std::string bytes = tables->ToBytes();
        QCOMPARE(bytes.size(), kTablesFileBytes);
        QCOMPARE(closingChecksum(bytes), kTablesChecksum);
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
