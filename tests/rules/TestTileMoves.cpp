// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/GameState.h"
#include "app/rules/TileMoves.h"

#include <QTest>

using namespace rules;

namespace {

void setBoard(GameState& state, const std::array<int, 16>& cells) {
    for (int i = 0; i < 16; ++i)
        state.Board[static_cast<std::size_t>(i) + 1] =
            static_cast<std::uint8_t>(cells[static_cast<std::size_t>(i)]);
}

// Starts the slide of `tile` from its grid position and runs it to the end.
SlideStepResult slideToEnd(GameState& state, int tile) {
    const TilePlace from = CellPosition(CellOfTile(state.Board, tile));
    if (!BeginSlide(state, tile, from.Left, from.Top))
        return {};
    SlideStepResult last;
    for (int step = 0; step < 20; ++step) {
        last = *StepSlide(state);
        if (last.Finished)
            break;
    }
    return last;
}

constexpr std::array<int, 16> kSolved = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

} // namespace

class TestTileMoves : public QObject {
    Q_OBJECT
private slots:
    void tilesStandOnTheFiftyPixelGrid() {
        QCOMPARE(CellPosition(1).Left, 2);
        QCOMPARE(CellPosition(1).Top, 2);
        QCOMPARE(CellPosition(8).Left, 152);
        QCOMPARE(CellPosition(8).Top, 52);
        QCOMPARE(CellPosition(16).Left, 152);
        QCOMPARE(CellPosition(16).Top, 152);
    }

    void onlyTrueNeighboursOfTheEmptyCellMove_data() {
        QTest::addColumn<int>("tileCell");
        QTest::addColumn<int>("emptyCell");
        QTest::addColumn<int>("direction");
        QTest::newRow("left") << 6 << 5 << int(sdLeft);
        QTest::newRow("right") << 6 << 7 << int(sdRight);
        QTest::newRow("up") << 6 << 2 << int(sdUp);
        QTest::newRow("down") << 6 << 10 << int(sdDown);
        QTest::newRow("first column, empty at end of the row above") << 5 << 4 << int(sdNone);
        QTest::newRow("last column, empty at start of the row below") << 4 << 5 << int(sdNone);
        QTest::newRow("row end to next row start") << 8 << 9 << int(sdNone);
        QTest::newRow("row start to previous row end") << 13 << 12 << int(sdNone);
        QTest::newRow("diagonal") << 6 << 11 << int(sdNone);
        QTest::newRow("two apart") << 1 << 3 << int(sdNone);
    }
    void onlyTrueNeighboursOfTheEmptyCellMove() {
        GameState state;
        QFETCH(int, tileCell);
        QFETCH(int, emptyCell);
        QFETCH(int, direction);
        std::array<int, 16> cells = kSolved;
        std::swap(cells[static_cast<std::size_t>(emptyCell - 1)], cells[15]);
        setBoard(state, cells);
        QCOMPARE(int(DirectionToEmpty(state.Board, tileCell)), direction);
        const int tile = state.Board[static_cast<std::size_t>(tileCell)];
        QCOMPARE(BeginSlide(state, tile, 0, 0), direction != sdNone);
        QCOMPARE(int(state.Sliding), direction != sdNone ? 1 : 0);
    }

