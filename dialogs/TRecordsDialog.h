// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/XPButton.h"
#include "controls/XPGroupBox.h"
#include "controls/XPPanel.h"
#include "dialogs/TRecordsGrid.h"
#include "i18n/LanguagePasses.h"

#include <QDialog>
#include <array>
#include <string>

namespace dialogs {

// The records window's words in the player's language (UTF-8), English until a language pass
// gives them. "%1" and "%2" in the details stand for the other half of a round's result and its
// date.
struct RecordsTexts {
    using T = i18n::CaptionTarget;
    std::string Caption = i18n::EnglishText(T::RecordsCaption);
    std::array<std::string, TRecordsGrid::Columns> Headers{
        i18n::EnglishText(T::RecordsLevelHeader), i18n::EnglishText(T::RecordsBestTimeHeader),
        i18n::EnglishText(T::RecordsFewestMovesHeader),
        i18n::EnglishText(T::RecordsWonPlayedHeader)};
    std::string Close = i18n::EnglishText(T::RecordsClose);
    std::array<std::string, TRecordsGrid::Rows> LevelNames{
        i18n::EnglishText(T::RecordsLevel1), i18n::EnglishText(T::RecordsLevel2),
        i18n::EnglishText(T::RecordsLevel3), i18n::EnglishText(T::RecordsLevel4)};
    std::string NewRecord = i18n::EnglishText(T::RecordsNewRecord);
    std::string NoRecord = i18n::EnglishText(T::RecordsNoRecord);
    std::string BestTimeDetails = i18n::EnglishText(T::RecordsBestTimeDetails);
    std::string BestMovesDetails = i18n::EnglishText(T::RecordsBestMovesDetails);
};

// The records window: the table of every level over the dark background of the game's
// dialogs, and a gradient button that closes it, as do its close box and Esc.
class TRecordsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int Margin = 8;
    static constexpr int ButtonWidth = 121;

    explicit TRecordsDialog(QWidget* parent = nullptr);

    controls::TXPPanel* XPPanel1;
    controls::TXPGroupBox* RecordsBox;
    TRecordsGrid* RecordsGrid;
    controls::TXPButton* CloseButton;

    // The window's own words: caption, headers, button; the cells are the caller's.
    void SetTexts(const RecordsTexts& texts);
    const RecordsTexts& Texts() const { return texts_; }
    // Widens the table to its texts and the window around it; after the cells change.
    void FitToTable();

private:
    RecordsTexts texts_;
};

} // namespace dialogs
