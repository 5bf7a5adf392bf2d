// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TRecordsGrid.h"

#include "platform/gdi/Fonts.h"
#include "platform/widgets/AccessibleEvents.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QToolTip>
#include <algorithm>
#include <numeric>

namespace dialogs {

namespace {

constexpr unsigned kCellFormat = platform::DT_CENTER | platform::DT_VCENTER |
                                 platform::DT_SINGLELINE | platform::DT_NOPREFIX |
                                 platform::DT_END_ELLIPSIS;
constexpr unsigned kLevelFormat = (kCellFormat & ~platform::DT_CENTER) | platform::DT_LEFT;

} // namespace

TRecordsGrid::TRecordsGrid(QWidget* parent) : TCanvasControl(parent) {
    setFocusPolicy(Qt::TabFocus);
    FitColumns();
}

void TRecordsGrid::FitColumns() {
    platform::TFont bold;
    bold.Style = platform::fsBold;
    const QFontMetrics headerMetrics(platform::ToQFont(bold));
    const QFontMetrics cellMetrics(platform::ToQFont(platform::TFont{}));
    for (int column = 0; column < Columns; ++column) {
        int widest = headerMetrics.horizontalAdvance(QString::fromStdString(Header(column)));
        for (int row = 0; row < Rows; ++row)
            widest = std::max(widest, cellMetrics.horizontalAdvance(
                                          QString::fromStdString(CellAt(row, column).Text)));
        // Room for the inset on both sides and a blank between neighbouring texts.
        widths_[index(column)] = std::max(MinColumnWidths[index(column)], widest + 4 * TextInset);
    }
    setFixedSize(std::accumulate(widths_.begin(), widths_.end(), 0), (Rows + 1) * RowHeight);
    update();
}

void TRecordsGrid::SetHeader(int column, const std::string& text) {
    if (headers_[index(column)] == text)
        return;
    headers_[index(column)] = text;
    update();
}

void TRecordsGrid::SetCell(int row, int column, Cell cell) {
    Cell& current = cells_[index(row)][index(column)];
    if (current.Text == cell.Text && current.Spoken == cell.Spoken &&
        current.Description == cell.Description && current.Marked == cell.Marked)
        return;
    current = std::move(cell);
    update();
    announce(row, column);
}

QRect TRecordsGrid::CellRect(int row, int column) const {
    int left = 0;
    for (int c = 0; c < column; ++c)
        left += widths_[index(c)];
    return {left, (row + 1) * RowHeight, widths_[index(column)], RowHeight};
}

void TRecordsGrid::PaintTo(platform::Canvas& canvas) const {
    canvas.Brush.Style = platform::bsSolid;
    canvas.Brush.Color = BackColor;
    canvas.FillRect(platform::Rect(0, 0, width(), height()));
    // A rule under the headers, in the shadow colour the dialog's bevel uses.
    canvas.Pen.Color = platform::clGray;
    canvas.MoveTo(0, RowHeight - 1);
    canvas.LineTo(width(), RowHeight - 1);
    for (int row = -1; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column) {
            const QRect q = CellRect(row, column);
            const platform::TRect box =
                platform::Rect(q.left(), q.top(), q.left() + q.width(), q.top() + q.height() - 1);
            const bool marked = row >= 0 && CellAt(row, column).Marked;
            if (marked) {
                canvas.Brush.Color = platform::clHighlight;
                canvas.FillRect(box);
            }
            canvas.Brush.Style = platform::bsClear;
            canvas.Font.Color = row < 0  ? HeaderColor
                                : marked ? platform::clHighlightText
                                         : TextColor;
            canvas.Font.Style = row < 0 ? unsigned{platform::fsBold} : 0u;
            const platform::TRect text =
                platform::Rect(box.Left + TextInset, box.Top, box.Right - TextInset, box.Bottom);
            const std::string& caption = row < 0 ? Header(column) : CellAt(row, column).Text;
            canvas.DrawText(caption, text, row >= 0 && column == 0 ? kLevelFormat : kCellFormat);
            canvas.Brush.Style = platform::bsSolid;
        }
    }
    if (hasFocus()) {
        const QRect q = CellRect(currentRow_, currentColumn_);
        canvas.Font.Color = TextColor; // the dotted frame takes the text colour
        canvas.DrawFocusRect(platform::Rect(q.left() + 1, q.top() + 1, q.left() + q.width() - 1,
                                            q.top() + q.height() - 2));
    }
}

void TRecordsGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        moveTo(currentRow_, currentColumn_ - 1);
        break;
    case Qt::Key_Right:
        moveTo(currentRow_, currentColumn_ + 1);
        break;
    case Qt::Key_Up:
        moveTo(currentRow_ - 1, currentColumn_);
        break;
    case Qt::Key_Down:
        moveTo(currentRow_ + 1, currentColumn_);
        break;
    case Qt::Key_Home:
        moveTo(currentRow_, 0);
        break;
    case Qt::Key_End:
        moveTo(currentRow_, Columns - 1);
        break;
    default:
        TCanvasControl::keyPressEvent(event);
    }
}

void TRecordsGrid::moveTo(int row, int column) {
    if (row < 0 || row >= Rows || column < 0 || column >= Columns)
        return;
    if (row == currentRow_ && column == currentColumn_)
        return;
    currentRow_ = row;
    currentColumn_ = column;
    update();
    reportFocus();
}

void TRecordsGrid::focusInEvent(QFocusEvent* event) {
    TCanvasControl::focusInEvent(event);
    update();
    // After Qt's report of the grid itself, so a reader ends on the cell.
    QPointer<TRecordsGrid> grid(this);
    QMetaObject::invokeMethod(
        this,
        [grid] {
            if (grid && grid->hasFocus())
                grid->reportFocus();
        },
        Qt::QueuedConnection);
}

void TRecordsGrid::focusOutEvent(QFocusEvent* event) {
    TCanvasControl::focusOutEvent(event);
    update();
}

void TRecordsGrid::reportFocus() {
    if (!platform::AccessibilityListening())
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild((currentRow_ + 1) * Columns + currentColumn_);
    platform::SendAccessibleEvent(event);
}

bool TRecordsGrid::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return TCanvasControl::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    for (int row = 0; row < Rows; ++row)
        for (int column = 0; column < Columns; ++column) {
            const QRect cell = CellRect(row, column);
            const std::string& details = CellAt(row, column).Description;
            if (cell.contains(help->pos()) && !details.empty()) {
                QToolTip::showText(help->globalPos(), QString::fromStdString(details), this, cell);
                return true;
            }
        }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void TRecordsGrid::announce(int row, int column) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    event.setChild((row + 1) * Columns + column);
    QAccessible::updateAccessibility(&event);
}

} // namespace dialogs
