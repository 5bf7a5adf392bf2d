// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAccessibleInterface;
class QObject;

namespace platform {

// The application and its plain windows for a screen reader: the application is named by its
// title (the id stays the desktop's), and a plain widget that is a window (the main window,
// the splash, the help viewer) reads as a frame with its title, not as a filler. Null for any
// other object.
QAccessibleInterface* AccessibleWindowFactory(QObject* object);

} // namespace platform
