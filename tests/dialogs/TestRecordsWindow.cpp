// SPDX-License-Identifier: GPL-3.0-or-later
// The records window: opened from the menu and by a new record, its table in every language,
// what a screen reader reads, and the three ways to close it.
#include "app/FormFixture.h"

#include "app/AccessibleBoard.h"
#include "dialogs/TRecordsDialog.h"
#include "i18n/StringTable.h"
#include "platform/gdi/Canvas.h"

#include <QAccessible>
#include <QApplication>
#include <QDate>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QToolTip>

namespace {

QString cellText(const dialogs::TRecordsDialog* dialog, int row, int column) {
    return QString::fromStdString(dialog->RecordsGrid->CellAt(row, column).Text);
}

QImage gridImage(const dialogs::TRecordsGrid* grid) {
    QImage image(grid->size(), QImage::Format_RGB32);
    QPainter painter(&image);
    platform::Canvas canvas(painter);
    grid->PaintTo(canvas);
    return image;
}

// A colour somewhere in the cell, away from its text.
QRgb cellCorner(const dialogs::TRecordsGrid* grid, int row, int column) {
    const QRect r = grid->CellRect(row, column);
    return gridImage(grid).pixel(r.left() + 1, r.top() + 1);
}

} // namespace

class TestRecordsWindow : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> state_;

    // Deals a timed level, lets `seconds` of its clock pass and wins with one slide.
    static void winRound(FormFixture& f, void (app::TForm1::*deal)(), int seconds) {
        (f.form.get()->*deal)();
        for (int i = 0; i <= seconds; ++i)
            f.form->TimerSTR.Tick();
        f.setBoard(kOneMoveFromSolved);
        f.slide(15);
    }

