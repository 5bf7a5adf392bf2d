// SPDX-License-Identifier: GPL-3.0-or-later
// Real modal windows that stay open while the game's timers tick: the boxes that come up
// behind them, over them, and the board once everything is answered.
#include "FormFixture.h"
#include "ModalPlayer.h"

#include "platform/ui/Dialogs.h"

struct Seen {
    std::string title;
    std::string text;
    QWidget* parent = nullptr;
    bool overAnother = false; // another window of the game was open beneath it
};

class TestNestedLoops : public QObject {
    Q_OBJECT
private slots:
    void aSlideFinishesBehindTheCloseQuestionAndItsWinBoxOpensOverIt_data() {
        QTest::addColumn<bool>("abandon");
        QTest::newRow("No keeps the game") << false;
        QTest::newRow("Yes ends it") << true;
    }
    void aSlideFinishesBehindTheCloseQuestionAndItsWinBoxOpensOverIt() {
        QFETCH(bool, abandon);
        FormFixture f;
        platform::SetMessageResponder({});
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        f.click(15);
        f.form->Timer1.Tick();
        std::vector<Seen> seen;
        QPointer<QDialog> question;
        ModalPlayer player([&](QDialog* box) {
            seen.push_back({box->windowTitle().toStdString(), ModalPlayer::textOf(box),
                            box->parentWidget(), question && question->isVisible()});
            if (box->windowTitle() == QString::fromUtf8(platform::ConfirmCaption)) {
                question = box;
                while (app::Game.Sliding != 0) // the slide goes on behind the question
                    f.form->Timer1.Tick();
                ModalPlayer::press(box, abandon ? platform::YesCaption : platform::NoCaption);
            } else {
                box->done(platform::mrOk);
            }
        });
        QCOMPARE(f.form->close(), abandon);

        QCOMPARE(int(seen.size()), 2);
        QCOMPARE(seen[0].text, std::string("You really want to abandon the game ?"));
        QCOMPARE(seen[1].title, std::string("Velmar"));
        QVERIFY(QString::fromStdString(seen[1].text).startsWith("You have won - we CONGRATULATE!"));
        QVERIFY(seen[1].overAnother);
        QCOMPARE(seen[1].parent, f.form.get());
        QVERIFY(rules::IsConsistent(app::Game.Board));
        QVERIFY(f.tilesStandOnTheirCells());
        QCOMPARE(int(app::Game.Board[15]), 15);
        QVERIFY(!f.form->TimerST.Enabled());
        QCOMPARE(f.form->isVisible(), !abandon);
    }

    void aTimedLevelRunsOutBehindAnOpenDialogAndItsLossBoxOpens() {
        FormFixture f;
        platform::SetMessageResponder({});
        f.form->Play3Click();
        f.setBoard(kOneMoveFromSolved);
        const auto board = app::Game.Board;
        std::vector<Seen> seen;
        ModalPlayer player([&](QDialog* box) {
            const bool volumeOpen = f.volume->isVisible();
            seen.push_back({box->windowTitle().toStdString(), ModalPlayer::textOf(box),
                            box->parentWidget(), volumeOpen && box != f.volume});
            if (box != f.volume) {
                box->done(platform::mrOk);
                return;
            }
            while (f.form->Timer3.Enabled()) // five minutes and the tick that ends them
                f.form->Timer3.Tick();
            box->reject();
        });
        f.form->Volime1->trigger();

        QCOMPARE(int(seen.size()), 2);
        QCOMPARE(seen[1].text, std::string("Time has left - you HAVE LOST!"));
        QVERIFY(seen[1].overAnother);
        QCOMPARE(seen[1].parent, f.form.get());
        QVERIFY(!f.form->Timer3.Enabled());
        QVERIFY(!f.form->TimerSTR.Enabled());
        QCOMPARE(f.panelText(4), std::string("0 :  0"));
        QVERIFY(app::Game.Board == board);
        QVERIFY(f.tilesStandOnTheirCells());
        QVERIFY(f.form->isVisible());
        f.slide(11); // and the board still plays
        QCOMPARE(int(app::Game.Board[15]), 11);
        QVERIFY(rules::IsConsistent(app::Game.Board));
    }
};

VELMAR_TEST_MAIN(TestNestedLoops)
#include "TestNestedLoops.moc"
