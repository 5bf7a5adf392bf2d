// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/AccessibleEvents.h"

#include <QAccessible>

namespace platform {

namespace {

AccessibleEventWatcher& watcher() {
    static AccessibleEventWatcher installed;
    return installed;
}

} // namespace

bool AccessibilityListening() {
    return watcher() || QAccessible::isActive();
}

void SendAccessibleEvent(QAccessibleEvent& event) {
    if (watcher())
        watcher()(event);
    else
        QAccessible::updateAccessibility(&event);
}

void SetAccessibleEventWatcher(AccessibleEventWatcher installed) {
    watcher() = std::move(installed);
}

} // namespace platform
