// SPDX-License-Identifier: GPL-3.0-or-later
// The search shared between threads: apart from the solver's suite so that it runs under
// ThreadSanitizer too, with the tables of an earlier run's cache when there are some.
#include "app/rules/Deal.h"
#include "app/rules/Solver.h"

#include "HelperThreads.h"

#include <QFile>
#include <QTest>

#include <memory>

using namespace rules;

class TestSharedSearch : public QObject {
    Q_OBJECT
    std::unique_ptr<SolverTables> tables_;
    std::atomic<bool> never_{false};

private slots:
    void initTestCase() {
        QFile cached(qEnvironmentVariable("XDG_CACHE_HOME") + "/velmar/solver-tables.bin");
        if (cached.open(QIODevice::ReadOnly))
            tables_ = SolverTables::FromBytes(cached.readAll().toStdString());
        if (!tables_)
            tables_ = SolverTables::Build(never_, {1, nullptr});
        QVERIFY(tables_);
    }

    // Long iterations are shared with a helper; the answer must be the one thread's, move for
    // move, whichever thread finds it first.
    void twoThreadsGiveExactlyTheOneThreadsSolution() {
        std::atomic<int> started{0};
        const BuildThreads two{1, [&started] { ++started; }};
        const BuildThreads failing = threadcases::FailingHelper();
        for (std::uint32_t seed = 1; seed <= 12; ++seed) {
            const BoardCells board = DealBoard(seed);
            const SolveResult one = Solve(board, *tables_, never_);
            const SolveResult both = Solve(board, *tables_, never_, two);
            QCOMPARE(both.Status, SolveStatus::Solved);
            QCOMPARE(both.Tiles, one.Tiles);
            if (seed == 12) // a helper that cannot start leaves its share to the caller
                QCOMPARE(Solve(board, *tables_, never_, failing).Tiles, one.Tiles);
        }
        QCOMPARE_GE(started.load(), 2); // some of them were long enough to share
    }

    void aCancelDuringASharedIterationEndsIt() {
        // Reversed order, 78 moves: its iterations are shared from the second or third on, and
        // the helper raises the flag as it starts.
        std::atomic<bool> cancel{false};
        const BuildThreads two{1, [&cancel] { cancel = true; }};
        BoardCells reversed{};
        for (std::size_t cell = 1; cell <= 16; ++cell)
            reversed[cell] = static_cast<std::uint8_t>(17 - cell);
        const SolveResult result = Solve(reversed, *tables_, cancel, two);
        QVERIFY(cancel.load());
        QCOMPARE(result.Status, SolveStatus::Cancelled);
        QVERIFY(result.Tiles.empty());
    }
};

QTEST_APPLESS_MAIN(TestSharedSearch)
#include "TestSharedSearch.moc"
