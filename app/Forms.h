// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's windows and the one way to create them.

#include <memory>

namespace app {
class TForm1;
}
namespace dialogs {
class TAboutBox;
class TControllPanel;
class TVolimesDialog;
} // namespace dialogs

namespace app {

// The windows that exist for the whole run, for the code that reaches them by name. They
// point at nothing before CreateForms and again once the main window has gone.
extern TForm1* Form1;
extern dialogs::TAboutBox* AboutBox;
extern dialogs::TControllPanel* ControllPanel;
extern dialogs::TVolimesDialog* VolimesDialog;

// Creates the windows in the program's order: the main window, which becomes the
// application's main form and runs its FormCreate, then the about box, the parameters dialog
// and the volume dialog. The dialogs are the main window's children and go with it; the caller owns
// the main window alone.
std::unique_ptr<TForm1> CreateForms();

// Points every window global at nothing; done when the main window goes, and again when the
// program's loop ends, whatever the windows' state.
void ClearForms();

} // namespace app
