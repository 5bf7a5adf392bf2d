// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start, shape, commands and close.
#include "FormFixture.h"

#include "platform/files/TempPath.h"
#include "platform/ui/Shell.h"
#include "platform/widgets/Cursors.h"

#include <QFile>

#include <QKeyEvent>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>

class TestWindowLifecycle : public QObject {
    Q_OBJECT
private slots:
    void theWindowIsTheBoardAndTheStatusBarUnderTheMenu() {
        FormFixture f;
        const int menu = f.form->MainMenu1->height();
        QCOMPARE(f.form->size(), QSize(207, menu + 207 + 19));
        QCOMPARE(f.form->minimumSize(), f.form->maximumSize()); // not resizable
        QVERIFY(!(f.form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(f.form->Panel2->geometry(), QRect(2, 2, 203, 203));
        QCOMPARE(f.form->windowTitle(), QString("Velmar"));
    }

    void theDialogsGoWithTheMainWindowAndNoReferenceOutlivesThem() {
        FormFixture f;
        QCOMPARE(app::Form1, f.form.get());
        QCOMPARE(f.panel->parentWidget(), static_cast<QWidget*>(f.form.get()));
        QCOMPARE(f.volume->parentWidget(), static_cast<QWidget*>(f.form.get()));
        QCOMPARE(platform::Application().MainForm(), static_cast<QWidget*>(f.form.get()));
        const QPointer<QObject> panel(f.panel);
        const QPointer<QObject> volume(f.volume);
        bool referencesClearedFirst = false;
        QObject::connect(f.panel, &QObject::destroyed, [&] {
            referencesClearedFirst = !app::Form1 && !app::ControllPanel && !app::VolimesDialog;
        });
        f.form.reset();
        QVERIFY(!panel);
        QVERIFY(!volume);
        QVERIFY(referencesClearedFirst);
    }

    void theStatusBarStartsWithItsFivePanels() {
        FormFixture f;
        const std::vector<std::string> expected = {"Courses:", "0", "Round:", "0", "00:00"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(f.panelText(i), expected[static_cast<std::size_t>(i)]);
    }

    void f9TwiceHidesAndRestoresTheStatusBarWithItsTexts() {
        FormFixture f;
        f.form->PlayClick();
        f.click(3);
        const int height = f.form->height();
        f.sounds.clear();
        f.form->VisibeStatBar->trigger();
        QVERIFY(f.form->StatusBar1->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(f.form->height(), height - 19, 30000);
        f.form->VisibeStatBar->trigger();
        QVERIFY(!f.form->StatusBar1->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(f.form->height(), height, 30000);
        QCOMPARE(f.sounds, (std::vector<std::string>{"KEY", "KEY"}));
        QCOMPARE(f.panelText(0), std::string("Courses:"));
        QCOMPARE(f.panelText(1), std::string("1"));
        QCOMPARE(f.panelText(3), std::string("1"));
    }

    void closeAnsweredNoKeepsEverything() {
        FormFixture f;
        f.form->PlayClick();
        f.click(3);
        const auto board = app::Game.Board;
        f.sounds.clear();
        f.answer = platform::mrNo;
        QVERIFY(!f.form->close());
        QVERIFY(f.form->isVisible());
        QCOMPARE(f.sounds, std::vector<std::string>{"GAMEOVER"});
        QCOMPARE(int(f.boxes.size()), 1);
        const auto& box = f.boxes.front();
        QCOMPARE(box.Type, platform::mtConfirmation);
        QCOMPARE(box.Text, std::string("You really want to abandon the game ?"));
        QCOMPARE(box.Caption, std::string("Confirm / Подтверждение / Підтвердження"));
        QCOMPARE(box.Buttons, (std::vector<platform::TMsgDlgBtn>{platform::mbYes, platform::mbNo}));
        QVERIFY(app::Game.Board == board);
        QVERIFY(f.form->TimerST.Enabled());
        QCOMPARE(f.panelText(1), std::string("1"));
    }

    void closeAnsweredYesClosesAndRemovesTheTemporaryFiles() {
        FormFixture f;
        const QString folder = QString::fromStdString(platform::GetTempPath());
        const QStringList files = {"Language_Velmar.lng", "Music.mid", "Music2.mid", "Music3.mid",
                                   "VELMAR.hlp"};
        for (const QString& file : files)
            QVERIFY2(QFile::exists(folder + file), qPrintable(file));
        f.answer = platform::mrYes;
        QVERIFY(f.form->close());
        QVERIFY(!f.form->isVisible());
        for (const QString& file : files)
            QVERIFY2(!QFile::exists(folder + file), qPrintable(file));
    }

    void f1ShowsTheHelpPage() {
        FormFixture f;
        f.sounds.clear();
        f.form->HelpOnHelp->trigger();
        QVERIFY(platform::HelpViewerWindow());
        QVERIFY(platform::HelpViewerWindow()->isVisible());
        QVERIFY(f.sounds.empty());
        platform::HelpViewerWindow()->close();
    }

    void everyWayOfClosingAsksTheSameQuestion() {
        FormFixture f;
        f.answer = platform::mrNo;
        f.form->ExitGame->trigger();
        QTest::keyClick(f.form.get(), Qt::Key_Escape);
        QCOMPARE(int(f.boxes.size()), 2);
        QCOMPARE(f.boxes[0].Text, f.boxes[1].Text);
        QCOMPARE(f.sounds, (std::vector<std::string>{"GAMEOVER", "GAMEOVER"}));
    }

    void escapeDoesNothingWhileATileHasTheFocus() {
        FormFixture f;
        f.form->PlayClick();
        f.form->Tile(5)->setFocus();
        QTest::keyClick(f.form->Tile(5), Qt::Key_Escape);
        QVERIFY(f.boxes.empty());
        QVERIFY(f.form->isVisible());
    }

    void theFocusedTileSlidesOnItsKey() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        f.form->Tile(15)->setFocus();
        QTest::keyClick(f.form->Tile(15), Qt::Key_Space);
        QCOMPARE(f.panelText(1), std::string("1"));
        QCOMPARE(int(app::Game.Sliding), 1);
    }

    void theDesignCursorsAreLoaded_data() {
        QTest::addColumn<int>("number");
        QTest::newRow("tiles") << 22;
        QTest::newRow("board") << 33;
        QTest::newRow("status bar") << 66;
    }
    void theDesignCursorsAreLoaded() {
        QFETCH(int, number);
        FormFixture f;
        const QCursor cursor = platform::ScreenCursor(number);
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
        const QWidget* user = number == 22   ? static_cast<QWidget*>(f.form->Tile(1))
                              : number == 33 ? static_cast<QWidget*>(f.form->Panel2)
                                             : static_cast<QWidget*>(f.form->StatusBar1);
        QCOMPARE(user->cursor().pixmap().cacheKey(), cursor.pixmap().cacheKey());
    }

    void theIconCyclesThroughItsFiveFrames() {
        FormFixture f;
        QCOMPARE(app::Game.IconFrame, 0);
        QSet<qint64> seen;
        for (int i = 0; i < 5; ++i) {
            f.form->Timer4.Tick();
            seen.insert(platform::Application().Icon().cacheKey());
        }
        QCOMPARE(seen.size(), 5);
        QCOMPARE(app::Game.IconFrame, 0);
        QVERIFY(!platform::Application().Icon().pixmap(16, 16).isNull());
        QCOMPARE(f.form->Timer4.Interval(), 700);
        QCOMPARE(f.form->Timer5.Interval(), 500);
    }

    void anErrorAfterActivationIsShownOnceAndEndsTheProgram() {
        FormFixture f;
        QVERIFY(platform::Application().HasExceptionHandler());
        QObject thrower;
        QTimer::singleShot(0, &thrower, [] { throw platform::Exception("Melody broken"); });
        QCoreApplication::processEvents();
        QCOMPARE(int(f.boxes.size()), 1);
        QCOMPARE(f.boxes.front().Type, platform::mtError);
        QCOMPARE(f.boxes.front().Text, std::string("Melody broken"));
        QVERIFY(platform::Application().Terminated());
    }
};

VELMAR_TEST_MAIN(TestWindowLifecycle)
#include "TestWindowLifecycle.moc"
