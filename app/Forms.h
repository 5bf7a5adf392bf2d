// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's windows, created by the main program in this order and living until it ends.

namespace app {
class TForm1;
}
namespace dialogs {
class TAboutBox;
class TControllPanel;
class TVolimesDialog;
} // namespace dialogs

namespace app {

extern TForm1* Form1;
extern dialogs::TAboutBox* AboutBox;
extern dialogs::TControllPanel* ControllPanel;
extern dialogs::TVolimesDialog* VolimesDialog;

} // namespace app
