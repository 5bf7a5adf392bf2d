// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAccessibleInterface;
class QObject;

namespace dialogs {

// The records grid for a screen reader: a table of four columns with their headers and one
// row a level; a marked cell (a new record) reads as selected and says so in its name. Null
// for any other object, so a factory can hand every object to it.
QAccessibleInterface* AccessibleRecordsFactory(QObject* object);

} // namespace dialogs
