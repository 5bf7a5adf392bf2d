// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader hears from the main window: the tiles, the board and the status bar,
// in the player's language.
#include "FormFixture.h"

#include "app/AccessibleBoard.h"
#include "controls/Button3d.h"
#include "controls/XPButton.h"
#include "controls/XPLabel.h"
#include "platform/widgets/TrackBar.h"

#include <QAccessible>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

namespace {

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

QString name(QObject* object) {
    return accessible(object)->text(QAccessible::Name);
}

QString description(QObject* object) {
    return accessible(object)->text(QAccessible::Description);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Offscreen there is no bridge to a screen reader, so Qt drops accessibility events;
        // what a reader asks for is still answered, and that is what these tests read.
        app::InstallAccessibility();
    }

    void everyTileIsAPushButtonNamedByItsNumber() {
        FormFixture f;
        f.form->PlayClick();
        for (int n = 1; n <= 15; ++n) {
            QAccessibleInterface* tile = accessible(f.form->Tile(n));
            QVERIFY(tile);
            QCOMPARE(tile->role(), QAccessible::PushButton);
            QCOMPARE(tile->text(QAccessible::Name), QStringLiteral("Tile %1").arg(n));
            QVERIFY(tile->state().focusable);
            QVERIFY(!tile->state().invisible);
            QVERIFY(tile->actionInterface()->actionNames().contains(
                QAccessibleActionInterface::pressAction()));
        }
    }

    void tilesSayWhereTheyStandAndTheBoardWhereTheGapIs() {
        FormFixture f;
        QCOMPARE(name(f.form->Panel2), QStringLiteral("Board"));
        QCOMPARE(description(f.form->Panel2), QStringLiteral("No tiles dealt"));
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        QCOMPARE(description(f.form->Panel2), QStringLiteral("Empty cell: row 4, column 3"));
        QCOMPARE(description(f.form->Tile(15)), QStringLiteral("Row 4, column 4"));
        QCOMPARE(description(f.form->Tile(1)), QStringLiteral("Row 1, column 1"));

        f.slide(15);
        QCOMPARE(description(f.form->Panel2), QStringLiteral("Empty cell: row 4, column 4"));
        QCOMPARE(description(f.form->Tile(15)), QStringLiteral("Row 4, column 3"));
    }

    void statusBarPanelsReadAsTextAndFollowTheGame() {
        FormFixture f;
        f.form->PlayClick();
        QAccessibleInterface* bar = accessible(f.form->StatusBar1);
        QCOMPARE(bar->role(), QAccessible::StatusBar);
        QCOMPARE(bar->childCount(), 6); // and the notice after the panels
        for (int i = 0; i < 5; ++i) {
            QAccessibleInterface* panel = bar->child(i);
            QCOMPARE(panel->role(), QAccessible::StaticText);
            QCOMPARE(bar->indexOfChild(panel), i);
            QCOMPARE(panel->parent(), bar);
            QVERIFY(bar->rect().contains(panel->rect()));
        }
        QCOMPARE(bar->child(0)->text(QAccessible::Name), QStringLiteral("Courses:"));
        QCOMPARE(bar->child(1)->text(QAccessible::Name), QStringLiteral("0"));
        QCOMPARE(bar->child(3)->text(QAccessible::Name), QString::fromStdString(f.panelText(3)));

        f.setBoard(kOneMoveFromSolved);
        f.click(15);
        QCOMPARE(bar->child(1)->text(QAccessible::Name), QStringLiteral("1"));
        QVERIFY(bar->text(QAccessible::Name).startsWith(QStringLiteral("Courses: 1 Round:")));
        QCOMPARE(
            bar->childAt(bar->child(1)->rect().center().x(), bar->child(1)->rect().center().y()),
            bar->child(1));

        f.form->TimerST.Tick();
        QCOMPARE(bar->child(4)->text(QAccessible::Name),
                 QString::fromStdString(f.panelText(4)).trimmed());
    }

    void volumeSliderReadsAndTakesItsPosition() {
        FormFixture f;
        platform::TTrackBar* slider = f.volume->TrackBar1;
        QAccessibleInterface* control = accessible(slider);
        QCOMPARE(control->role(), QAccessible::Slider);
        QCOMPARE(control->text(QAccessible::Name), QStringLiteral("Music volume"));
        QAccessibleValueInterface* value = control->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->minimumValue().toInt(), 0);
        QCOMPARE(value->maximumValue().toInt(), 255);
        slider->SetPosition(40);
        QCOMPARE(value->currentValue().toInt(), 40);
        QCOMPARE(control->text(QAccessible::Value), QStringLiteral("40"));

