// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/AccessibleWindows.h"

#include "platform/ui/Application.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QGuiApplication>

namespace platform {

namespace {

class ApplicationAccessible : public QAccessibleApplication {
public:
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !Application().Title().empty())
            return QString::fromStdString(Application().Title());
        return QAccessibleApplication::text(t);
    }
};

// A plain widget reads as a frame while it is a window of its own. Asked once per widget,
// perhaps before it has a parent, so the role follows the widget rather than its first state.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* widget) : QAccessibleWidget(widget) {}

    QAccessible::Role role() const override {
        return widget()->isWindow() ? QAccessible::Window : QAccessible::Client;
    }
};

// QWidget itself or the game's own classes made from it; a class of Qt's (a label, a button,
// a dialog, a menu bar) keeps Qt's own reading.
bool isPlainWidget(const QObject* object) {
    for (const QMetaObject* meta = object->metaObject(); meta; meta = meta->superClass()) {
        if (meta == &QWidget::staticMetaObject)
            return true;
        if (meta->className()[0] == 'Q')
            return false;
    }
    return false;
}

} // namespace

QAccessibleInterface* AccessibleWindowFactory(QObject* object) {
    if (object && object == QGuiApplication::instance())
        return new ApplicationAccessible;
    if (!object || !object->isWidgetType())
        return nullptr;
    if (isPlainWidget(object))
        return new WindowAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace platform
