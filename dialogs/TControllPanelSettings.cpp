// SPDX-License-Identifier: GPL-3.0-or-later
// The parameters dialog's side of the settings file: reading the colours at creation, storing
// the three choices at every close, and the reset to the factory values.
#include "dialogs/TControllPanel.h"

#include "platform/Exception.h"
#include "platform/files/IniFile.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/widgets/Cursors.h"

#include <optional>

namespace dialogs {

void TControllPanel::FormCreate() {
    platform::SetScreenCursor(44, platform::LoadCursor("ORV_44"));
    platform::SetScreenCursor(77, platform::LoadCursor("ORV_77"));
    const platform::TIniFile ini(SettingsFileName);
    ColorBox1->SetSelected(ini.ReadInteger(SettingsSection, "Selected", ColorBox1->Selected()));
    ColorBox3->SetSelected(ini.ReadInteger(SettingsSection, "Selected3", ColorBox3->Selected()));
    ColorBox1->setCursor(platform::ScreenCursor(44));
    ColorBox3->setCursor(platform::ScreenCursor(44));
    for (QWidget* control :
         {static_cast<QWidget*>(XPPanel1), static_cast<QWidget*>(XPGroupBox1),
          static_cast<QWidget*>(XPGroupBox3), static_cast<QWidget*>(LanguageBox)})
        control->setCursor(platform::ScreenCursor(77));
}

void TControllPanel::FormClose() {
    try {
        platform::TIniFile ini(SettingsFileName);
        ini.WriteInteger(SettingsSection, "Select", ComboBox1->ItemIndex());
        ini.WriteInteger(SettingsSection, "Selected", ColorBox1->Selected());
        ini.WriteInteger(SettingsSection, "Selected3", ColorBox3->Selected());
    } catch (const platform::Exception& error) {
        // A preference that cannot be stored must not end the game in progress: the player
        // is told once and the choices stay in effect for this run.
        platform::Application().ShowException(error);
    }
}

void TControllPanel::ButtondefaultClick() {
    if (OnBoardColorChanged)
        OnBoardColorChanged(platform::clGreen);
    ColorBox1->SetSelected(platform::clGreen);
    ComboBox1->SetItemIndex(1);
    std::optional<platform::Exception> failure;
    try {
        platform::TIniFile ini(SettingsFileName);
        ini.WriteString(SettingsSection, "Select", "1");
        ini.WriteString(SettingsSection, "Selected", "32768");
        ini.WriteString(SettingsSection, "Selected3", "65535");
    } catch (const platform::Exception& error) {
        failure = error;
    }
    platform::ShowMessage(RestartNotice);
    if (failure)
        platform::Application().ShowException(*failure);
    // Ends every message loop, this dialog's included, without closing any window.
    platform::Application().Terminate();
}

} // namespace dialogs
