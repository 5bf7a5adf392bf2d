// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's share of a language pass: menus, caption, title, status bar labels.
#include "app/TForm1.h"

#include "app/rules/GameState.h"
#include "platform/ui/Application.h"

namespace app {

void TForm1::ApplyLanguage(const i18n::LanguageTexts& texts) {
    using T = i18n::CaptionTarget;
    rules::MarqueeText = texts.MarqueeText;
    for (const i18n::Caption& caption : texts.Captions) {
        const QString text = QString::fromStdString(caption.Text);
        QAction* item = nullptr;
        switch (caption.Target) {
        case T::Files:
            Files->setTitle(text);
            break;
        case T::Music:
            Music->setTitle(text);
            break;
        case T::Parameters:
            Parameters->setTitle(text);
            break;
        case T::Helps:
            Helps->setTitle(text);
            break;
        case T::Play:
            item = Play;
            break;
        case T::Play1:
            item = Play1;
            break;
        case T::Play2:
            item = Play2;
            break;
        case T::Play3:
            item = Play3;
            break;
        case T::Minimisets:
            item = Minimisets;
            break;
        case T::ExitGame:
            item = ExitGame;
            break;
        case T::PlayMusic1:
            item = PlayMusic1;
            break;
        case T::PlayMusic2:
            item = PlayMusic2;
            break;
        case T::PlayMusic3:
            item = PlayMusic3;
            break;
        case T::Stoped:
            item = Stoped;
            break;
        case T::ParametersGame:
            item = ParametersGame;
            break;
        case T::Volime1:
            item = Volime1;
            break;
        case T::VisibeStatBar:
            item = VisibeStatBar;
            break;
        case T::HelpGame:
            item = HelpGame;
            break;
        case T::HelpOnHelp:
            item = HelpOnHelp;
            break;
        case T::ApplicationTitle:
            platform::Application().SetTitle(caption.Text);
            break;
        case T::MainCaption:
            setWindowTitle(text);
            break;
        case T::StatusPanel0:
            StatusBar1->SetPanelText(0, caption.Text);
            break;
        case T::StatusPanel2:
            StatusBar1->SetPanelText(2, caption.Text);
            break;
        default: // the parameters dialog's
            break;
        }
        if (item)
            item->setText(text);
    }
}

} // namespace app
