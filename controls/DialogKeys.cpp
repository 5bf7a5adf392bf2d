// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/DialogKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

namespace controls {
namespace {

template <class Offer> bool broadcast(QWidget* parent, const Offer& offer) {
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow())
            continue;
        if (auto* target = dynamic_cast<TDialogKeyTarget*>(widget)) {
            if (offer(*target))
                return true;
            // A target that is a container offers the key to its children itself.
            continue;
        }
        if (broadcast(widget, offer))
            return true;
    }
    return false;
}

bool isEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

class DialogKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        // Only the first delivery counts, not its propagation to the parents.
        const QWidget* focus = QApplication::focusWidget();
        if (focus ? widget != focus : !widget->isWindow())
            return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        QWidget* form = widget->window();
        if (isEnter(key))
            return BroadcastDialogKey(form, VK_RETURN);
        const QString text = key.text();
        if (text.size() != 1 || !text[0].isPrint())
            return false;
        const bool alt = key.modifiers().testFlag(Qt::AltModifier);
        if (!alt && !dynamic_cast<TDialogKeyTarget*>(widget))
            return false;
        return BroadcastDialogChar(form, text[0]);
    }
};

} // namespace

bool BroadcastDialogKey(QWidget* form, int key) {
    if (!form)
        return false;
    return broadcast(form, [key](TDialogKeyTarget& t) { return t.CMDialogKey(key); });
}

bool BroadcastDialogChar(QWidget* form, QChar c) {
    if (!form)
        return false;
    return broadcast(form, [c](TDialogKeyTarget& t) { return t.CMDialogChar(c); });
}

bool IsAccel(QChar c, const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        ++i;
        if (caption[i] != u'&')
            return caption[i].toUpper() == c.toUpper();
    }
    return false;
}

void InstallDialogKeys() {
    static QPointer<DialogKeyFilter> filter;
    if (filter || !qApp)
        return;
    filter = new DialogKeyFilter(qApp);
    qApp->installEventFilter(filter);
}

} // namespace controls