private slots:
    void initTestCase() { app::InstallAccessibility(); }
    // Each case starts without records.
    void init() {
        state_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_STATE_HOME", state_->path().toUtf8());
    }

    void theGameMenuOffersTheRecordsWithCtrlR() {
        FormFixture f;
        const QList<QAction*> items = f.form->Files->actions();
        QCOMPARE(items.indexOf(f.form->Records), items.indexOf(f.form->Hint) + 1);
        QCOMPARE(f.form->Records->text(), QString("&Records"));
        QCOMPARE(f.form->Records->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));

        f.form->Records->trigger();
        QVERIFY(f.form->RecordsDialog && f.form->RecordsDialog->isVisible());
        QVERIFY(f.form->RecordsDialog->isModal());
        const dialogs::TRecordsDialog* dialog = f.form->RecordsDialog;
        QCOMPARE(dialog->windowTitle(), QString("Records"));
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(cellText(dialog, row, 1), QString("-"));
            QCOMPARE(cellText(dialog, row, 2), QString("-"));
            QCOMPARE(cellText(dialog, row, 3), QString("0 / 0"));
        }
        QCOMPARE(cellText(dialog, 3, 0), QString("Level 4 - 5 min."));
        QVERIFY(f.boxes.empty());
    }

    void aNewRecordOpensTheWindowAfterTheWinMessageWithTheEntryMarked() {
        FormFixture f;
        bool openDuringTheMessage = false;
        platform::SetMessageResponder([&f, &openDuringTheMessage](const auto& request) {
            f.boxes.push_back(request);
            openDuringTheMessage = f.form->RecordsDialog && f.form->RecordsDialog->isVisible();
            return platform::mrOk;
        });
        winRound(f, &app::TForm1::Play1Click, 95);
        QCOMPARE(int(f.boxes.size()), 1);
        QVERIFY(!openDuringTheMessage);
        dialogs::TRecordsDialog* dialog = f.form->RecordsDialog;
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(cellText(dialog, 1, 1), QString("1 : 35"));
        QCOMPARE(cellText(dialog, 1, 2), QString("1"));
        QCOMPARE(cellText(dialog, 1, 3), QString("1 / 1"));
        QVERIFY(dialog->RecordsGrid->CellAt(1, 1).Marked);
        QVERIFY(dialog->RecordsGrid->CellAt(1, 2).Marked);
        QVERIFY(!dialog->RecordsGrid->CellAt(0, 1).Marked);

        const QRgb highlight = platform::ToQColor(platform::clHighlight).rgb();
        QCOMPARE(cellCorner(dialog->RecordsGrid, 1, 1), highlight);
        QCOMPARE(cellCorner(dialog->RecordsGrid, 1, 3),
                 platform::ToQColor(platform::clBlack).rgb());

        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(dialog->RecordsGrid);
        QCOMPARE(table->role(), QAccessible::Table);
        QAccessibleTableInterface* cells = table->tableInterface();
        QVERIFY(cells);
        QCOMPARE(cells->rowCount(), 4);
        QCOMPARE(cells->columnCount(), 4);
        QAccessibleInterface* best = cells->cellAt(1, 1);
        QCOMPARE(best->text(QAccessible::Name), QString("1 : 35, New record!"));
        QCOMPARE(best->text(QAccessible::Description),
                 QString("1 moves, won on ") + QDate::currentDate().toString(Qt::ISODate));
        QVERIFY(best->state().selected);
        QCOMPARE(cells->selectedCellCount(), 2);
        QCOMPARE(best->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name),
                 QString("Best time"));
        QCOMPARE(best->tableCellInterface()->rowHeaderCells().value(0)->text(QAccessible::Name),
                 QString("Level 2 - 15 min."));
        QCOMPARE(cells->cellAt(0, 1)->text(QAccessible::Name), QString("No record yet"));

        // Closed and opened from the menu, nothing is marked any more.
        dialog->close();
        f.form->Records->trigger();
        QVERIFY(!dialog->RecordsGrid->CellAt(1, 1).Marked);
        QCOMPARE(cellCorner(dialog->RecordsGrid, 1, 1),
                 platform::ToQColor(platform::clBlack).rgb());
    }

    // What the README promises: each best with the other measure and the round's date.
    void aBestShowsItsOtherMeasureAndDateAsItsTooltip() {
        FormFixture f;
        winRound(f, &app::TForm1::Play1Click, 95);
        dialogs::TRecordsGrid* grid = f.form->RecordsDialog->RecordsGrid;
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        auto hover = [grid](int row, int column) {
            const QPoint at = grid->CellRect(row, column).center();
            QHelpEvent help(QEvent::ToolTip, at, grid->mapToGlobal(at));
            QApplication::sendEvent(grid, &help);
        };
        hover(1, 1);
        QTRY_COMPARE(QToolTip::text(), QString("1 moves, won on ") + today);
        hover(1, 2);
        QTRY_COMPARE(QToolTip::text(), QString("in 1 : 35, won on ") + today);
        // A level without a record has nothing more to say.
        hover(0, 1);
        QTRY_VERIFY(!QToolTip::isVisible());
    }

    void aWinThatSetsNoRecordOpensNothing() {
        FormFixture f;
        winRound(f, &app::TForm1::Play3Click, 10);
        f.form->RecordsDialog->close();
        winRound(f, &app::TForm1::Play3Click, 20); // slower, and as many moves
        QCOMPARE(int(f.boxes.size()), 2);
        QVERIFY(!f.form->RecordsDialog->isVisible());
        // The board solved again after moving away and back counts for nothing.
        f.slide(15);
        f.slide(15);
        QCOMPARE(int(f.boxes.size()), 3);
        QVERIFY(!f.form->RecordsDialog->isVisible());
        f.form->Records->trigger();
        QCOMPARE(cellText(f.form->RecordsDialog, 3, 3), QString("2 / 2"));
        QCOMPARE(cellText(f.form->RecordsDialog, 3, 1), QString("0 : 10"));
    }

    void aWinAfterTheTimeOutCountsForNothing() {
        FormFixture f;
        f.form->Play3Click();
        for (int i = 0; i < 301; ++i)
            f.form->Timer3.Tick();
        QCOMPARE(int(f.boxes.size()), 1);
        f.setBoard(kOneMoveFromSolved);
        f.slide(15);
        QCOMPARE(int(f.boxes.size()), 2);
        QVERIFY(!f.form->RecordsDialog);
        f.form->Records->trigger();
        QCOMPARE(cellText(f.form->RecordsDialog, 3, 3), QString("0 / 1"));
        QCOMPARE(cellText(f.form->RecordsDialog, 3, 1), QString("-"));
    }

    void aHintedRoundIsWonWithoutARecord() {
        FormFixture f;
        f.form->PlayClick();
        app::Game.HintUsed = true;
        f.setBoard(kOneMoveFromSolved);
        f.slide(15);
        QVERIFY(!f.form->RecordsDialog);
        f.form->Records->trigger();
        QCOMPARE(cellText(f.form->RecordsDialog, 0, 3), QString("1 / 1"));
        QCOMPARE(cellText(f.form->RecordsDialog, 0, 1), QString("-"));
    }

    void escTheButtonAndTheCloseBoxCloseIt_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << "Esc";
        QTest::newRow("button") << "button";
        QTest::newRow("close box") << "close box";
    }
    void escTheButtonAndTheCloseBoxCloseIt() {
        QFETCH(QString, how);
        FormFixture f;
        f.form->Records->trigger();
        dialogs::TRecordsDialog* dialog = f.form->RecordsDialog;
        QVERIFY(dialog->isVisible());
        if (how == "Esc")
            QTest::keyClick(dialog, Qt::Key_Escape);
        else if (how == "button")
            dialog->CloseButton->Click();
        else
            dialog->close();
        QVERIFY(!dialog->isVisible());
        QVERIFY(f.form->isVisible());
    }

    void theWindowSpeaksEachLanguageAtOnce_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 0;
        QTest::newRow("Russian") << 1;
        QTest::newRow("Ukrainian") << 2;
        QTest::newRow("French") << 3;
    }
    void theWindowSpeaksEachLanguageAtOnce() {
        QFETCH(int, language);
        FormFixture f;
        f.form->Records->trigger();
        f.panel->ComboBox1->setCurrentIndex(language);
        f.panel->ComboBox1Change(); // while the window is open
        const auto text = [language](int key) {
            return QString::fromUtf8(i18n::StringTableText(language, key));
        };
        dialogs::TRecordsDialog* dialog = f.form->RecordsDialog;
        QCOMPARE(f.form->Records->text(), text(40));
        QCOMPARE(dialog->windowTitle(), text(41));
        QCOMPARE(QString::fromStdString(dialog->RecordsGrid->Header(1)), text(43));
        QCOMPARE(QString::fromStdString(dialog->CloseButton->Caption()), text(46));
        QCOMPARE(cellText(dialog, 0, 0), text(47));
        QCOMPARE(cellText(dialog, 3, 0), text(50));
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(dialog->RecordsGrid);
        QCOMPARE(table->tableInterface()->cellAt(2, 2)->text(QAccessible::Name), text(52));
        // Every text of the window fits its place.
        const QFontMetrics metrics(platform::ToQFont(platform::TFont{}));
        for (int column = 0; column < 4; ++column) {
            QFont bold = platform::ToQFont(platform::TFont{});
            bold.setBold(true);
            QVERIFY2(QFontMetrics(bold).horizontalAdvance(
                         QString::fromStdString(dialog->RecordsGrid->Header(column))) <=
                         dialog->RecordsGrid->CellRect(0, column).width() - 6,
                     dialog->RecordsGrid->Header(column).c_str());
        }
        for (int row = 0; row < 4; ++row)
            QVERIFY(metrics.horizontalAdvance(cellText(dialog, row, 0)) <=
                    dialog->RecordsGrid->CellRect(row, 0).width() - 6);
    }

    void theEndOfTheGameTakesTheOpenWindowWithIt() {
        FormFixture f;
        f.form->Records->trigger();
        QPointer<dialogs::TRecordsDialog> dialog = f.form->RecordsDialog;
        f.form->EndProgram();
        QVERIFY(!f.form->isVisible());
        f.form.reset();
        QVERIFY(dialog.isNull());
    }
};

VELMAR_TEST_MAIN(TestRecordsWindow)
#include "TestRecordsWindow.moc"
