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
#include "platform/widgets/AccessibleWidgets.h"
#include "platform/widgets/Panel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QStringList>
#include <QVariant>

namespace app {

namespace {

// The board panel is the one named so by the main window; the tiles are its buttons.
const char* const kBoardName = "Panel2";

// The board keeps its words in a property, so each reading takes the language of the moment.
const char* const kReadingProperty = "velmarBoardReading";

bool isBoard(const QObject* object) {
    return qobject_cast<const platform::TPanel*>(object) &&
           object->objectName() == QLatin1String(kBoardName);
}

BoardReading readingOf(const QObject* board) {
    const QStringList words = board->property(kReadingProperty).toStringList();
    if (words.size() != 5)
        return EnglishBoardReading();
    return {words[0], words[1], words[2], words[3], words[4]};
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
            const QString hint = widget()->accessibleDescription();
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

class BoardAccessible : public QAccessibleWidget {
public:
    explicit BoardAccessible(QWidget* board) : QAccessibleWidget(board, QAccessible::Grouping) {}

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
    return {english(T::HintTile), english(T::BoardName), english(T::BoardEmptyCell),
            english(T::BoardNoTiles), english(T::BoardCell)};
}

void SetBoardReading(QWidget* board, const BoardReading& reading) {
    board->setProperty(kReadingProperty, QStringList{reading.Tile, reading.Board, reading.EmptyCell,
                                                     reading.NoTiles, reading.Cell});
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
}

// The widget's own description property holds the note: it sends the change to listening tools.
void AnnounceHint(QWidget* tile, const QString& text) {
    tile->setAccessibleDescription(text);
}

void ClearHint(QWidget* tile) {
    tile->setAccessibleDescription(QString());
}

void AnnounceBoardChanged(QWidget* board) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(board, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
    for (auto* tile : board->findChildren<controls::TColorButton*>(Qt::FindDirectChildrenOnly)) {
        QAccessibleEvent moved(tile, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&moved);
    }
}

} // namespace app
