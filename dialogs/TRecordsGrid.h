// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/CanvasControl.h"
#include "platform/gdi/Colors.h"

#include <QWidget>
#include <array>
#include <string>

namespace dialogs {

// The records as a table: a row of column headers over one row a level, light text on the
// dark background, a marked cell filled in the highlight colour. What a cell says to a screen
// reader may be longer than what it shows (a dash reads as "No record yet"); its details are
// also its tooltip. Tab reaches it and the arrow keys go from cell to cell, each one reported to
// a screen reader as the focus.
class TRecordsGrid : public platform::TCanvasControl<QWidget> {
    Q_OBJECT
public:
    static constexpr int Columns = 4;
    static constexpr int Rows = 4; // below the headers
    static constexpr int RowHeight = 19;
    // The narrowest each column gets; a longer text widens it.
    static constexpr std::array<int, Columns> MinColumnWidths{112, 64, 64, 64};
    static constexpr int TextInset = 3;
    static constexpr platform::TColor HeaderColor = platform::clYellow;
    static constexpr platform::TColor TextColor = platform::clWhite;
    static constexpr platform::TColor BackColor = platform::clBlack;

    struct Cell {
        std::string Text;        // UTF-8, as drawn
        std::string Spoken;      // what a screen reader says; the text when empty
        std::string Description; // the details a screen reader may ask for
        bool Marked = false;
    };

    explicit TRecordsGrid(QWidget* parent = nullptr);

    void SetHeader(int column, const std::string& text);
    const std::string& Header(int column) const { return headers_[index(column)]; }
    void SetCell(int row, int column, Cell cell);
    const Cell& CellAt(int row, int column) const { return cells_[index(row)][index(column)]; }
    // The cell's rectangle in the grid; row -1 is the header row.
    QRect CellRect(int row, int column) const;
    // Makes every column as wide as its widest text, headers in bold, and resizes the grid.
    void FitColumns();
    // The cell the keyboard stands on, a row below the headers.
    int CurrentRow() const { return currentRow_; }
    int CurrentColumn() const { return currentColumn_; }

    void PaintTo(platform::Canvas& canvas) const override;

protected:
    // A best's details (the other measure and the date) show as the cell's tooltip.
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    static std::size_t index(int i) { return static_cast<std::size_t>(i); }
    void announce(int row, int column);
    void moveTo(int row, int column);
    void reportFocus();

    std::array<int, Columns> widths_ = MinColumnWidths;
    std::array<std::string, Columns> headers_;
    std::array<std::array<Cell, Columns>, Rows> cells_;
    int currentRow_ = 0;
    int currentColumn_ = 0;
};

} // namespace dialogs
