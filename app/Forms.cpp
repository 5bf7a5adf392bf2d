// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Forms.h"

namespace app {

TForm1* Form1 = nullptr;
dialogs::TAboutBox* AboutBox = nullptr;
dialogs::TControllPanel* ControllPanel = nullptr;
dialogs::TVolimesDialog* VolimesDialog = nullptr;

} // namespace app
