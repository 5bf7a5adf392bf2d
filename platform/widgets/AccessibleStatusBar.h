// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAccessibleInterface;
class QObject;

namespace platform {

// The status bar for a screen reader: a status bar whose panels are read as static texts, and
// whose own name is all their texts in a row. Null for any other object, so an accessibility
// factory can hand every object to it.
QAccessibleInterface* AccessibleStatusBarFactory(QObject* object);

// Tells assistive tools that panel `index` of `bar` reads differently now.
void AnnouncePanelText(QObject* bar, int index);

} // namespace platform
