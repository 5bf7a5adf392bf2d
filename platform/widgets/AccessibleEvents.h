// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QAccessibleEvent;

namespace platform {

// Whether a screen reader (or a test watching) hears what the game tells it; without one the
// game spares itself the work.
bool AccessibilityListening();

// Tells listening tools of `event`; a watching test gets it instead. Qt drops events where no
// tool listens (offscreen), so the watcher is how tests see what a reader would hear.
void SendAccessibleEvent(QAccessibleEvent& event);

using AccessibleEventWatcher = std::function<void(const QAccessibleEvent& event)>;
// Installs the watcher; an empty one gives the events back to Qt.
void SetAccessibleEventWatcher(AccessibleEventWatcher watcher);

} // namespace platform