    void aSlideIsTenStepsAndEndsOnePitchAway() {
        GameState state;
        setBoard(state, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 15});
        const TilePlace start = CellPosition(16);
        QVERIFY(BeginSlide(state, 15, start.Left, start.Top));
        for (int step = 1; step <= 9; ++step) {
            const auto r = StepSlide(state);
            QVERIFY(r && !r->Finished);
            QCOMPARE(r->Place.Left, start.Left - 5 * step);
            QCOMPARE(r->Place.Top, start.Top);
        }
        const auto last = StepSlide(state);
        QVERIFY(last && last->Finished);
        QCOMPARE(last->Place.Left, start.Left - 50);
        QCOMPARE(last->Place.Left, CellPosition(15).Left);
        QCOMPARE(int(state.Board[15]), 15);
        QCOMPARE(int(state.Board[16]), 16);
        QCOMPARE(int(state.Sliding), 0);
        QVERIFY(!StepSlide(state)); // nothing more once it is over
    }

    void tenSlidesBackAndForthLandOnTheGrid() {
        GameState state;
        setBoard(state, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 13, 14, 15, 12});
        for (int i = 0; i < 10; ++i) {
            const auto r = slideToEnd(state, 12);
            QVERIFY(r.Finished);
            const TilePlace grid = CellPosition(CellOfTile(state.Board, 12));
            QCOMPARE(r.Place.Left, grid.Left);
            QCOMPARE(r.Place.Top, grid.Top);
            QVERIFY(IsConsistent(state.Board));
        }
        QCOMPARE(CellOfTile(state.Board, 12), 16); // an even number of slides brings it home
    }

    void aClickDuringASlideChangesNothing() {
        GameState state;
        setBoard(state, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 15});
        QVERIFY(BeginSlide(state, 15, 152, 152));
        StepSlide(state);
        const auto board = state.Board;
        QVERIFY(!BeginSlide(state, 14, 102, 152));
        QCOMPARE(state.SlideTile, 15);
        QCOMPARE(state.SlideDX, -5);
        QVERIFY(state.Board == board);
    }

    void onlyTheOrderWithTheEmptyCellLastWins() {
        GameState state;
        setBoard(state, kSolved);
        QVERIFY(IsSolved(state.Board));
        setBoard(state, {16, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
        QVERIFY(!IsSolved(state.Board));
        setBoard(state, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 15});
        QVERIFY(!IsSolved(state.Board));
    }

    void winningAgainAfterMovingAwayAndBack() {
        GameState state;
        setBoard(state, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 15});
        QVERIFY(slideToEnd(state, 15).Solved);
        QVERIFY(!slideToEnd(state, 12).Solved);
        QVERIFY(slideToEnd(state, 12).Solved);
    }

    void cancellingASlideKeepsTheBoardAndReturnsTheTile() {
        GameState state;
        setBoard(state, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 15});
        const auto board = state.Board;
        QVERIFY(BeginSlide(state, 15, 152, 152));
        StepSlide(state);
        StepSlide(state);
        const auto cancelled = CancelSlide(state);
        QVERIFY(cancelled);
        QCOMPARE(cancelled->Tile, 15);
        QCOMPARE(cancelled->Place.Left, 152);
        QCOMPARE(int(state.Sliding), 0);
        QVERIFY(state.Board == board);
        QVERIFY(!CancelSlide(state));
    }

    void theBoardAfterASlideIsKnownFromItsFirstStep() {
        GameState state;
        setBoard(state, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 15});
        QVERIFY(BoardAfterSlide(state) == state.Board);
        const TilePlace from = CellPosition(16);
        QVERIFY(BeginSlide(state, 15, from.Left, from.Top));
        StepSlide(state);
        const BoardCells after = BoardAfterSlide(state);
        QCOMPARE(int(after[15]), 15);
        QCOMPARE(int(after[16]), int(EmptyCell));
        QCOMPARE(int(state.Board[16]), 15); // the board itself changes at the last step
        for (int step = 0; step < 9; ++step)
            StepSlide(state);
        QVERIFY(state.Board == after);
        QVERIFY(BoardAfterSlide(state) == after);
    }

    void aTileOnNoCellDoesNotSlide() {
        GameState state;
        QVERIFY(!BeginSlide(state, 7, 0, 0)); // no board dealt yet
        QCOMPARE(int(state.Sliding), 0);
    }

    void consistencyMeansEachNumberOnce() {
        GameState state;
        setBoard(state, kSolved);
        QVERIFY(IsConsistent(state.Board));
        setBoard(state, {1, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
        QVERIFY(!IsConsistent(state.Board));
        QVERIFY(!IsConsistent(GameState().Board));
    }
};

QTEST_APPLESS_MAIN(TestTileMoves)
#include "TestTileMoves.moc"
