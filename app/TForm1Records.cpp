// SPDX-License-Identifier: GPL-3.0-or-later
// The player's records as the main window counts and shows them.
#include "app/TForm1.h"

#include "app/StatusPanels.h"
#include "app/rules/Clock.h"
#include "app/rules/Records.h"
#include "dialogs/CaptionSetters.h"
#include "dialogs/TRecordsDialog.h"
#include "media/SoundEffects.h"

#include <QDate>

namespace app {

void TForm1::countDeal(Level level) {
    PlayerRecords.CountDeal(static_cast<int>(level) + 1);
}

RecordMarks TForm1::countWin() {
    const rules::RoundResult result{rules::ShownSecondsUsed(Game),
                                    rules::CountOf(StatusBar1->PanelText(kMovePanel)),
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

std::vector<i18n::CaptionSetter> TForm1::recordsCaptionSetters() {
    using T = i18n::CaptionTarget;
    const auto into = [](T target, std::string& text) -> i18n::CaptionSetter {
        return {target, [&text](const std::string& value) { text = value; }};
    };
    dialogs::RecordsTexts& t = recordsTexts_;
    return {
        dialogs::SetsText(T::Records, Records),
        into(T::RecordsCaption, t.Caption),
        into(T::RecordsLevelHeader, t.Headers[0]),
        into(T::RecordsBestTimeHeader, t.Headers[1]),
        into(T::RecordsFewestMovesHeader, t.Headers[2]),
        into(T::RecordsWonPlayedHeader, t.Headers[3]),
        into(T::RecordsClose, t.Close),
        into(T::RecordsLevel1, t.LevelNames[0]),
        into(T::RecordsLevel2, t.LevelNames[1]),
        into(T::RecordsLevel3, t.LevelNames[2]),
        into(T::RecordsLevel4, t.LevelNames[3]),
        into(T::RecordsNewRecord, t.NewRecord),
        into(T::RecordsNoRecord, t.NoRecord),
        into(T::RecordsBestTimeDetails, t.BestTimeDetails),
        into(T::RecordsBestMovesDetails, t.BestMovesDetails),
        into(T::RecordsSetAside, recordsMessages_.SetAside),
        into(T::RecordsNotSetAside, recordsMessages_.NotSetAside),
        into(T::RecordsNotSaved, recordsMessages_.NotSaved),
    };
}

// The window follows a language change at once, also while it is open.
void TForm1::applyRecordsLanguage() {
    PlayerRecords.SetMessages(recordsMessages_);
    if (!RecordsDialog)
        return;
    RecordsDialog->SetTexts(recordsTexts_);
    ShowRecordTable(*RecordsDialog, PlayerRecords.Table(), recordMarks_);
}

} // namespace app
