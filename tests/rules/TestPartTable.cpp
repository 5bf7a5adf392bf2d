// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PartIndex.h"
#include "app/rules/PartTable.h"
#include "app/rules/PatternDatabase.h"
#include "app/rules/PatternTable.h"

#include "GroupReference.h"

#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

using namespace rules;
using reference::CellOf;
using reference::CellsOf;

namespace {

std::vector<std::uint8_t> cellList(const QList<int>& homes) {
    std::vector<std::uint8_t> cells;
    for (const int home : homes)
        cells.push_back(static_cast<std::uint8_t>(home));
    return cells;
}

int manhattan(int a, int b) {
    return std::abs(a / 4 - b / 4) + std::abs(a % 4 - b % 4);
}

// The layout worked out the slow way: regions by flood fill from the lowest open cell left,
// masks ranked by counting the smaller masks of as many cells in colex order, the order from
// each tile's later tiles on lower cells.
std::vector<int> regionsOf(unsigned cells) {
    std::vector<int> region(16, -1);
    int count = 0;
    for (int start = 0; start < 16; ++start) {
        if (((cells >> start) & 1u) || region[static_cast<std::size_t>(start)] >= 0)
            continue;
        std::vector<int> stack{start};
        region[static_cast<std::size_t>(start)] = count;
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            for (const int to : {at - 4, at + 4, at - 1, at + 1}) {
                if (to < 0 || to > 15 || (to / 4 != at / 4 && to % 4 != at % 4) ||
                    ((cells >> to) & 1u) || region[static_cast<std::size_t>(to)] >= 0)
                    continue;
                region[static_cast<std::size_t>(to)] = count;
                stack.push_back(to);
            }
        }
        ++count;
    }
    region.push_back(count);
    return region;
}

int cellCount(unsigned cells) {
    int count = 0;
    for (int cell = 0; cell < 16; ++cell)
        count += static_cast<int>((cells >> cell) & 1u);
    return count;
}

// Colex: a mask is smaller when its highest cell where the two differ is the other's.
bool colexBefore(unsigned a, unsigned b) {
    for (int cell = 15; cell >= 0; --cell)
        if (((a ^ b) >> cell) & 1u)
            return ((b >> cell) & 1u) != 0;
    return false;
}

struct SlowLayout {
    std::vector<unsigned> Masks; // in colex order
    std::vector<std::size_t> Offsets;
    std::size_t Bits = 0;
    std::size_t Orders = 1;
};

SlowLayout slowLayout(int k) {
    SlowLayout layout;
    for (unsigned cells = 0; cells < 65536; ++cells)
        if (cellCount(cells) == k)
            layout.Masks.push_back(cells);
    std::sort(layout.Masks.begin(), layout.Masks.end(), colexBefore);
    for (int i = 2; i <= k; ++i)
        layout.Orders *= static_cast<std::size_t>(i);
    for (const unsigned cells : layout.Masks) {
        layout.Offsets.push_back(layout.Bits);
        layout.Bits += static_cast<std::size_t>(regionsOf(cells).back()) * layout.Orders;
    }
    return layout;
}

std::size_t slowBitAt(const SlowLayout& layout, int k, std::uint32_t placement, int blank) {
    const unsigned cells = CellsOf(placement, k);
    const auto rank = static_cast<std::size_t>(
        std::lower_bound(layout.Masks.begin(), layout.Masks.end(), cells, colexBefore) -
        layout.Masks.begin());
    std::size_t order = 0;
    for (int i = 0; i < k; ++i) {
        std::size_t later = 0;
        for (int j = i + 1; j < k; ++j)
            later += CellOf(placement, j) < CellOf(placement, i) ? 1 : 0;
        order = order * static_cast<std::size_t>(k - i) + later;
    }
    const auto part = static_cast<std::size_t>(regionsOf(cells)[static_cast<std::size_t>(blank)]);
    return layout.Offsets[rank] + part * layout.Orders + order;
}

// A fixed walk through the placements of k tiles, for the sizes too large to take whole.
std::uint32_t randomPlacement(std::uint64_t& seed, int k) {
    for (;;) {
        std::uint32_t placement = 0;
        for (int slot = 0; slot < k; ++slot) {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            placement |= static_cast<std::uint32_t>(seed >> 60) << (4 * slot);
        }
        if (CellsOf(placement, k) != 0)
            return placement;
    }
}

} // namespace

