// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAccessibleInterface;
class QObject;

namespace platform {

// The platform's own widgets for a screen reader: the status bar, whose panels read as static
// texts and whose own name is all their texts in a row, and the track bar, a slider with its
// position as value. Null for any other object, so a factory can hand every object to it.
QAccessibleInterface* AccessibleWidgetFactory(QObject* object);

// Tells assistive tools that panel `index` of `bar` reads differently now.
void AnnouncePanelText(QObject* bar, int index);

} // namespace platform
