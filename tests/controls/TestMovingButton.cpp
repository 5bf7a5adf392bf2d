// SPDX-License-Identifier: GPL-3.0-or-later
// The moving button: its steps, bounces at each edge, a parent as wide as the button, changed
// step lengths and intervals, the frozen state, a failing tick, and the catch-up after ticks
// slept through, which must land where the ticks themselves would have.
#include "controls/Movbut.h"
#include "platform/ui/Application.h"

#include <QTest>

using controls::TMovingButton;

namespace {

// A parent of the given size holding one button at a place.
struct Stage {
    QWidget parent;
    TMovingButton* button;

    Stage(QSize area, QRect place) {
        parent.resize(area);
        button = new TMovingButton(&parent);
        button->setGeometry(place);
    }

    void tick(int n = 1) {
        for (int i = 0; i < n; ++i)
            button->ButtonTimerTimer();
    }
    QPoint at() const { return button->pos(); }
};

} // namespace

class TestMovingButton : public QObject {
    Q_OBJECT

private slots:
    void theDefaultsAreTheDesigned() {
        QWidget parent;
        TMovingButton button(&parent);
        QCOMPARE(button.width(), 127);
        QCOMPARE(button.MoveInterval(), 100);
        QCOMPARE(button.PixelsPerMove(), 1);
        QVERIFY(button.IsMoving());
        QCOMPARE(button.DeltaX(), 1);
        QCOMPARE(button.DeltaY(), 1);
        QCOMPARE(button.Spacing(), 10);
        QCOMPARE(button.Font().Color, platform::clBtnText);
        QVERIFY(button.MoveTimer().Enabled());
        QCOMPARE(button.MoveTimer().Interval(), 100);
    }

    void itMovesDiagonallyTouchesTheEdgeAndTurnsInTheNextTick() {
        Stage s({193, 81}, {30, 49, 80, 29});
        s.tick(3);
        QCOMPARE(s.at(), QPoint(33, 52)); // its bottom now on the parent's bottom edge
        s.tick();
        QCOMPARE(s.at(), QPoint(34, 52)); // turned, no vertical move
        QCOMPARE(s.button->DeltaY(), -1);
        s.tick();
        QCOMPARE(s.at(), QPoint(35, 51));
        s.tick(113 - 35);
        QCOMPARE(s.at().x(), 113); // its right side on the right edge
        s.tick();
        QCOMPARE(s.at().x(), 113);
        QCOMPARE(s.button->DeltaX(), -1);
    }

    void atTheLeftEdgeGoingLeftItTurnsWithoutMovingThenGoesRight() {
        Stage s({193, 81}, {0, 20, 80, 29});
        s.button->SetPixelsPerMove(1);
        s.tick();                       // right and down
        s.button->SetPixelsPerMove(-1); // a negative step flips both directions
        s.tick();
        QCOMPARE(s.at(), QPoint(0, 20));
        s.button->SetPixelsPerMove(1);
        s.tick();
        QCOMPARE(s.at(), QPoint(0, 19)); // at x = 0 going left: turns, only y moves
        QCOMPARE(s.button->DeltaX(), 1);
        s.tick();
        QCOMPARE(s.at(), QPoint(1, 18));
    }

    void aButtonAsWideAsItsParentTurnsEveryTickAndNeverMovesAcross() {
        Stage s({80, 81}, {0, 10, 80, 29});
        for (int i = 0; i < 6; ++i) {
            s.tick();
            QCOMPARE(s.at().x(), 0);
            QCOMPARE(s.button->DeltaX(), i % 2 == 0 ? -1 : 1);
        }
        QCOMPARE(s.at().y(), 16);
    }

    void aZeroStepStandsStillWhileTheTicksGoOn() {
        Stage s({193, 81}, {30, 20, 80, 29});
        s.button->SetPixelsPerMove(0);
        s.tick(5);
        QCOMPARE(s.at(), QPoint(30, 20));
        QCOMPARE(s.button->MoveTimer().Interval(), 100);
    }

    void aNewStepKeepsTheDirectionsAndAppliesFromTheNextTick() {
        Stage s({193, 81}, {30, 49, 80, 29});
        s.tick(4); // turned at the bottom: right and up
        QCOMPARE(s.at(), QPoint(34, 52));
        s.button->SetPixelsPerMove(3);
        s.tick();
        QCOMPARE(s.at(), QPoint(37, 49));
        QCOMPARE(s.button->DeltaX(), 3);
        QCOMPARE(s.button->DeltaY(), -3);
    }

    void aNewIntervalTakesEffectAtTheNextTick() {
        Stage s({193, 81}, {30, 20, 80, 29});
        s.button->SetMoveInterval(50);
        QCOMPARE(s.button->MoveTimer().Interval(), 100);
        s.tick();
        QCOMPARE(s.button->MoveTimer().Interval(), 50);
    }

    void notMovingFreezesItAndMovingAgainResumesTheSameWay() {
        Stage s({193, 81}, {30, 52, 80, 29});
        s.tick(); // turns at the bottom
        s.button->SetIsMoving(false);
        s.tick(10);
        QCOMPARE(s.at(), QPoint(31, 52));
        s.button->SetIsMoving(true);
        s.tick();
        QCOMPARE(s.at(), QPoint(32, 51));
    }

