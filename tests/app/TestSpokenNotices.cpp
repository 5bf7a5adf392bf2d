// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader says at once of the game: the deal, each move, a tile that cannot move
// and the hint, through the status bar's notice, and no description change sent for the
// focused tile while it has the focus (Orca 43 cannot speak Qt 6.4's form of that event).
#include "app/FormFixture.h"

#include "app/AccessibleBoard.h"
#include "app/AccessibleEvents.h"

#include <QAccessible>

namespace {

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

// The status bar's notice, the child after its five panels.
QAccessibleInterface* notice(FormFixture& f) {
    return accessible(f.form->StatusBar1)->child(5);
}

QString noticeText(FormFixture& f) {
    return notice(f)->text(QAccessible::Name);
}

rules::BoardCells cellsOf(const std::array<int, 16>& cells) {
    rules::BoardCells board{};
    for (std::size_t i = 0; i < cells.size(); ++i)
        board[i + 1] = static_cast<std::uint8_t>(cells[i]);
    return board;
}

} // namespace

class TestSpokenNotices : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::InstallAccessibility(); }

    void noticesNameTheLevelTheCellsAndTheCounts() {
        const app::BoardReading english = app::EnglishBoardReading();
        const rules::BoardCells board = cellsOf(kOneMoveFromSolved);
        QCOMPARE(app::DealNotice(english, QStringLiteral("No time limit"), board),
                 QStringLiteral("New game: No time limit. Empty cell: row 4, column 3."));
        // A level name that ends its own sentence gets no second full stop.
        QCOMPARE(app::DealNotice(english, QStringLiteral("Level 2 - 15 min."), board),
                 QStringLiteral("New game: Level 2 - 15 min. Empty cell: row 4, column 3."));
        QCOMPARE(app::MoveNotice(english, 15, board, QStringLiteral("37")),
                 QStringLiteral("Tile 15: row 4, column 4. Moves: 37."));
        QCOMPARE(app::MoveNotice(english, 6, board, QStringLiteral("1")),
                 QStringLiteral("Tile 6: row 2, column 2. Moves: 1."));
        QCOMPARE(app::StuckNotice(english, 1, QStringLiteral("38")),
                 QStringLiteral("Tile 1 cannot move. Moves: 38."));
        QCOMPARE(app::HintNotice(english, 12, board, QStringLiteral("3 moves to go")),
                 QStringLiteral("Hint: Tile 12, row 3, column 4, 3 moves to go."));
        // Before the first deal the board holds nothing to speak of.
        QVERIFY(app::DealNotice(english, QStringLiteral("No time limit"), {}).isEmpty());
        QVERIFY(app::MoveNotice(english, 15, {}, QStringLiteral("1")).isEmpty());
    }

    void theStatusBarSpeaksTheDealEachMoveAndATileThatCannotMove() {
        FormFixture f;
        QCOMPARE(notice(f)->role(), QAccessible::Notification);
        QCOMPARE(notice(f)->parent(), accessible(f.form->StatusBar1));
        QCOMPARE(accessible(f.form->StatusBar1)->indexOfChild(notice(f)), 5);
        QVERIFY(noticeText(f).isEmpty());

        f.form->Play1Click();
        const int empty = rules::CellOfTile(app::Game.Board, 16);
        QCOMPARE(noticeText(f), QStringLiteral("New game: Level 2 - 15 min. Empty cell: row %1, "
                                               "column %2.")
                                    .arg((empty - 1) / 4 + 1)
                                    .arg((empty - 1) % 4 + 1));

        f.setBoard(kOneMoveFromSolved);
        f.slide(14); // into the empty cell at row 4, column 3
        QCOMPARE(noticeText(f), QStringLiteral("Tile 14: row 4, column 3. Moves: 1."));
        f.click(1);
        QCOMPARE(noticeText(f), QStringLiteral("Tile 1 cannot move. Moves: 2."));
        // The bar's own name is its panels, the notice apart.
        QVERIFY(!accessible(f.form->StatusBar1)->text(QAccessible::Name).contains("Tile"));
        QVERIFY(accessible(f.form->StatusBar1)
                    ->text(QAccessible::Name)
                    .startsWith(QStringLiteral("Courses: 2 Round: 1")));
    }

    void noticesAreSpokenInTheLanguageJustPicked_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("deal");
        QTest::addColumn<QString>("moved");
        QTest::addColumn<QString>("stuck");
        QTest::newRow("Russian") << 1 << QStringLiteral("Новая игра: Без ограничения.")
                                 << QStringLiteral("Фишка 14: строка 4, столбец 3. Ходов: 1.")
                                 << QStringLiteral("Фишка 1 не может сдвинуться. Ходов: 2.");
        QTest::newRow("Ukrainian") << 2 << QStringLiteral("Нова гра: Без обмеження.")
                                   << QStringLiteral("Фішка 14: рядок 4, стовпець 3. Ходів: 1.")
                                   << QStringLiteral("Фішка 1 не може рухатися. Ходів: 2.");
        QTest::newRow("French") << 3 << QStringLiteral("Nouvelle partie : Sans limite.")
                                << QStringLiteral("Pièce 14 : ligne 4, colonne 3. Coups : 1.")
                                << QStringLiteral("Pièce 1 ne peut pas bouger. Coups : 2.");
    }
    void noticesAreSpokenInTheLanguageJustPicked() {
        QFETCH(int, language);
        FormFixture f;
        f.pickLanguage(language);
        f.form->PlayClick();
        QFETCH(QString, deal);
        QVERIFY2(noticeText(f).startsWith(deal), qPrintable(noticeText(f)));
        f.setBoard(kOneMoveFromSolved);
        f.slide(14);
        QTEST(noticeText(f), "moved");
        f.click(1);
        QTEST(noticeText(f), "stuck");
        f.pickLanguage(0); // back to English for the next test
    }

    void theBoardHoldsItsTilesOnceTheyAreDealt() {
        FormFixture f;
        QAccessibleInterface* board = accessible(f.form->Panel2);
        QCOMPARE(board->childCount(), 0);
        AccessibleEvents log;
        f.form->PlayClick();
        QCOMPARE(board->childCount(), 15);
        for (int i = 0; i < 15; ++i) {
            QAccessibleInterface* tile = board->child(i);
            QVERIFY(!tile->state().invisible);
            QCOMPARE(tile->parent(), board);
            QCOMPARE(board->indexOfChild(tile), i);
        }
        for (int n = 1; n <= 15; ++n)
            QCOMPARE(log.Count(f.form->Tile(n), QAccessible::ObjectCreated), 1);
        // A second deal shows no new tile, so the children stay as they were.
        f.form->PlayClick();
        QCOMPARE(log.Count(f.form->Tile(1), QAccessible::ObjectCreated), 1);
    }

    void aNoticeShowsAndTheFocusedTileHearsOfItsNewPlaceOnlyOnceItIsLeft() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        f.form->activateWindow();
        f.form->Tile(14)->setFocus();
        QVERIFY(f.form->Tile(14)->hasFocus());
        AccessibleEvents log;
        f.slide(14);
        QCOMPARE(log.Count(f.form->StatusBar1, QAccessible::ObjectShow, 5), 1);
        QCOMPARE(log.Count(f.form->Tile(14), QAccessible::DescriptionChanged), 0);
        QCOMPARE(log.Count(f.form->Tile(15), QAccessible::DescriptionChanged), 1);
        QCOMPARE(log.Count(f.form->Panel2, QAccessible::DescriptionChanged), 1);
        f.form->Tile(15)->setFocus();
        QTRY_COMPARE(log.Count(f.form->Tile(14), QAccessible::DescriptionChanged), 1);
        // What it says now is where it stands.
        QCOMPARE(accessible(f.form->Tile(14))->text(QAccessible::Description),
                 QStringLiteral("Row 4, column 3"));
    }

    void aClosedColourBoxReportsEachNewChoiceAsTheFocus() {
        FormFixture f;
        f.panel->show();
        f.panel->activateWindow();
        f.panel->ColorBox3->setFocus();
        QTRY_VERIFY(f.panel->ColorBox3->hasFocus());
        QCOMPARE(f.panel->ColorBox3->currentText(), QStringLiteral("Yellow"));
        AccessibleEvents log;
        QTest::keyClick(f.panel->ColorBox3, Qt::Key_Down);
        QTest::keyClick(f.panel->ColorBox3, Qt::Key_Down);
        // The standard colours' order: Yellow, Blue, Fuchsia.
        QCOMPARE(log.Names(QAccessible::Focus), (QStringList{"Blue", "Fuchsia"}));
        // A choice made while the box has no focus is the program's, not the player's.
        f.panel->ColorBox1->setFocus();
        QTRY_VERIFY(f.panel->ColorBox1->hasFocus());
        f.panel->ColorBox3->setCurrentIndex(0);
        QCOMPARE(log.Names(QAccessible::Focus).size(), 2);
        f.panel->hide();
    }
};

VELMAR_TEST_MAIN(TestSpokenNotices)
#include "TestSpokenNotices.moc"
