// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PatternDatabase.h"

#include <QTest>

#include <cstdlib>
#include <deque>
#include <vector>

using namespace rules;

namespace {

int cellOf(std::uint32_t state, int slot) {
    return static_cast<int>((state >> (4 * slot)) & 15u);
}

int manhattan(int a, int b) {
    return std::abs(a / 4 - b / 4) + std::abs(a % 4 - b % 4);
}

// The group's distances the plain way: every state is the tiles' cells and the empty cell's,
// moving the empty cell costs one move when it swaps with a group tile and nothing otherwise,
// and a placement's distance is the least over the empty cell's places. It shares nothing
// with the table's search, which works on the parts of the board the empty cell can reach.
std::vector<int> referenceDistances(const std::vector<std::uint8_t>& homes) {
    const int k = static_cast<int>(homes.size());
    const std::uint32_t placements = 1u << (4 * k);
    std::vector<int> state(std::size_t{placements} * 16, -1);
    std::deque<std::uint32_t> queue;
    std::uint32_t home = 0;
    for (int slot = 0; slot < k; ++slot)
        home |= std::uint32_t{homes[static_cast<std::size_t>(slot)]} << (4 * slot);
    for (std::uint32_t empty = 0; empty < 16; ++empty) {
        bool free = true;
        for (int slot = 0; slot < k; ++slot)
            free = free && cellOf(home, slot) != static_cast<int>(empty);
        if (free) {
            state[home * 16 + empty] = 0;
            queue.push_back(home * 16 + empty);
        }
    }
    while (!queue.empty()) {
        const std::uint32_t s = queue.front();
        queue.pop_front();
        const std::uint32_t placement = s / 16;
        const int empty = static_cast<int>(s % 16);
        const int row = empty / 4;
        const int column = empty % 4;
        for (const int to : {empty - 4, empty + 4, empty - 1, empty + 1}) {
            if (to < 0 || to > 15 || (to / 4 != row && to % 4 != column))
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
                state[next] = d;
                if (cost == 0)
                    queue.push_front(next);
                else
                    queue.push_back(next);
            }
        }
    }
    std::vector<int> least(placements, -1);
    for (std::uint32_t s = 0; s < state.size(); ++s)
        if (state[s] >= 0 && (least[s / 16] < 0 || state[s] < least[s / 16]))
            least[s / 16] = state[s];
    return least;
}

} // namespace

class TestPatternDatabase : public QObject {
    Q_OBJECT

private slots:
    void everyEntryIsTheGroupsTrueDistance_data() {
        QTest::addColumn<QList<int>>("homes");
        QTest::addColumn<int>("helpers"); // threads besides the caller's
        QTest::newRow("the bottom row's three tiles") << QList<int>{12, 13, 14} << 0;
        QTest::newRow("three tiles apart") << QList<int>{0, 1, 14} << 0;
        // Four tiles wall off corners and whole rows, where the empty cell's reach matters.
        QTest::newRow("a square in the corner") << QList<int>{0, 1, 4, 5} << 0;
        QTest::newRow("a column") << QList<int>{1, 5, 9, 13} << 0;
        // Threads share the placements and split each layer: none may lose or repeat a state.
        QTest::newRow("three tiles apart, two threads") << QList<int>{0, 1, 14} << 1;
        QTest::newRow("a column, two threads") << QList<int>{1, 5, 9, 13} << 1;
        QTest::newRow("a square in the corner, four threads") << QList<int>{0, 1, 4, 5} << 3;
    }
    void everyEntryIsTheGroupsTrueDistance() {
        QFETCH(QList<int>, homes);
        QFETCH(int, helpers);
        std::vector<std::uint8_t> cells;
        for (const int home : homes)
            cells.push_back(static_cast<std::uint8_t>(home));
        const std::atomic<bool> never{false};
        const std::vector<std::uint8_t> table = BuildPatternTable(cells, never, {helpers, nullptr});
        QCOMPARE(table.size(), PatternTableBytes(static_cast<int>(cells.size())));
        const std::vector<int> expected = referenceDistances(cells);
        int checked = 0;
        for (std::uint32_t index = 0; index < expected.size(); ++index) {
            if (expected[index] < 0)
                continue; // cells repeat: no placement
            int moves = 0;
            for (int slot = 0; slot < static_cast<int>(cells.size()); ++slot)
                moves += manhattan(cellOf(index, slot), cells[static_cast<std::size_t>(slot)]);
            const int value = moves + 2 * PatternExtra(table.data(), index);
            if (value != expected[index])
                QFAIL(qPrintable(QStringLiteral("placement %1: %2 moves, table says %3")
                                     .arg(index, 0, 16)
                                     .arg(expected[index])
                                     .arg(value)));
            ++checked;
        }
        int placements = 1;
        for (int i = 0; i < static_cast<int>(cells.size()); ++i)
            placements *= 16 - i;
        QCOMPARE(checked, placements);
    }
};

QTEST_APPLESS_MAIN(TestPatternDatabase)
#include "TestPatternDatabase.moc"
