// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/RecordsGridAccessible.h"

#include "dialogs/TRecordsGrid.h"
#include "platform/widgets/WidgetPartAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <vector>

namespace dialogs {

namespace {

constexpr int kColumns = TRecordsGrid::Columns;
constexpr int kRows = TRecordsGrid::Rows;

// A cell has no widget of its own, so its interface is kept and registered by the grid's.
// Row -1 holds the column headers.
class CellAccessible : public platform::WidgetPartAccessible, public QAccessibleTableCellInterface {
public:
    CellAccessible(TRecordsGrid* grid, int row, int column)
        : grid_(grid), row_(row), column_(column) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface && row_ >= 0)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isValid() const override { return !grid_.isNull(); }
    QAccessible::Role role() const override {
        return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }

    QString text(QAccessible::Text t) const override {
        if (!grid_)
            return {};
        if (row_ < 0)
            return t == QAccessible::Name ? QString::fromStdString(grid_->Header(column_))
                                          : QString();
        const TRecordsGrid::Cell& cell = grid_->CellAt(row_, column_);
        switch (t) {
        case QAccessible::Name:
            return QString::fromStdString(cell.Spoken.empty() ? cell.Text : cell.Spoken);
        case QAccessible::Description:
            return QString::fromStdString(cell.Description);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!grid_)
            return {};
        const QRect r = grid_->CellRect(row_, column_);
        return {grid_->mapToGlobal(r.topLeft()), r.size()};
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        s.selectable = row_ >= 0;
        s.selected = row_ >= 0 && grid_ && grid_->CellAt(row_, column_).Marked;
        s.invisible = !grid_ || !grid_->isVisible();
        s.focusable = row_ >= 0;
        s.focused = row_ >= 0 && grid_ && grid_->hasFocus() && grid_->CurrentRow() == row_ &&
                    grid_->CurrentColumn() == column_;
        return s;
    }

    // The cell's side of the table.
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    bool isSelected() const override { return state().selected; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    QAccessibleInterface* table() const override { return parent(); }

private:
    QObject* owner() const override { return grid_; }

    QPointer<TRecordsGrid> grid_;
    int row_;
    int column_;
};

class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(TRecordsGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

    ~GridAccessible() override {
        for (QAccessible::Id id : cells_)
            QAccessible::deleteAccessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // Children: the four headers, then the cells row by row.
    int childCount() const override { return (kRows + 1) * kColumns; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (cells_.empty())
            for (int i = 0; i < childCount(); ++i)
                cells_.push_back(QAccessible::registerAccessibleInterface(
                    new CellAccessible(grid(), i / kColumns - 1, i % kColumns)));
        return QAccessible::accessibleInterface(cells_[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return platform::PartAt(*this, x, y);
    }

    // The cell the keyboard stands on holds the focus while the grid has it.
    QAccessibleInterface* focusChild() const override {
        if (!grid()->hasFocus())
            return nullptr;
        return cellAt(grid()->CurrentRow(), grid()->CurrentColumn());
    }

    // The table's side.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || row >= kRows || column < 0 || column >= kColumns)
            return nullptr;
        return child((row + 1) * kColumns + column);
    }
    QAccessibleInterface* header(int column) const { return child(column); }
    int columnCount() const override { return kColumns; }
    int rowCount() const override { return kRows; }
    QString columnDescription(int column) const override {
        return QString::fromStdString(grid()->Header(column));
    }
    QString rowDescription(int row) const override {
        return QString::fromStdString(grid()->CellAt(row, 0).Text);
    }
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> marked;
        for (int row = 0; row < kRows; ++row)
            for (int column = 0; column < kColumns; ++column)
                if (grid()->CellAt(row, column).Marked)
                    marked << cellAt(row, column);
        return marked;
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // The player reads the table; choosing in it changes nothing.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    TRecordsGrid* grid() const { return static_cast<TRecordsGrid*>(widget()); }

    mutable std::vector<QAccessible::Id> cells_;
};

GridAccessible* gridOf(const QAccessibleInterface* table) {
    return table ? dynamic_cast<GridAccessible*>(const_cast<QAccessibleInterface*>(table))
                 : nullptr;
}

QList<QAccessibleInterface*> CellAccessible::columnHeaderCells() const {
    if (GridAccessible* table = gridOf(parent()))
        return {table->header(column_)};
    return {};
}

QList<QAccessibleInterface*> CellAccessible::rowHeaderCells() const {
    if (GridAccessible* table = gridOf(parent()); table && column_ > 0)
        return {table->cellAt(row_, 0)};
    return {};
}

} // namespace

QAccessibleInterface* AccessibleRecordsFactory(QObject* object) {
    if (auto* grid = qobject_cast<TRecordsGrid*>(object))
        return new GridAccessible(grid);
    return nullptr;
}

} // namespace dialogs
