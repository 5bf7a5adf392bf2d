// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/rules/Records.h"
#include "dialogs/TRecordsDialog.h"

namespace app {

// The entries a won round has just set, to be marked in the records window.
struct RecordMarks {
    int Level = 0; // 1..4; 0 marks nothing
    bool BestTime = false;
    bool BestMoves = false;
};

// Fills the records window's cells from the table in the window's language: the time text
// for a best time, a dash where a level has none, and the details and marks a screen reader
// says.
void ShowRecordTable(dialogs::TRecordsDialog& dialog, const rules::RecordTable& table,
                     const RecordMarks& marks = {});

} // namespace app
