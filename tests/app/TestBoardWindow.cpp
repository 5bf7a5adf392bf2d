// SPDX-License-Identifier: GPL-3.0-or-later
// The board as the player meets it in the main window: clicks, slides, wins.
#include "FormFixture.h"

#include "app/rules/Deal.h"

#include <QMouseEvent>

class TestBoardWindow : public QObject {
    Q_OBJECT
private slots:
    void tilesAreHiddenUntilTheFirstGame() {
        FormFixture f;
        for (int n = 1; n <= 15; ++n)
            QVERIFY(f.form->Tile(n)->isHidden());
        f.form->PlayClick();
        for (int n = 1; n <= 15; ++n) {
            QVERIFY(!f.form->Tile(n)->isHidden());
            QCOMPARE(f.form->Tile(n)->size(), QSize(49, 49));
        }
    }

    void aDealPutsEveryTileOnItsCell() {
        FormFixture f;
        f.form->PlayClick();
        QVERIFY(app::Game.Board == rules::DealBoard(12345));
        QVERIFY(f.tilesStandOnTheirCells());
    }

    void aTileThatCannotMoveStillCountsAndSounds() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
        f.sounds.clear();
        const QPoint before = f.form->Tile(1)->pos();
        f.click(1);
        QCOMPARE(f.panelText(1), std::string("1"));
        QCOMPARE(f.sounds, std::vector<std::string>{"MOVE"});
        QCOMPARE(f.form->Tile(1)->pos(), before);
        QVERIFY(!f.form->Timer1.Enabled());
    }

    void aSlideMovesFivePixelsAStepOnTheTimer() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        auto* tile = f.form->Tile(15);
        const QPoint start = tile->pos();
        f.click(15);
        QCOMPARE(tile->pos(), start - QPoint(5, 0)); // the first step comes with the click
        QVERIFY(f.form->Timer1.Enabled());
        QVERIFY(f.form->Timer1.EffectiveInterval() >= 10);
        for (int i = 2; i <= 9; ++i) {
            f.form->Timer1.Tick();
            QCOMPARE(tile->pos(), start - QPoint(5 * i, 0));
        }
        QVERIFY(f.boxes.empty());
        f.form->Timer1.Tick();
        QCOMPARE(tile->pos(), start - QPoint(50, 0));
        QVERIFY(!f.form->Timer1.Enabled());
    }

    void clicksDuringASlideOnlyCount() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        f.click(15);
        f.click(12);
        f.click(14);
        QCOMPARE(f.panelText(1), std::string("3"));
        QCOMPARE(app::Game.SlideTile, 15);
        QCOMPARE(f.form->Tile(14)->pos(), QPoint(52, 152));
        for (int i = 0; i < 9; ++i)
            f.form->Timer1.Tick();
        QVERIFY(rules::IsSolved(app::Game.Board));
        QCOMPARE(int(f.boxes.size()), 1);
    }

    void theWinMessageHasThreeLinesWithTimeAndMoves() {
        FormFixture f;
        f.form->PlayClick();
        for (int i = 0; i < 43; ++i)
            f.form->TimerST.Tick();
        f.setBoard(kOneMoveFromSolved);
        for (int i = 0; i < 36; ++i)
            f.click(1); // clicks that cannot move still count
        f.sounds.clear();
        f.slide(15);
        QCOMPARE(int(f.boxes.size()), 1);
        const platform::MessageBoxRequest& box = f.boxes.front();
        QCOMPARE(box.Text, std::string("You have won - we CONGRATULATE!\r\n"
                                       "Is expended of time: 0 : 42\r\n"
                                       "Courses: 37"));
        QCOMPARE(box.Type, platform::mtInformation);
        QCOMPARE(box.Caption, std::string("Velmar"));
        QCOMPARE(box.Color, platform::clWhite);
        QCOMPARE(box.Height, 122);
        QCOMPARE(f.sounds, (std::vector<std::string>{"MOVE", "FINALLY"}));
        QVERIFY(!f.form->TimerST.Enabled());
        QCOMPARE(f.panelText(4), std::string("0 : 42"));
    }

    void aWinComesOncePerCompletingSlideAndAgainAfterAwayAndBack() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        f.slide(15);
        QCOMPARE(int(f.boxes.size()), 1);
        f.slide(15); // away again: no message
        QCOMPARE(int(f.boxes.size()), 1);
        f.slide(15);
        QCOMPARE(int(f.boxes.size()), 2);
        QCOMPARE(f.panelText(1), std::string("3"));
    }

    void tenSlidesBackAndForthLeaveTheTileOnItsGridPlace() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 13, 14, 15, 12});
        const QPoint home = f.form->Tile(12)->pos();
        for (int i = 0; i < 10; ++i)
            f.slide(12);
        QCOMPARE(f.form->Tile(12)->pos(), home);
        QCOMPARE(rules::CellOfTile(app::Game.Board, 12), 16);
    }

    void aNewGameDuringASlideKeepsTheBoardWhole() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        f.click(15);
        f.form->Timer1.Tick();
        f.form->Play1Click();
        QVERIFY(!f.form->Timer1.Enabled());
        QCOMPARE(int(app::Game.Sliding), 0);
        f.form->Timer1.Tick(); // a tick already queued must not move anything
        QVERIFY(rules::IsConsistent(app::Game.Board));
        QVERIFY(f.tilesStandOnTheirCells());
    }

    void aNewGameSoundsItsClickBeforeItCancelsTheSlide() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        f.click(15);
        f.form->Timer1.Tick();
        std::vector<int> slidingAtSound;
        platform::SetSoundObserver([&](const std::string& name, unsigned) {
            if (name == "CLICK")
                slidingAtSound.push_back(app::Game.Sliding);
        });
        f.form->PlayClick();
        QCOMPARE(slidingAtSound, std::vector<int>{1}); // the sound comes first, as everywhere
        QCOMPARE(int(app::Game.Sliding), 0);
    }

    void aRealMouseClickSlidesATile() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        QTest::mouseClick(f.form->Tile(15), Qt::LeftButton);
        QCOMPARE(f.panelText(1), std::string("1"));
        QTRY_VERIFY_WITH_TIMEOUT(!f.form->Timer1.Enabled(), 30000);
        QCOMPARE(f.form->Tile(15)->pos(), QPoint(102, 152));
        QCOMPARE(int(f.boxes.size()), 1);
    }

    void aDoubleClickCountsTwice() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
        auto* tile = f.form->Tile(1);
        // What the window system delivers for a double click: the second press comes with
        // a double-click event.
        QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(20, 20),
                        tile->mapToGlobal(QPointF(20, 20)), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(tile, &dbl);
        QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(f.panelText(1), std::string("2"));
    }
};

VELMAR_TEST_MAIN(TestBoardWindow)
#include "TestBoardWindow.moc"