        int changes = 0;
        slider->OnChange = [&changes](QObject*) { ++changes; };
        value->setCurrentValue(300);
        QCOMPARE(slider->Position(), 255);
        QCOMPARE(changes, 1);
        value->setCurrentValue(255);
        QCOMPARE(changes, 1);
    }

    void theBoardAndTheVolumeSliderReadInTheLanguageJustPicked_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("noTiles");
        QTest::addColumn<QString>("tile");
        QTest::addColumn<QString>("emptyCell");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("volume");
        QTest::newRow("Russian") << 1 << QStringLiteral("Игровое поле")
                                 << QStringLiteral("Фишки не расставлены")
                                 << QStringLiteral("Фишка 15")
                                 << QStringLiteral("Пустая клетка: строка 4, столбец 3")
                                 << QStringLiteral("Строка 4, столбец 4")
                                 << QStringLiteral("Громкость музыки");
        QTest::newRow("French") << 3 << QStringLiteral("Plateau")
                                << QStringLiteral("Aucune pièce posée")
                                << QStringLiteral("Pièce 15")
                                << QStringLiteral("Case vide : ligne 4, colonne 3")
                                << QStringLiteral("Ligne 4, colonne 4")
                                << QStringLiteral("Volume de la musique");
    }
    void theBoardAndTheVolumeSliderReadInTheLanguageJustPicked() {
        QFETCH(int, language);
        FormFixture f;
        f.pickLanguage(language);
        QTEST(name(f.form->Panel2), "board");
        QTEST(description(f.form->Panel2), "noTiles");
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        QTEST(name(f.form->Tile(15)), "tile");
        QTEST(description(f.form->Panel2), "emptyCell");
        QTEST(description(f.form->Tile(15)), "cell");
        QTEST(name(f.volume->TrackBar1), "volume");

        f.pickLanguage(0); // and back, leaving English for the next test
        QCOMPARE(name(f.form->Tile(15)), QStringLiteral("Tile 15"));
        QCOMPARE(description(f.form->Tile(15)), QStringLiteral("Row 4, column 4"));
        QCOMPARE(name(f.form->Panel2), QStringLiteral("Board"));
        QCOMPARE(name(f.volume->TrackBar1), QStringLiteral("Music volume"));
    }

    void theApplicationAndEachWindowReadWithTheirTitles() {
        FormFixture f;
        QCOMPARE(accessible(qApp)->text(QAccessible::Name), QStringLiteral("Velmar"));
        QCOMPARE(accessible(f.form.get())->role(), QAccessible::Window);
        QCOMPARE(name(f.form.get()), QStringLiteral("Velmar"));
        QCOMPARE(accessible(f.panel)->role(), QAccessible::Dialog);
        QCOMPARE(name(f.panel), f.panel->windowTitle());
        QWidget viewer(f.form.get(), Qt::Window);
        viewer.setWindowTitle(QStringLiteral("Velmar Help"));
        QCOMPARE(accessible(&viewer)->role(), QAccessible::Window);
        QCOMPARE(name(&viewer), QStringLiteral("Velmar Help"));
        // Qt's own widgets keep their reading, even when asked about before they had a parent.
        QCOMPARE(accessible(f.form->findChild<QMenuBar*>())->role(), QAccessible::MenuBar);
        auto* label = new QLabel(QStringLiteral("Leave the game?"));
        QCOMPARE(accessible(label)->role(), QAccessible::StaticText);
        QWidget box(f.form.get(), Qt::Dialog);
        (new QVBoxLayout(&box))->addWidget(label);
        QCOMPARE(accessible(label)->role(), QAccessible::StaticText);
        QCOMPARE(accessible(&box)->role(), QAccessible::Window);
    }

    void drawnControlsReadTheirCaptionsAndPressAsAClickWould() {
        QWidget window;
        controls::TXPButton play(&window);
        play.SetCaption("&Play Game");
        controls::TButton3d exit(&window);
        exit.SetCaption("Exit && leave");
        controls::TXPLabel label(&window);
        label.SetCaption("Time");
        QCOMPARE(accessible(&play)->role(), QAccessible::PushButton);
        QCOMPARE(name(&play), QStringLiteral("Play Game"));
        QCOMPARE(name(&exit), QStringLiteral("Exit & leave"));
        QCOMPARE(accessible(&label)->role(), QAccessible::StaticText);
        QCOMPARE(name(&label), QStringLiteral("Time"));
        play.SetCaption("&Jouer");
        QCOMPARE(name(&play), QStringLiteral("Jouer")); // a new language reads at once

        int plays = 0;
        int exits = 0;
        play.OnClick = [&plays](QObject*) { ++plays; };
        exit.OnClick = [&exits](QObject*) { ++exits; };
        const QString press = QAccessibleActionInterface::pressAction();
        accessible(&play)->actionInterface()->doAction(press);
        accessible(&exit)->actionInterface()->doAction(press);
        // After the reader's call returns: a click may open a modal window.
        QCOMPARE(plays + exits, 0);
        QTRY_COMPARE_WITH_TIMEOUT(plays, 1, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(exits, 1, 30000);
        play.setEnabled(false);
        QVERIFY(!accessible(&play)->actionInterface()->actionNames().contains(press));
    }

    void focusIsReportedOnTheTileAndArrowKeysMoveNothing() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        f.form->activateWindow();
        f.form->Tile(15)->setFocus();
        QVERIFY(accessible(f.form->Tile(15))->state().focused);
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down})
            QTest::keyClick(f.form->Tile(15), key);
        QVERIFY(!f.form->Timer1.Enabled());
        QVERIFY(f.tilesStandOnTheirCells());
        QCOMPARE(f.panelText(1), std::string("0"));
        f.form->Tile(14)->setFocus();
        QVERIFY(accessible(f.form->Tile(14))->state().focused);
        QVERIFY(!accessible(f.form->Tile(15))->state().focused);
    }
};

VELMAR_TEST_MAIN(TestAccessibility)
#include "TestAccessibility.moc"