class TestPartTable : public QObject {
    Q_OBJECT

private slots:
    void everyStatesBitAndValueAreTheGroupsTrueDistance_data() {
        QTest::addColumn<QList<int>>("homes");
        QTest::addColumn<int>("helpers");   // threads besides the caller's
        QTest::addColumn<int>("walkEvery"); // the full value is walked for every n-th state
        QTest::newRow("one tile") << QList<int>{6} << 0 << 1;
        // At home these leave cell 0 a part of its own; the goal takes the empty cell there too.
        QTest::newRow("two tiles walling off a corner") << QList<int>{1, 4} << 0 << 1;
        QTest::newRow("three tiles walling off a corner") << QList<int>{1, 4, 5} << 0 << 1;
        QTest::newRow("three tiles in a row") << QList<int>{12, 13, 14} << 0 << 1;
        QTest::newRow("a column, two threads") << QList<int>{1, 5, 9, 13} << 1 << 1;
        QTest::newRow("four tiles around a cell") << QList<int>{1, 4, 6, 9} << 0 << 1;
        QTest::newRow("a diagonal cutting the board, two threads")
            << QList<int>{3, 6, 9, 12, 0} << 1 << 7;
        QTest::newRow("five tiles scattered") << QList<int>{0, 2, 5, 8, 13} << 0 << 7;
    }
    void everyStatesBitAndValueAreTheGroupsTrueDistance() {
        QFETCH(QList<int>, homes);
        QFETCH(int, helpers);
        QFETCH(int, walkEvery);
        const std::vector<std::uint8_t> cells = cellList(homes);
        const int k = static_cast<int>(cells.size());
        const std::atomic<bool> never{false};
        const std::vector<std::uint8_t> entries = BuildPartTable(cells, never, {helpers, nullptr});
        QCOMPARE(entries.size(), PartTableBytes(k));
        const PartTable table(entries.data(), cells);
        QCOMPARE(table.Tiles(), k);
        // The goal takes the empty cell anywhere.
        const std::vector<std::int16_t> expected = reference::GroupDistances(cells, 0xFFFFu);
        const reference::TableCheck check =
            reference::CheckEveryState(table, k, expected, walkEvery);
        QVERIFY2(check.Wrong.empty(), check.Wrong.c_str());
        QCOMPARE(check.Checked, reference::StatesOf(k));
    }

    void aSingleTilesValueIsItsManhattanDistance() {
        const std::atomic<bool> never{false};
        for (int home = 0; home < 15; ++home) {
            const std::vector<std::uint8_t> homes{static_cast<std::uint8_t>(home)};
            const std::vector<std::uint8_t> entries = BuildPartTable(homes, never);
            const PartTable table(entries.data(), homes);
            for (int cell = 0; cell < 16; ++cell) {
                for (int blank = 0; blank < 16; ++blank) {
                    if (blank == cell)
                        continue;
                    const int d = manhattan(cell, home);
                    const auto at = static_cast<std::uint32_t>(cell);
                    QCOMPARE(table.Value(at, static_cast<unsigned>(blank)), d);
                    QCOMPARE(table.Bit(at, static_cast<unsigned>(blank)), (d >> 1) & 1);
                }
            }
        }
    }

