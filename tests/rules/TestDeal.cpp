// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/Deal.h"
#include "app/rules/TileMoves.h"

#include <QTest>

#include <algorithm>
#include <map>

using namespace rules;

namespace {

std::vector<int> cellsOf(const BoardCells& board) {
    return {board.begin() + 1, board.end()};
}

// The board as the generator draws it, before any unwinnable arrangement is mended.
std::vector<int> rawDraw(std::uint32_t seed) {
    Lcg random(seed);
    std::vector<int> cells;
    while (cells.size() < 16) {
        const int r = static_cast<int>(random.Below(16)) + 1;
        if (std::find(cells.begin(), cells.end(), r) == cells.end())
            cells.push_back(r);
    }
    return cells;
}

} // namespace

class TestDeal : public QObject {
    Q_OBJECT
private slots:
    void generatorSequenceIsPinned() {
        Lcg random(12345);
        std::vector<std::uint32_t> draws;
        for (int i = 0; i < 10; ++i)
            draws.push_back(random.Below(16));
        QCOMPARE(draws, (std::vector<std::uint32_t>{6, 4, 1, 8, 10, 5, 7, 1, 0, 14}));
        Lcg fromZero(0);
        std::vector<std::uint32_t> hundreds;
        for (int i = 0; i < 6; ++i)
            hundreds.push_back(fromZero.Below(100));
        QCOMPARE(hundreds, (std::vector<std::uint32_t>{0, 3, 86, 20, 27, 67}));
    }

    void dealForAFixedSeedIsPinned() {
        QCOMPARE(cellsOf(DealBoard(12345)),
                 (std::vector<int>{7, 5, 2, 9, 11, 6, 8, 1, 15, 16, 4, 13, 14, 12, 3, 10}));
        QCOMPARE(cellsOf(DealBoard(1)),
                 (std::vector<int>{1, 14, 4, 5, 11, 6, 3, 7, 2, 8, 15, 13, 12, 16, 9, 10}));
    }

    void anUnwinnableDealHasItsFirstTwoTilesSwapped() {
        // Seed 3 draws 2, 9, 15, ...: unwinnable as drawn.
        QCOMPARE(cellsOf(DealBoard(3)),
                 (std::vector<int>{9, 2, 15, 7, 8, 10, 14, 13, 5, 3, 11, 12, 16, 6, 4, 1}));
    }

    void theSwapSkipsTheEmptyCellAndTouchesNothingElse() {
        int checked = 0;
        for (std::uint32_t seed = 0; seed < 20000 && checked < 20; ++seed) {
            const std::vector<int> raw = rawDraw(seed);
            if (raw[0] != EmptyCell)
                continue;
            const std::vector<int> dealt = cellsOf(DealBoard(seed));
            if (dealt == raw)
                continue; // winnable as drawn
            ++checked;
            QCOMPARE(dealt[0], int(EmptyCell));
            QCOMPARE(dealt[1], raw[2]);
            QCOMPARE(dealt[2], raw[1]);
            QVERIFY(std::equal(dealt.begin() + 3, dealt.end(), raw.begin() + 3));
        }
        QVERIFY(checked > 0);
    }

    void solvabilityOfKnownBoards() {
        BoardCells board{};
        for (int i = 1; i <= 16; ++i)
            board[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        QVERIFY(IsSolvable(board));
        std::swap(board[14], board[15]); // the famous 14-15 puzzle
        QVERIFY(!IsSolvable(board));
        std::swap(board[14], board[15]);
        std::swap(board[12], board[16]); // empty cell one row up, by a legal move
        QVERIFY(IsSolvable(board));
    }

    void everyDealIsConsistentAndWinnable() {
        int moved = 0;
        std::map<int, int> emptyCells;
        for (std::uint32_t seed = 0; seed < 20000; ++seed) {
            const BoardCells board = DealBoard(seed * 2654435761u);
            QVERIFY2(IsConsistent(board), qPrintable(QString::number(seed)));
            QVERIFY2(IsSolvable(board), qPrintable(QString::number(seed)));
            for (int c = 1; c <= 16; ++c)
                if (board[static_cast<std::size_t>(c)] == EmptyCell)
                    ++emptyCells[c];
            moved += board[1] == 1 ? 0 : 1;
        }
        // The empty cell still lands everywhere, about equally often.
        QCOMPARE(int(emptyCells.size()), 16);
        for (const auto& [cell, count] : emptyCells)
            QVERIFY2(count > 1000 && count < 1500, qPrintable(QString::number(cell)));
        QVERIFY(moved > 0);
    }

    void shuffleBoardDealsIntoTheBoardForARoundWithoutHint() {
        GameState state;
        QVERIFY(!state.HintUsed);
        state.HintUsed = true;
        ShuffleBoard(state, 12345);
        QVERIFY(state.Board == DealBoard(12345));
        QVERIFY(!state.HintUsed);
    }
};

QTEST_APPLESS_MAIN(TestDeal)
#include "TestDeal.moc"
