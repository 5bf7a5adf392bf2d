// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

class QWidget;

namespace platform {

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

// Opens a file with its default action. Desktops have no viewer for the game's help
// document (".hlp"), so it opens in the program's own help viewer, on the page of the main
// window's language (its QWidget::locale(), see HelpPageFor); anything else goes to the
// desktop's default application. Failures are silent, as the classic call's result is not
// looked at. `parameters` and `directory` have no use here and are ignored.
void ShellExecute(const std::string& file, const std::string& parameters,
                  const std::string& directory, int showCommand);

// The help viewer window, once opened; null before.
QWidget* HelpViewerWindow();

} // namespace platform
