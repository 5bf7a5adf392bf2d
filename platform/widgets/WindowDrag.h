// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace platform {

// Lets the window of `control` be dragged from a mouse press on the control, as by its
// caption. The window manager moves it where it can; without one, the control follows the
// mouse itself until the button is released.
void BeginWindowDrag(QWidget* control);

} // namespace platform
