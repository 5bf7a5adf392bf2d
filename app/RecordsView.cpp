// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RecordsView.h"

#include "app/rules/Clock.h"

#include <QString>

namespace app {

namespace {

constexpr const char* kNoRecord = "-";

using Cell = dialogs::TRecordsGrid::Cell;

std::string filled(const std::string& pattern, const std::string& first,
                   const std::string& second) {
    return QString::fromStdString(pattern)
        .arg(QString::fromStdString(first), QString::fromStdString(second))
        .toStdString();
}

Cell bestCell(const std::optional<rules::RoundResult>& best, bool byTime, bool marked,
              const dialogs::RecordsTexts& texts) {
    Cell cell;
    if (!best) {
        cell.Text = kNoRecord;
        cell.Spoken = texts.NoRecord;
        return cell;
    }
    cell.Text = byTime ? rules::TimeText(best->Seconds) : std::to_string(best->Moves);
    cell.Description =
        byTime ? filled(texts.BestTimeDetails, std::to_string(best->Moves), best->Date)
               : filled(texts.BestMovesDetails, rules::TimeText(best->Seconds), best->Date);
    cell.Marked = marked;
    if (marked)
        cell.Spoken = cell.Text + ", " + texts.NewRecord;
    return cell;
}

} // namespace

void ShowRecordTable(dialogs::TRecordsDialog& dialog, const rules::RecordTable& table,
                     const RecordMarks& marks) {
    const dialogs::RecordsTexts& texts = dialog.Texts();
    for (int level = 1; level <= rules::RecordLevelCount; ++level) {
        const rules::LevelRecord& record = table.Level(level);
        const int row = level - 1;
        const bool marking = marks.Level == level;
        Cell name;
        name.Text = texts.LevelNames[static_cast<std::size_t>(row)];
        dialog.RecordsGrid->SetCell(row, 0, name);
        dialog.RecordsGrid->SetCell(
            row, 1, bestCell(record.BestTime, true, marking && marks.BestTime, texts));
        dialog.RecordsGrid->SetCell(
            row, 2, bestCell(record.BestMoves, false, marking && marks.BestMoves, texts));
        Cell won;
        won.Text = std::to_string(record.Won) + " / " + std::to_string(record.Played);
        dialog.RecordsGrid->SetCell(row, 3, won);
    }
    dialog.FitToTable();
}

} // namespace app