    // Where the home leaves one part, the goal is the pattern tables' goal.
    void aHomeOfOnePartGivesThePatternTablesValues_data() {
        QTest::addColumn<QList<int>>("homes");
        QTest::newRow("the bottom row's three tiles") << QList<int>{12, 13, 14};
        QTest::newRow("the top row") << QList<int>{0, 1, 2, 3};
        QTest::newRow("a square in the corner") << QList<int>{0, 1, 4, 5};
        QTest::newRow("five tiles in an L") << QList<int>{0, 4, 8, 12, 13};
        QTest::newRow("the solver's six-tile block") << QList<int>{1, 2, 5, 6, 9, 10};
    }
    void aHomeOfOnePartGivesThePatternTablesValues() {
        QFETCH(QList<int>, homes);
        const std::vector<std::uint8_t> cells = cellList(homes);
        const int k = static_cast<int>(cells.size());
        const std::atomic<bool> never{false};
        const std::vector<std::uint8_t> ours = BuildPartTable(cells, never);
        const std::vector<std::uint8_t> theirs = BuildPatternTable(cells, never);
        const PartTable table(ours.data(), cells);
        const PatternTable pattern(theirs.data(), cells);
        for (std::uint32_t placement = 0; placement < (1u << (4 * k)); ++placement) {
            const unsigned taken = CellsOf(placement, k);
            if (taken == 0)
                continue;
            for (unsigned blank = 0; blank < 16; ++blank)
                if (((taken >> blank) & 1u) == 0 &&
                    table.Bit(placement, blank) != pattern.Bit(placement, blank))
                    QFAIL(qPrintable(QStringLiteral("placement %1, empty cell %2")
                                         .arg(placement, 0, 16)
                                         .arg(blank)));
        }
        // The walks agree too, checked on a sample: they take far longer than the bits.
        std::uint64_t seed = 5;
        for (int n = 0; n < 2000; ++n) {
            const std::uint32_t placement = randomPlacement(seed, k);
            const unsigned blank = static_cast<unsigned>(seed >> 32) % 16;
            if (((CellsOf(placement, k) >> blank) & 1u) == 0)
                QCOMPARE(table.Value(placement, blank), pattern.Value(placement, blank));
        }
    }

    void everyStateHasABitOfItsOwnWhereTheLayoutPutsIt_data() {
        QTest::addColumn<int>("tiles");
        QTest::addColumn<int>("samples"); // 0: every state
        for (int tiles = 1; tiles <= PartTilesMost; ++tiles)
            QTest::addRow("%d tiles", tiles) << tiles << (tiles <= 4 ? 0 : 20000);
    }
    void everyStateHasABitOfItsOwnWhereTheLayoutPutsIt() {
        QFETCH(int, tiles);
        QFETCH(int, samples);
        const SlowLayout layout = slowLayout(tiles);
        QCOMPARE(PartTableBytes(tiles), (layout.Bits + 7) / 8);
        const PartIndex& index = SharedPartIndex(tiles);
        const auto check = [&](std::uint32_t placement, unsigned blank) {
            const std::size_t expected =
                slowBitAt(layout, tiles, placement, static_cast<int>(blank));
            const std::uint32_t at = index.At(placement, blank);
            if (at != expected)
                QFAIL(qPrintable(QStringLiteral("placement %1, empty cell %2: bit %3, not %4")
                                     .arg(placement, 0, 16)
                                     .arg(blank)
                                     .arg(at)
                                     .arg(expected)));
        };
        if (samples == 0) {
            for (std::uint32_t placement = 0; placement < (1u << (4 * tiles)); ++placement)
                for (unsigned blank = 0; blank < 16; ++blank)
                    if (CellsOf(placement, tiles) != 0 &&
                        !((CellsOf(placement, tiles) >> blank) & 1u))
                        check(placement, blank);
            return;
        }
        std::uint64_t seed = 1;
        for (int n = 0; n < samples; ++n) {
            const std::uint32_t placement = randomPlacement(seed, tiles);
            for (unsigned blank = 0; blank < 16; ++blank)
                if (!((CellsOf(placement, tiles) >> blank) & 1u))
                    check(placement, blank);
        }
    }

    void sevenTilesMakeTheirPartsPairsWithoutGaps() {
        std::size_t pairs = 0;
        for (unsigned cells = 0; cells < 65536; ++cells)
            if (cellCount(cells) == 7)
                pairs += static_cast<std::size_t>(regionsOf(cells).back());
        QCOMPARE(pairs, std::size_t{27748});
        QCOMPARE(PartTableBytes(7), (pairs * 5040 + 7) / 8);
    }

    void aGroupOutsideTheTablesReachIsRefused() {
        const std::atomic<bool> never{false};
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, BuildPartTable({}, never));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, BuildPartTable({0, 15}, never));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, BuildPartTable({3, 3}, never));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 BuildPartTable({0, 1, 2, 3, 4, 5, 6, 7}, never));
        const std::uint8_t none = 0;
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, PartTable(&none, {0, 1, 2, 3, 4, 5, 6, 7}));
    }
};

QTEST_APPLESS_MAIN(TestPartTable)
#include "TestPartTable.moc"
