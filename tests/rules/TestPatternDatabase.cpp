// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PatternDatabase.h"
#include "app/rules/PatternTable.h"

#include "GroupReference.h"

#include <QTest>

#include <vector>

using namespace rules;

class TestPatternDatabase : public QObject {
    Q_OBJECT

private slots:
    void everyStatesBitAndValueAreTheGroupsTrueDistance_data() {
        QTest::addColumn<QList<int>>("homes");
        QTest::addColumn<int>("helpers");   // threads besides the caller's
        QTest::addColumn<int>("walkEvery"); // the full value is walked for every n-th state
        QTest::newRow("the bottom row's three tiles") << QList<int>{12, 13, 14} << 0 << 1;
        QTest::newRow("three tiles apart") << QList<int>{0, 1, 14} << 0 << 1;
        // Four tiles wall off corners and whole rows, where the empty cell's part matters. At
        // home the column leaves two parts, and only the one holding cell 15 is the goal's.
        QTest::newRow("a square in the corner") << QList<int>{0, 1, 4, 5} << 0 << 1;
        QTest::newRow("a column") << QList<int>{1, 5, 9, 13} << 0 << 1;
        // Threads share the placements and split each layer: none may lose or repeat a state.
        QTest::newRow("three tiles apart, two threads") << QList<int>{0, 1, 14} << 1 << 1;
        QTest::newRow("a column, two threads") << QList<int>{1, 5, 9, 13} << 1 << 1;
        QTest::newRow("a square in the corner, four threads") << QList<int>{0, 1, 4, 5} << 3 << 1;
        QTest::newRow("five tiles scattered, two threads") << QList<int>{0, 2, 5, 8, 13} << 1 << 61;
    }
    void everyStatesBitAndValueAreTheGroupsTrueDistance() {
        QFETCH(QList<int>, homes);
        QFETCH(int, helpers);
        QFETCH(int, walkEvery);
        std::vector<std::uint8_t> cells;
        for (const int home : homes)
            cells.push_back(static_cast<std::uint8_t>(home));
        const int k = static_cast<int>(cells.size());
        const std::atomic<bool> never{false};
        const std::vector<std::uint8_t> entries =
            BuildPatternTable(cells, never, {helpers, nullptr});
        QCOMPARE(entries.size(), PatternTableBytes(k));
        const PatternTable table(entries.data(), cells);
        // The goal's empty cell is on cell 15.
        const std::vector<std::int16_t> expected = reference::GroupDistances(cells, 1u << 15);
        const reference::TableCheck check =
            reference::CheckEveryState(table, k, expected, walkEvery);
        QVERIFY2(check.Wrong.empty(), check.Wrong.c_str());
        QCOMPARE(check.Checked, reference::StatesOf(k));
    }

    void everyPlacementHasAPlaceOfItsOwnWithoutGaps_data() {
        QTest::addColumn<int>("tiles");
        for (int tiles = PatternTilesLeast; tiles <= PatternTilesMost; ++tiles)
            QTest::addRow("%d tiles", tiles) << tiles;
    }
    void everyPlacementHasAPlaceOfItsOwnWithoutGaps() {
        QFETCH(int, tiles);
        // 16 * 15 * ..., a factor for each tile: the table has no gaps.
        const std::array<std::size_t, 4> expected = {3360, 43680, 524160, 5765760};
        const std::size_t size = expected[static_cast<std::size_t>(tiles - PatternTilesLeast)];
        QCOMPARE(PatternPlaces(tiles), size);
        const PatternIndex index(tiles);
        std::vector<bool> taken(size, false);
        std::size_t placements = 0;
        for (std::uint32_t placement = 0; placement < (1u << (4 * tiles)); ++placement) {
            if (reference::CellsOf(placement, tiles) == 0)
                continue;
            const std::uint32_t at = index.Place(placement);
            if (at >= size || taken[at])
                QFAIL(
                    qPrintable(QStringLiteral("placement %1 at %2").arg(placement, 0, 16).arg(at)));
            taken[at] = true;
            ++placements;
        }
        QCOMPARE(placements, size);
    }

    void aGroupOutsideTheTablesReachIsRefused() {
        const std::atomic<bool> never{false};
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, BuildPatternTable({0, 1}, never));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, BuildPatternTable({0, 1, 15}, never));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, BuildPatternTable({0, 1, 1}, never));
    }
};

QTEST_APPLESS_MAIN(TestPatternDatabase)
#include "TestPatternDatabase.moc"
