// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/XPButton.h"
#include "controls/XPGroupBox.h"
#include "controls/XPPanel.h"
#include "i18n/LanguagePasses.h"
#include "platform/gdi/Colors.h"
#include "platform/widgets/Bevel.h"
#include "platform/widgets/ColorBox.h"
#include "platform/widgets/ComboBoxEx.h"

#include <QDialog>
#include <QLabel>
#include <functional>
#include <string>
#include <vector>

namespace dialogs {

constexpr const char* SettingsFileName = "ORV_Velmar.INI";
constexpr const char* SettingsSection = "USER";

// The restart notice of the reset, one message in four languages.
extern const char* const RestartNotice;
extern const char* const ExitCaption;

// The parameters dialog: the board colour, the tile number colour and the language, stored in
// the settings file when it closes. Its hidden labels carry the current language's message
// texts and the time used.
class TControllPanel : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 178;
    static constexpr int ClientHeight = 248;

    explicit TControllPanel(QWidget* parent = nullptr);

    controls::TXPPanel* XPPanel1;
    controls::TXPGroupBox* XPGroupBox1; // around the board colour
    platform::TColorBox* ColorBox1;
    controls::TXPGroupBox* XPGroupBox3; // around the tile number colour
    platform::TColorBox* ColorBox3;
    controls::TXPGroupBox* LanguageBox;
    platform::TComboBoxEx* ComboBox1; // the four languages, captioned by their section names
    controls::TXPButton* Buttondefault;
    platform::TBevel* Bevel1;
    controls::TXPButton* XPButton1;
    QLabel* Label1;    // the win text
    QLabel* Label2;    // the loss text
    QLabel* Label3;    // the close question
    QLabel* LabelTime; // the time-used text
    QLabel* ZATTIME;   // the words for the time used

    // The board colour and the colour of the tile numbers chosen here.
    platform::TColor BoardColor() const { return ColorBox1->Selected(); }
    platform::TColor TileTextColor() const { return ColorBox3->Selected(); }

    // The stored language choice, 0 to 3; anything else means English.
    static int StoredLanguage();

    // Puts this dialog's share of a language pass on its controls.
    void ApplyLanguage(const i18n::LanguageTexts& texts);
    // Where each caption of that share goes.
    std::vector<i18n::CaptionSetter> CaptionSetters();

    // Handlers, named as the design names them.
    void ColorBox1Click();
    void ComboBox1Change();
    void ButtondefaultClick();
    void XPButton1Click();

    // Hands the main window its share of a change pass, and the board colour picked here.
    std::function<void(const i18n::LanguageTexts&)> OnLanguageChanged;
    std::function<void(platform::TColor)> OnBoardColorChanged;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void createChoosers();
    void createLabels();
    void FormCreate();
    void FormClose();
};

// The text of a label, in UTF-8.
std::string TextOf(const QLabel* label);
void SetText(QLabel* label, const std::string& text);

} // namespace dialogs
