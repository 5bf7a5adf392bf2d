// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QAccessibleInterface>
#include <QObject>

namespace platform {

// The interface of a part of a widget with no widget of its own (a status panel, a grid
// cell): it has no children and is reached through the widget's interface.
class WidgetPartAccessible : public QAccessibleInterface {
public:
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override {
        QObject* widget = owner();
        return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

protected:
    // The widget the part belongs to, null once it is gone.
    virtual QObject* owner() const = 0;
};

// The part of a widget under a screen point, for the widget's own childAt: its children are
// its parts.
inline QAccessibleInterface* PartAt(const QAccessibleInterface& widget, int x, int y) {
    for (int i = 0; i < widget.childCount(); ++i)
        if (QAccessibleInterface* part = widget.child(i); part && part->rect().contains(x, y))
            return part;
    return nullptr;
}

} // namespace platform
