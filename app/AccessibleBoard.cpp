// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AccessibleBoard.h"

#include "app/TForm1.h"
#include "app/rules/GameState.h"
#include "app/rules/TileMoves.h"
#include "controls/AccessibleControls.h"
#include "controls/ColorButtons.h"
#include "dialogs/RecordsGridAccessible.h"
#include "i18n/LanguagePasses.h"
#include "platform/ui/AccessibleWindows.h"
#include "platform/widgets/AccessibleEvents.h"
#include "platform/widgets/AccessibleWidgets.h"
#include "platform/widgets/Panel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QVariant>

namespace app {

namespace {

// The board panel is the one named so by the main window; the tiles are its buttons.
const char* const kBoardName = "Panel2";

// The board keeps its words in a property, so each reading takes the language of the moment.
const char* const kReadingProperty = "velmarBoardReading";
// A hinted tile keeps the hint's words in a property, read into its description.
const char* const kHintProperty = "velmarHint";
constexpr int kReadingWords = 9;
// How many tiles the board showed when a reader last heard of its children.
const char* const kShownProperty = "velmarShownTiles";
// A focused tile whose description changed while it held the focus.
const char* const kDescribeLaterProperty = "velmarDescribeLater";

bool isBoard(const QObject* object) {
    return qobject_cast<const platform::TPanel*>(object) &&
           object->objectName() == QLatin1String(kBoardName);
}

BoardReading readingOf(const QObject* board) {
    const QStringList words = board->property(kReadingProperty).toStringList();
    if (words.size() != kReadingWords)
        return EnglishBoardReading();
    return {words[0], words[1], words[2], words[3], words[4],
            words[5], words[6], words[7], words[8]};
}

QString rowOf(int cell) {
    return QString::number((cell - 1) / 4 + 1);
}

QString columnOf(int cell) {
    return QString::number((cell - 1) % 4 + 1);
}

QString tileName(const BoardReading& reading, int tile) {
    return QString(reading.Tile).replace(QLatin1String("%d"), QString::number(tile));
}

// `pattern` filled with the tile, its row and column on `board`, and `last`; empty when no
// cell holds the tile.
QString tileNotice(const QString& pattern, const BoardReading& reading, int tile,
                   const rules::BoardCells& board, const QString& last) {
    const int cell = rules::CellOfTile(board, tile);
    if (cell == 0)
        return {};
    return pattern.arg(tileName(reading, tile), rowOf(cell), columnOf(cell), last);
}

bool isBoardTile(const QObject* object) {
    return qobject_cast<const controls::TColorButton*>(object) && isBoard(object->parent());
}

// Qt 6.4 sends a description's change to the reader with an object where the text belongs;
// Orca 43 tries to speak that for the focused object and fails. The focused tile's change is
// sent once the focus has left it, when a reader only notes it.
void describeAnew(QWidget* widget) {
    if (!platform::AccessibilityListening())
        return;
    if (widget->hasFocus()) {
        widget->setProperty(kDescribeLaterProperty, true);
        return;
    }
    QAccessibleEvent event(widget, QAccessible::DescriptionChanged);
    platform::SendAccessibleEvent(event);
}

void focusLeft(QWidget* old) {
    if (!old || !isBoardTile(old) || !old->property(kDescribeLaterProperty).toBool())
        return;
    old->setProperty(kDescribeLaterProperty, QVariant());
    QPointer<QWidget> tile(old);
    // After the focus event, so the reader has moved on when this arrives.
    QMetaObject::invokeMethod(
        qApp,
        [tile] {
            if (tile)
                describeAnew(tile);
        },
        Qt::QueuedConnection);
}

// `pattern` filled with the row and column of cell 1..16; empty for any other number.
QString cellText(const QString& pattern, int cell) {
    if (cell < 1 || cell > rules::CellCount)
        return {};
    return pattern.arg((cell - 1) / 4 + 1).arg((cell - 1) % 4 + 1);
}

class TileAccessible : public QAccessibleWidget {
public:
    explicit TileAccessible(controls::TColorButton* tile)
        : QAccessibleWidget(tile, QAccessible::PushButton) {}

