// SPDX-License-Identifier: GPL-3.0-or-later
// The records table for a player on the keyboard: Tab reaches it from the Close button the
// window opens on, the arrow keys go from cell to cell, and each cell a key reaches is what a
// screen reader is told holds the focus, read with its column's header.
#include "app/AccessibleBoard.h"
#include "app/AccessibleEvents.h"
#include "app/FormFixture.h"
#include "dialogs/TRecordsDialog.h"

#include <QAccessible>
#include <QImage>
#include <QTemporaryDir>

namespace {

QAccessibleInterface* grid(const dialogs::TRecordsDialog* dialog) {
    return QAccessible::queryAccessibleInterface(dialog->RecordsGrid);
}

// Where the focus stands for a screen reader: the grid's cell, its header's name and its own.
QStringList focusedCell(const dialogs::TRecordsDialog* dialog) {
    QAccessibleInterface* cell = grid(dialog)->focusChild();
    if (!cell || !cell->state().focused)
        return {};
    const QList<QAccessibleInterface*> headers = cell->tableCellInterface()->columnHeaderCells();
    return {headers.value(0) ? headers.value(0)->text(QAccessible::Name) : QString(),
            cell->text(QAccessible::Name)};
}

// The records window as Ctrl+R opens it, on its Close button.
dialogs::TRecordsDialog* openRecords(FormFixture& f) {
    f.form->Records->trigger();
    dialogs::TRecordsDialog* dialog = f.form->RecordsDialog;
    dialog->activateWindow();
    if (!QTest::qWaitFor([dialog] { return dialog->CloseButton->hasFocus(); }))
        return nullptr;
    return dialog;
}

} // namespace

class TestRecordsKeyboard : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> state_;

private slots:
    void initTestCase() {
        app::InstallAccessibility();
        state_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_STATE_HOME", state_->path().toUtf8());
    }

    void tabReachesTheTableAndTheArrowsGoFromCellToCell() {
        FormFixture f;
        dialogs::TRecordsDialog* dialog = openRecords(f);
        QVERIFY2(dialog, "the window did not open on its Close button");
        QVERIFY(focusedCell(dialog).isEmpty());

        AccessibleEvents events;
        QTest::keyClick(dialog->CloseButton, Qt::Key_Tab);
        QTRY_VERIFY(dialog->RecordsGrid->hasFocus());
        QCOMPARE(focusedCell(dialog), (QStringList{"Level", "No time limit"}));
        // After Qt's own report of the grid, so a reader ends on the cell: child 4 is the
        // first cell under the four headers.
        QTRY_COMPARE(events.Count(dialog->RecordsGrid, QAccessible::Focus, 4), 1);

        QTest::keyClick(dialog->RecordsGrid, Qt::Key_Right);
        QCOMPARE(focusedCell(dialog), (QStringList{"Best time", "No record yet"}));
        QCOMPARE(events.Count(dialog->RecordsGrid, QAccessible::Focus, 5), 1);
        QTest::keyClick(dialog->RecordsGrid, Qt::Key_End);
        QTest::keyClick(dialog->RecordsGrid, Qt::Key_Down);
        QTest::keyClick(dialog->RecordsGrid, Qt::Key_Down);
        QTest::keyClick(dialog->RecordsGrid, Qt::Key_Down);
        QTest::keyClick(dialog->RecordsGrid, Qt::Key_Down); // past the last row: stays
        QCOMPARE(focusedCell(dialog), (QStringList{"Won / played", "0 / 0"}));
        QTest::keyClick(dialog->RecordsGrid, Qt::Key_Home);
        QTest::keyClick(dialog->RecordsGrid, Qt::Key_Left); // before the first column: stays
        QCOMPARE(focusedCell(dialog), (QStringList{"Level", "Level 4 - 5 min."}));
        QCOMPARE(events.Count(dialog->RecordsGrid, QAccessible::Focus, 4 * 4 + 0), 1);

        // Tab goes on to the button, and Esc still closes the window from the table.
        QTest::keyClick(dialog->RecordsGrid, Qt::Key_Tab);
        QTRY_VERIFY(dialog->CloseButton->hasFocus());
        QVERIFY(focusedCell(dialog).isEmpty());
        dialog->RecordsGrid->setFocus();
        QTest::keyClick(dialog->RecordsGrid, Qt::Key_Escape);
        QTRY_VERIFY(!dialog->isVisible());
    }

    void onlyTheFocusedTableFramesItsCell() {
        FormFixture f;
        dialogs::TRecordsDialog* dialog = openRecords(f);
        QVERIFY2(dialog, "the window did not open on its Close button");
        const QImage unfocused = dialog->RecordsGrid->grab().toImage();
        dialog->RecordsGrid->setFocus();
        QTRY_VERIFY(dialog->RecordsGrid->hasFocus());
        const QImage focused = dialog->RecordsGrid->grab().toImage();
        QVERIFY(focused != unfocused);
        // Every changed pixel lies on the frame inside the first cell.
        const QRect cell = dialog->RecordsGrid->CellRect(0, 0);
        for (int y = 0; y < focused.height(); ++y)
            for (int x = 0; x < focused.width(); ++x)
                if (focused.pixel(x, y) != unfocused.pixel(x, y))
                    QVERIFY2(cell.adjusted(1, 1, -1, -2).contains(x, y) &&
                                 !cell.adjusted(2, 2, -2, -3).contains(x, y),
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }
};

VELMAR_TEST_MAIN(TestRecordsKeyboard)
#include "TestRecordsKeyboard.moc"
