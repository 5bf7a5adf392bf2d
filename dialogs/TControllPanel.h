// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Colors.h"

#include <QDialog>
#include <QLabel>
#include <string>

namespace dialogs {

// The parameters dialog. For now it holds the hidden labels that carry the current language's
// message texts and the time used, and the player's two colours at their first-start values.
class TControllPanel : public QDialog {
    Q_OBJECT
public:
    explicit TControllPanel(QWidget* parent = nullptr);

    QLabel* Label1;    // the win text
    QLabel* Label2;    // the loss text
    QLabel* Label3;    // the close question
    QLabel* ZATTIME;   // the words for the time used
    QLabel* LabelTime; // the time-used text

    // The board colour and the colour of the tile numbers chosen here.
    platform::TColor BoardColor() const { return boardColor_; }
    platform::TColor TileTextColor() const { return tileTextColor_; }

private:
    platform::TColor boardColor_ = platform::clBlack;
    platform::TColor tileTextColor_ = platform::clYellow;
};

// The text of a label, in UTF-8.
std::string TextOf(const QLabel* label);
void SetText(QLabel* label, const std::string& text);

} // namespace dialogs