    QString text(QAccessible::Text t) const override {
        const QString number = button()->text();
        switch (t) {
        case QAccessible::Name:
            return reading().Tile.replace(QLatin1String("%d"), number);
        case QAccessible::Description: {
            const QString cell =
                cellText(reading().Cell, rules::CellOfTile(Game.Board, number.toInt()));
            const QString hint = widget()->property(kHintProperty).toString();
            return hint.isEmpty() ? cell : hint + QStringLiteral(". ") + cell;
        }
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = button()->isDown();
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override {
        if (name == pressAction())
            button()->animateClick();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    controls::TColorButton* button() const {
        return static_cast<controls::TColorButton*>(widget());
    }
    BoardReading reading() const { return readingOf(widget()->parent()); }
};

// The tiles the board shows. Hidden tiles are none of its children: a reader that looked at
// them before the first deal would keep them invisible, as Qt never reports them visible again.
QList<QWidget*> shownTiles(const QWidget* board) {
    QList<QWidget*> shown;
    for (auto* tile : board->findChildren<controls::TColorButton*>(Qt::FindDirectChildrenOnly))
        if (!tile->isHidden())
            shown.append(tile);
    return shown;
}

class BoardAccessible : public QAccessibleWidget {
public:
    explicit BoardAccessible(QWidget* board) : QAccessibleWidget(board, QAccessible::Grouping) {}

    int childCount() const override { return static_cast<int>(shownTiles(widget()).size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> shown = shownTiles(widget());
        if (index < 0 || index >= shown.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(shown[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? static_cast<int>(
                           shownTiles(widget()).indexOf(static_cast<QWidget*>(child->object())))
                     : -1;
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return readingOf(widget()).Board;
        case QAccessible::Description: {
            const int empty = rules::CellOfTile(Game.Board, rules::EmptyCell);
            const BoardReading reading = readingOf(widget());
            return empty ? cellText(reading.EmptyCell, empty) : reading.NoTiles;
        }
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (!object || !object->isWidgetType())
        return platform::AccessibleWindowFactory(object); // the application itself
    if (auto* tile = qobject_cast<controls::TColorButton*>(object); tile && isBoard(tile->parent()))
        return new TileAccessible(tile);
    if (isBoard(object))
        return new BoardAccessible(static_cast<QWidget*>(object));
    if (QAccessibleInterface* records = dialogs::AccessibleRecordsFactory(object))
        return records;
    if (QAccessibleInterface* widget = platform::AccessibleWidgetFactory(object))
        return widget;
    if (QAccessibleInterface* control = controls::AccessibleControlFactory(object))
        return control;
    return platform::AccessibleWindowFactory(object);
}

} // namespace

BoardReading EnglishBoardReading() {
    using T = i18n::CaptionTarget;
    const auto english = [](T target) { return QString::fromUtf8(i18n::EnglishText(target)); };
    return {english(T::HintTile),     english(T::BoardName),   english(T::BoardEmptyCell),
            english(T::BoardNoTiles), english(T::BoardCell),   english(T::NoticeDeal),
            english(T::NoticeMoved),  english(T::NoticeStuck), english(T::NoticeHint)};
}

QString DealNotice(const BoardReading& reading, const QString& level,
                   const rules::BoardCells& board) {
    const int empty = rules::CellOfTile(board, rules::EmptyCell);
    if (empty == 0)
        return {};
    QString name = level;
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1); // "Level 2 - 15 min." ends a sentence of its own
    return reading.Deal.arg(name, rowOf(empty), columnOf(empty));
}

QString MoveNotice(const BoardReading& reading, int tile, const rules::BoardCells& board,
                   const QString& moves) {
    return tileNotice(reading.Moved, reading, tile, board, moves);
}

QString StuckNotice(const BoardReading& reading, int tile, const QString& moves) {
    return reading.Stuck.arg(tileName(reading, tile), moves);
}

QString HintNotice(const BoardReading& reading, int tile, const rules::BoardCells& board,
                   const QString& movesToGo) {
    return tileNotice(reading.Hint, reading, tile, board, movesToGo);
}

void SetBoardReading(QWidget* board, const BoardReading& reading) {
    board->setProperty(kReadingProperty, QStringList{reading.Tile, reading.Board, reading.EmptyCell,
                                                     reading.NoTiles, reading.Cell, reading.Deal,
                                                     reading.Moved, reading.Stuck, reading.Hint});
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent renamed(board, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    for (auto* tile : board->findChildren<controls::TColorButton*>(Qt::FindDirectChildrenOnly)) {
        QAccessibleEvent tileRenamed(tile, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&tileRenamed);
    }
    AnnounceBoardChanged(board);
}

void InstallAccessibility() {
    QAccessible::installFactory(factory);
    if (qApp)
        QObject::connect(qApp, &QApplication::focusChanged, qApp,
                         [](QWidget* old, QWidget*) { focusLeft(old); });
}

void AnnounceHint(QWidget* tile, const QString& text) {
    tile->setProperty(kHintProperty, text);
    describeAnew(tile);
}

void ClearHint(QWidget* tile) {
    if (tile->property(kHintProperty).toString().isEmpty())
        return;
    tile->setProperty(kHintProperty, QVariant());
    describeAnew(tile);
}

void AnnounceBoardChanged(QWidget* board) {
    const QList<QWidget*> shown = shownTiles(board);
    if (platform::AccessibilityListening() && board->property(kShownProperty).toInt() == 0) {
        // The dealt tiles join the board's children, each reported on its own: Qt 6.4 sends a
        // reorder in a form the reader's library refuses.
        for (QWidget* tile : shown) {
            QAccessibleEvent joined(tile, QAccessible::ObjectCreated);
            platform::SendAccessibleEvent(joined);
        }
    }
    board->setProperty(kShownProperty, static_cast<int>(shown.size()));
    describeAnew(board);
    for (auto* tile : board->findChildren<controls::TColorButton*>(Qt::FindDirectChildrenOnly))
        describeAnew(tile);
}

} // namespace app
