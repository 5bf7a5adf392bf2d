// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/LanguagePasses.h"
#include "platform/gdi/Colors.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <string>
#include <vector>

namespace dialogs {

constexpr const char* SettingsFileName = "ORV_Velmar.INI";

// The parameters dialog. It holds the language chooser, the hidden labels that carry the
// current language's message texts and the time used, and the player's two colours.
class TControllPanel : public QDialog {
    Q_OBJECT
public:
    explicit TControllPanel(QWidget* parent = nullptr);

    QLabel* Label1;    // the win text
    QLabel* Label2;    // the loss text
    QLabel* Label3;    // the close question
    QLabel* ZATTIME;   // the words for the time used
    QLabel* LabelTime; // the time-used text

    QGroupBox* XPGroupBox1; // around the board colour
    QGroupBox* XPGroupBox3; // around the tile number colour
    QGroupBox* LanguageBox;
    QComboBox* ComboBox1; // the four languages, captioned by their section names
    QPushButton* Buttondefault;

    // The board colour and the colour of the tile numbers chosen here.
    platform::TColor BoardColor() const { return boardColor_; }
    platform::TColor TileTextColor() const { return tileTextColor_; }

    // The stored language choice, 0 to 3; anything else means English.
    static int StoredLanguage();

    // Puts this dialog's share of a language pass on its controls.
    void ApplyLanguage(const i18n::LanguageTexts& texts);
    // Where each caption of that share goes.
    std::vector<i18n::CaptionSetter> CaptionSetters();
    // The change pass, when the player picks a language.
    void ComboBox1Change();

    // Hands the main window its share of a change pass.
    std::function<void(const i18n::LanguageTexts&)> OnLanguageChanged;

private:
    platform::TColor boardColor_ = platform::clBlack;
    platform::TColor tileTextColor_ = platform::clYellow;
};

// The text of a label, in UTF-8.
std::string TextOf(const QLabel* label);
void SetText(QLabel* label, const std::string& text);

} // namespace dialogs
