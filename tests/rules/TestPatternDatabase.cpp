// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PatternDatabase.h"
#include "app/rules/PatternTable.h"

#include <QTest>

#include <cstdlib>
#include <deque>
#include <vector>

using namespace rules;

namespace {

int cellOf(std::uint32_t state, int slot) {
    return static_cast<int>((state >> (4 * slot)) & 15u);
}

bool distinct(std::uint32_t placement, int k) {
    unsigned seen = 0;
    for (int slot = 0; slot < k; ++slot) {
        const unsigned bit = 1u << cellOf(placement, slot);
        if (seen & bit)
            return false;
        seen |= bit;
    }
    return true;
}

// The group's distances the plain way: every state is the tiles' cells and the empty cell's,
// moving the empty cell costs one move when it swaps with a group tile and nothing otherwise,
// and the goal is the group at home with the empty cell on cell 15. It shares nothing with the
// table's search, which works on the parts of the board the empty cell can reach. By placement
// and then empty cell; -1 where the empty cell is on a tile or nothing was reached.
std::vector<std::int16_t> referenceDistances(const std::vector<std::uint8_t>& homes) {
    const int k = static_cast<int>(homes.size());
    const std::uint32_t placements = 1u << (4 * k);
    std::vector<std::int16_t> state(std::size_t{placements} * 16, -1);
    std::deque<std::uint32_t> queue;
    std::uint32_t home = 0;
    for (int slot = 0; slot < k; ++slot)
        home |= std::uint32_t{homes[static_cast<std::size_t>(slot)]} << (4 * slot);
    state[home * 16 + 15] = 0;
    queue.push_back(home * 16 + 15);
    while (!queue.empty()) {
        const std::uint32_t s = queue.front();
        queue.pop_front();
        const std::uint32_t placement = s / 16;
        const int empty = static_cast<int>(s % 16);
        for (const int to : {empty - 4, empty + 4, empty - 1, empty + 1}) {
            if (to < 0 || to > 15 || (to / 4 != empty / 4 && to % 4 != empty % 4))
                continue;
            std::uint32_t moved = placement;
            int cost = 0;
            for (int slot = 0; slot < k; ++slot) {
                if (cellOf(placement, slot) == to) {
                    moved = (placement & ~(15u << (4 * slot))) |
                            (static_cast<std::uint32_t>(empty) << (4 * slot));
                    cost = 1;
                }
            }
            const std::uint32_t next = moved * 16 + static_cast<std::uint32_t>(to);
            const int d = state[s] + cost;
            if (state[next] == -1 || d < state[next]) {
                state[next] = static_cast<std::int16_t>(d);
                if (cost == 0)
                    queue.push_front(next);
                else
                    queue.push_back(next);
            }
        }
    }
    return state;
}

} // namespace

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
        const std::vector<std::int16_t> expected = referenceDistances(cells);
        std::size_t checked = 0;
        for (std::uint32_t placement = 0; placement < (1u << (4 * k)); ++placement) {
            if (!distinct(placement, k))
                continue;
            for (unsigned blank = 0; blank < 16; ++blank) {
                const int d = expected[placement * 16 + blank];
                bool onTile = false;
                for (int slot = 0; slot < k; ++slot)
                    onTile = onTile || cellOf(placement, slot) == static_cast<int>(blank);
                if (onTile)
                    continue;
                QVERIFY2(d >= 0, "every state is reachable from the goal");
                const int bit = table.Bit(placement, blank);
                const bool walk = checked++ % static_cast<std::size_t>(walkEvery) == 0;
                const int value = walk ? table.Value(placement, blank) : d;
                if (bit != ((d >> 1) & 1) || value != d)
                    QFAIL(qPrintable(QStringLiteral("placement %1, empty cell %2: %3 moves, "
                                                    "the table's bit %4, its value %5")
                                         .arg(placement, 0, 16)
                                         .arg(blank)
                                         .arg(d)
                                         .arg(bit)
                                         .arg(value)));
            }
        }
        std::size_t states = 1;
        for (int i = 0; i < k; ++i)
            states *= static_cast<std::size_t>(16 - i);
        QCOMPARE(checked, states * static_cast<std::size_t>(16 - k));
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
            if (!distinct(placement, tiles))
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