    void aFailingTickStopsTheTimerForGoodAndLeavesTheButton() {
        TMovingButton button;
        button.move(5, 6);
        QVERIFY(button.MoveTimer().Enabled());
        button.ButtonTimerTimer();
        QVERIFY(!button.MoveTimer().Enabled());
        QCOMPARE(button.pos(), QPoint(5, 6));
        QWidget parent;
        button.setParent(&parent);
        button.ResumeMoving(10'000);
        QVERIFY(!button.MoveTimer().Enabled());
        QCOMPARE(button.pos(), QPoint(5, 6));
        button.setParent(nullptr);
    }

    void catchingUpLandsWhereTheTicksWouldHave_data() {
        QTest::addColumn<QSize>("area");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<int>("step");
        QTest::newRow("the about box's frame") << QSize(193, 81) << QRect(30, 49, 80, 29) << 1;
        QTest::newRow("longer steps") << QSize(193, 81) << QRect(30, 49, 80, 29) << 7;
        QTest::newRow("as wide as the parent") << QSize(80, 81) << QRect(0, 0, 80, 29) << 1;
        QTest::newRow("wider than the parent") << QSize(60, 40) << QRect(10, 5, 80, 29) << 2;
        QTest::newRow("starting outside") << QSize(100, 90) << QRect(-13, 70, 40, 29) << 3;
        QTest::newRow("step longer than the room") << QSize(100, 40) << QRect(5, 5, 90, 30) << 9;
        QTest::newRow("no step") << QSize(193, 81) << QRect(30, 49, 80, 29) << 0;
        QTest::newRow("negative step") << QSize(193, 81) << QRect(30, 49, 80, 29) << -2;
        QTest::newRow("negative step at an edge") << QSize(193, 81) << QRect(0, 52, 80, 29) << -3;
    }

    void catchingUpLandsWhereTheTicksWouldHave() {
        QFETCH(QSize, area);
        QFETCH(QRect, place);
        QFETCH(int, step);
        for (int before : {0, 5}) {
            for (int n : {0, 1, 2, 3, 4, 5, 57, 113, 114, 228, 229, 500, 1999}) {
                Stage ticked(area, place);
                Stage caught(area, place);
                for (Stage* s : {&ticked, &caught}) {
                    s->button->SetPixelsPerMove(step);
                    s->tick(before);
                }
                ticked.tick(n);
                caught.button->Advance(static_cast<std::uint64_t>(n));
                const QString what = QStringLiteral("%1 ticks after %2").arg(n).arg(before);
                QVERIFY2(caught.at() == ticked.at(), qPrintable(what));
                QVERIFY2(caught.button->DeltaX() == ticked.button->DeltaX(), qPrintable(what));
                QVERIFY2(caught.button->DeltaY() == ticked.button->DeltaY(), qPrintable(what));
            }
        }
    }

    void aLongSleepIsWorkedOutDirectly() {
        // The horizontal lap is 2 * (193 - 80) + 2 ticks, the vertical 2 * (81 - 29) + 2.
        const std::uint64_t laps = 228u * 106u;
        const std::uint64_t huge = 1'000'000'000'000u;
        Stage a({193, 81}, {30, 49, 80, 29});
        Stage b({193, 81}, {30, 49, 80, 29});
        a.button->Advance(huge);
        b.button->Advance(huge + 3 * laps);
        QCOMPARE(a.at(), b.at());
        QCOMPARE(a.button->DeltaX(), b.button->DeltaX());
        Stage c({193, 81}, {30, 49, 80, 29});
        c.button->Advance(huge % laps + laps);
        QCOMPARE(a.at(), c.at());
    }

    // The timer is made with the default 100 ms; the 50 ms of the about box applies from its
    // first tick on.
    void aSleepingButtonKeepsNoTimerAndResumesByTheElapsedTicks_data() {
        QTest::addColumn<int>("ticksBefore");
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<int>("ticks");
        QTest::newRow("before the first tick") << 0 << 99 << 0;
        QTest::newRow("the first tick") << 0 << 100 << 1;
        QTest::newRow("the first after 100 ms, then every 50") << 0 << 50 * 300 + 49 << 299;
        QTest::newRow("already ticking") << 1 << 50 * 300 + 49 << 300;
    }

    void aSleepingButtonKeepsNoTimerAndResumesByTheElapsedTicks() {
        QFETCH(int, ticksBefore);
        QFETCH(int, elapsed);
        QFETCH(int, ticks);
        Stage s({193, 81}, {30, 49, 80, 29});
        Stage ticked({193, 81}, {30, 49, 80, 29});
        s.button->SetMoveInterval(50);
        s.tick(ticksBefore);
        ticked.tick(ticksBefore);
        s.button->SuspendMoving();
        QVERIFY(!s.button->MoveTimer().Running());
        s.button->ResumeMoving(static_cast<std::uint64_t>(elapsed));
        ticked.tick(ticks);
        QCOMPARE(s.at(), ticked.at());
        QVERIFY(s.button->MoveTimer().Enabled());
        QCOMPARE(s.button->MoveTimer().Interval(), ticksBefore + ticks > 0 ? 50 : 100);
    }
};

int main(int argc, char** argv) {
    platform::PrepareProcess();
    platform::GuardedApplication app(argc, argv);
    platform::PrepareApplication(app);
    TestMovingButton test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestMovingButton.moc"
