// SPDX-License-Identifier: GPL-3.0-or-later
// New games, levels and the clocks, with time driven by calling the tick handlers.
#include "FormFixture.h"

class TestRounds : public QObject {
    Q_OBJECT
private slots:
    void everyNewGameCountsARoundAndRestartsTheMoves() {
        FormFixture f;
        QCOMPARE(f.panelText(3), std::string("0"));
        f.form->PlayClick();
        f.click(1);
        f.click(2);
        f.form->Play2Click();
        QCOMPARE(f.panelText(1), std::string("0"));
        QCOMPARE(f.panelText(3), std::string("2"));
        QCOMPARE(f.panelText(4), std::string("00:00"));
        f.form->Play3Click(); // abandoned after no move: still a round
        QCOMPARE(f.panelText(3), std::string("3"));
    }

    void eachCommandStartsItsOwnClocks_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("st");
        QTest::addColumn<bool>("t2");
        QTest::addColumn<bool>("t3");
        QTest::addColumn<bool>("str");
        QTest::newRow("simple") << 0 << true << false << false << false;
        QTest::newRow("15 minutes") << 1 << false << true << false << true;
        QTest::newRow("10 minutes") << 2 << false << false << true << true;
        QTest::newRow("5 minutes") << 3 << false << false << true << true;
    }
    void eachCommandStartsItsOwnClocks() {
        QFETCH(int, command);
        FormFixture f;
        // Whatever ran before is stopped.
        f.form->Play1Click();
        f.form->PlayClick();
        f.sounds.clear();
        auto& w = *f.form;
        const std::array<void (app::TForm1::*)(), 4> commands = {
            &app::TForm1::PlayClick, &app::TForm1::Play1Click, &app::TForm1::Play2Click,
            &app::TForm1::Play3Click};
        (w.*commands[static_cast<std::size_t>(command)])();
        QTEST(w.TimerST.Enabled(), "st");
        QTEST(w.Timer2.Enabled(), "t2");
        QTEST(w.Timer3.Enabled(), "t3");
        QTEST(w.TimerSTR.Enabled(), "str");
        QVERIFY(!w.Timer5.Enabled());
        QCOMPARE(f.sounds, std::vector<std::string>{"CLICK"});
    }

    void theFiveMinuteLevelShowsFiveMinutesThenLosesAtTick301() {
        FormFixture f;
        f.form->Play3Click();
        f.form->Timer3.Tick();
        QCOMPARE(f.panelText(4), std::string("5 :  0"));
        for (int t = 2; t <= 300; ++t)
            f.form->Timer3.Tick();
        QVERIFY(f.boxes.empty());
        f.sounds.clear();
        f.form->Timer3.Tick();
        QCOMPARE(f.panelText(4), std::string("0 :  0"));
        QCOMPARE(int(f.boxes.size()), 1);
        QCOMPARE(f.boxes.front().Text, std::string("Time has left - you HAVE LOST!"));
        QCOMPARE(f.boxes.front().Color, platform::clWhite);
        QCOMPARE(f.sounds, std::vector<std::string>{"GAMEOVER"});
        QVERIFY(!f.form->Timer3.Enabled());
        QVERIFY(!f.form->TimerSTR.Enabled());
    }

    void aTimedLevelAfterAnotherGameCountsOneSecondPerTick() {
        FormFixture f;
        f.form->PlayClick();
        for (int i = 0; i < 5; ++i)
            f.form->TimerST.Tick();
        f.form->Play1Click();
        f.form->Timer2.Tick();
        QCOMPARE(f.panelText(4), std::string("15 :  0"));
        f.form->Timer2.Tick();
        QCOMPARE(f.panelText(4), std::string("14 : 59"));
        f.form->TimerSTR.Tick();
        QCOMPARE(dialogs::TextOf(f.panel->LabelTime), std::string("0 :  0"));
    }

    void aSimpleGameAfterATimedLevelStartsFromZero() {
        FormFixture f;
        f.form->Play2Click();
        for (int i = 0; i < 30; ++i)
            f.form->TimerSTR.Tick();
        f.form->PlayClick();
        f.form->TimerST.Tick();
        QCOMPARE(f.panelText(4), std::string("0 :  0"));
        f.form->TimerST.Tick();
        QCOMPARE(f.panelText(4), std::string("0 :  1"));
        QCOMPARE(dialogs::TextOf(f.panel->LabelTime), std::string("0 :  1"));
    }

    void winningATimedLevelShowsTheTimeUsedNotTheTimeLeft() {
        FormFixture f;
        f.form->Play1Click();
        for (int i = 0; i < 66; ++i) {
            f.form->Timer2.Tick();
            f.form->TimerSTR.Tick();
        }
        f.setBoard(kOneMoveFromSolved);
        f.slide(15);
        QCOMPARE(int(f.boxes.size()), 1);
        QVERIFY(f.boxes.front().Text.find("Is expended of time: 1 :  5\r\n") != std::string::npos);
        QCOMPARE(f.panelText(4), std::string("13 : 55"));
    }

    void afterALossTheBoardStillPlaysAndCanWin() {
        FormFixture f;
        f.form->Play3Click();
        for (int t = 1; t <= 301; ++t) {
            f.form->Timer3.Tick();
            if (f.form->TimerSTR.Enabled())
                f.form->TimerSTR.Tick();
        }
        QCOMPARE(int(f.boxes.size()), 1);
        f.setBoard(kOneMoveFromSolved);
        f.slide(15);
        QCOMPARE(int(f.boxes.size()), 2);
        QVERIFY(f.boxes.back().Text.find(": 4 : 59\r\n") != std::string::npos);
        QCOMPARE(f.panelText(4), std::string("0 :  0"));
    }

    void theStartTextScrollsUntilTheFirstGame() {
        FormFixture f;
        QCOMPARE(app::Game.MarqueeText, std::string("Start Game      "));
        f.form->Timer5.Tick();
        QCOMPARE(f.form->Panel2->Caption(), std::string("Start Game      "));
        f.form->Timer5.Tick();
        QCOMPARE(f.form->Panel2->Caption(), std::string("tart Game      S"));
        f.form->PlayClick();
        QCOMPARE(f.form->Panel2->Caption(), std::string());
        QVERIFY(!f.form->Timer5.Enabled());
    }
};

VELMAR_TEST_MAIN(TestRounds)
#include "TestRounds.moc"
