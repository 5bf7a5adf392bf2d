// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAccessibleInterface;
class QObject;

namespace controls {

// The custom controls for a screen reader, each named by its caption in the player's language:
// the flat and the bevelled push buttons (which a reader can press), the shadowed label, and
// the group box and panel with their titles. Null for any other object.
QAccessibleInterface* AccessibleControlFactory(QObject* object);

} // namespace controls
