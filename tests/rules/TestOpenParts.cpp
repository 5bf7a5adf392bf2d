// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/OpenParts.h"

#include <QTest>

#include <array>
#include <bit>
#include <vector>

using namespace rules;

namespace {

// Each open cell's part the plain way, by a flood fill from every cell in turn: parts are
// numbered in the order their lowest cells come, closed cells get -1.
std::array<int, 16> floodedParts(unsigned open) {
    std::array<int, 16> part;
    part.fill(-1);
    int parts = 0;
    for (int first = 0; first < 16; ++first) {
        if (!((open >> first) & 1u) || part[static_cast<std::size_t>(first)] >= 0)
            continue;
        std::vector<int> stack{first};
        part[static_cast<std::size_t>(first)] = parts;
        while (!stack.empty()) {
            const int cell = stack.back();
            stack.pop_back();
            for (const int next : {cell - 4, cell + 4, cell - 1, cell + 1}) {
                const bool sameRowOrColumn = next / 4 == cell / 4 || next % 4 == cell % 4;
                if (next < 0 || next > 15 || !sameRowOrColumn || !((open >> next) & 1u) ||
                    part[static_cast<std::size_t>(next)] >= 0)
                    continue;
                part[static_cast<std::size_t>(next)] = parts;
                stack.push_back(next);
            }
        }
        ++parts;
    }
    return part;
}

} // namespace

class TestOpenParts : public QObject {
    Q_OBJECT

private slots:
    void everySetOfOpenCellsKnowsItsParts_data() {
        QTest::addColumn<int>("openCells");
        for (int open = 9; open <= 16; ++open)
            QTest::addRow("%d open cells", open) << open;
    }
    void everySetOfOpenCellsKnowsItsParts() {
        QFETCH(int, openCells);
        const OpenParts parts(openCells);
        int sets = 0;
        int mostParts = 0;
        for (unsigned open = 0; open < 65536; ++open) {
            if (std::popcount(open) != openCells)
                continue;
            ++sets;
            const std::array<int, 16> expected = floodedParts(open);
            const OpenParts::Entry entry = parts.Of(open);
            int count = 0;
            for (unsigned cell = 0; cell < 16; ++cell) {
                const int want = expected[cell] < 0 ? int{OpenParts::ClosedCell} : expected[cell];
                if (static_cast<int>(OpenParts::PartOf(entry, cell)) != want)
                    QFAIL(qPrintable(QStringLiteral("open %1, cell %2: part %3, expected %4")
                                         .arg(open, 4, 16, QChar('0'))
                                         .arg(cell)
                                         .arg(OpenParts::PartOf(entry, cell))
                                         .arg(want)));
                count = std::max(count, expected[cell] + 1);
            }
            QCOMPARE(static_cast<int>(OpenParts::Count(entry)), count);
            mostParts = std::max(mostParts, count);
        }
        QVERIFY(sets > 0);
        // Ten open cells, as a six-tile group leaves, may fall into as many as six parts.
        if (openCells == 10)
            QCOMPARE(mostParts, 6);
    }

    void aSizeWithoutRoomForItsPartsIsRefused() {
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, OpenParts(8));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, OpenParts(17));
    }
};

QTEST_APPLESS_MAIN(TestOpenParts)
#include "TestOpenParts.moc"
