// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Forms.h"

#include "app/TForm1.h"
#include "dialogs/TAboutBox.h"
#include "dialogs/TControllPanel.h"
#include "dialogs/TVolimesDialog.h"
#include "platform/ui/Application.h"

namespace app {

TForm1* Form1 = nullptr;
dialogs::TAboutBox* AboutBox = nullptr;
dialogs::TControllPanel* ControllPanel = nullptr;
dialogs::TVolimesDialog* VolimesDialog = nullptr;

std::unique_ptr<TForm1> CreateForms() {
    auto form = std::make_unique<TForm1>();
    Form1 = form.get();
    platform::Application().SetMainForm(form.get());
    AboutBox = new dialogs::TAboutBox(form.get());
    ControllPanel = new dialogs::TControllPanel(form.get());
    VolimesDialog = new dialogs::TVolimesDialog(form.get());
    // A widget announces its end before it deletes its children, so no reference is left
    // pointing at a window while it is taken down.
    QObject::connect(form.get(), &QObject::destroyed, [] { ClearForms(); });
    return form;
}

void ClearForms() {
    VolimesDialog = nullptr;
    ControllPanel = nullptr;
    AboutBox = nullptr;
    Form1 = nullptr;
}

} // namespace app
