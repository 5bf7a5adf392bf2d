// SPDX-License-Identifier: GPL-3.0-or-later
// The player's records as the main window counts and shows them.
#include "app/TForm1.h"

#include "app/rules/Records.h"
#include "dialogs/TRecordsDialog.h"
#include "media/SoundEffects.h"

#include <QDate>
#include <algorithm>
#include <charconv>
#include <limits>

namespace app {

namespace {

constexpr int kMovePanel = 1;

std::int32_t movesOf(const std::string& text) {
    long long moves = 0;
    std::from_chars(text.data(), text.data() + text.size(), moves);
    return static_cast<std::int32_t>(
        std::clamp<long long>(moves, 0, std::numeric_limits<std::int32_t>::max()));
}

} // namespace

void TForm1::countDeal(Level level) {
    PlayerRecords.CountDeal(static_cast<int>(level) + 1);
}

RecordMarks TForm1::countWin() {
    const rules::RoundResult result{rules::ShownSecondsUsed(Game),
                                    movesOf(StatusBar1->PanelText(kMovePanel)),
                                    QDate::currentDate().toString(Qt::ISODate).toStdString()};
    const int level = PlayerRecords.RoundLevel();
    const rules::WinCount count = PlayerRecords.CountWin(result, Game.HintUsed);
    if (!count.NewRecord())
        return {};
    return {level, count.NewBestTime, count.NewBestMoves};
}

void TForm1::RecordsClick() {
    media::StartSound("KEY");
    showRecords({});
}

// Modal without a nested loop, so the slide step that won the round ends at once.
void TForm1::showRecords(const RecordMarks& marks) {
    if (ended_)
        return;
    if (!RecordsDialog) {
        RecordsDialog = new dialogs::TRecordsDialog(this);
        RecordsDialog->SetTexts(recordsTexts_);
        connect(RecordsDialog, &QDialog::finished, this, [this] { recordMarks_ = {}; });
    }
    recordMarks_ = marks;
    ShowRecordTable(*RecordsDialog, PlayerRecords.Table(), recordMarks_);
    RecordsDialog->open();
}

void TForm1::applyRecordsLanguage(const i18n::LanguageTexts& texts) {
    (void)texts;
    if (!RecordsDialog)
        return;
    RecordsDialog->SetTexts(recordsTexts_);
    ShowRecordTable(*RecordsDialog, PlayerRecords.Table(), recordMarks_);
}

} // namespace app
