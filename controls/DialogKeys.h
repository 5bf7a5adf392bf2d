// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog keys of a form: Enter and accelerator characters offered to the custom controls
// before the focused control sees them, as the classic component library does.
#pragma once

#include <QChar>
#include <QString>
#include <QWidget>

namespace controls {

constexpr int VK_RETURN = 0x0D;

// A control that takes part in the form's dialog keys. Each answers whether it handled the
// key; a container passes the key on to its children when it does not take it itself.
class TDialogKeyTarget {
public:
    virtual ~TDialogKeyTarget() = default;
    virtual bool CMDialogKey(int key) { return (void)key, false; }
    virtual bool CMDialogChar(QChar c) { return (void)c, false; }
};

// Offers the key to every target in `form`, parents before their children, until one takes it.
bool BroadcastDialogKey(QWidget* form, int key);
bool BroadcastDialogChar(QWidget* form, QChar c);

// True when `caption` marks `c` as its accelerator ("&" before it; "&&" is a plain "&").
bool IsAccel(QChar c, const QString& caption);

// Installs, once per application, the filter that offers Enter and accelerators to the
// custom controls of the window that receives them.
void InstallDialogKeys();

} // namespace controls
