// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/XPButton.h"
#include "controls/XPGroupBox.h"
#include "controls/XPPanel.h"
#include "dialogs/TRecordsGrid.h"

#include <QDialog>
#include <array>
#include <string>

namespace dialogs {

// The records window's words in the player's language (UTF-8). "%1" and "%2" in the details
// stand for the other half of a round's result and its date.
struct RecordsTexts {
    std::string Caption = "Records";
    std::array<std::string, TRecordsGrid::Columns> Headers{"Level", "Best time", "Fewest moves",
                                                           "Won / played"};
    std::string Close = "&Close";
    std::array<std::string, TRecordsGrid::Rows> LevelNames{"No time limit", "Level 2 - 15 min.",
                                                           "Level 3 - 10 min.", "Level 4 - 5 min."};
    std::string NewRecord = "New record!";
    std::string NoRecord = "No record yet";
    std::string BestTimeDetails = "%1 moves, won on %2";
    std::string BestMovesDetails = "in %1, won on %2";
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
