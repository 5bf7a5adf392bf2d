// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader hears from the main window: the tiles, the board and the status bar.
#include "FormFixture.h"

#include "app/AccessibleBoard.h"
#include "platform/widgets/TrackBar.h"

#include <QAccessible>

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
        QCOMPARE(bar->childCount(), 5);
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
