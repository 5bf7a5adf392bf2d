// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The events the game tells a screen reader, watched while one of these lives.

#include "platform/widgets/AccessibleEvents.h"

#include <QAccessible>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <vector>

class AccessibleEvents {
public:
    struct Entry {
        QObject* Object;
        QAccessible::Event Type;
        int Child;
        QString Name; // what the object was called when the event came
    };

    AccessibleEvents() {
        platform::SetAccessibleEventWatcher([entries = entries_](const QAccessibleEvent& event) {
            QAccessibleInterface* about = event.accessibleInterface();
            entries->push_back({event.object(), event.type(), event.child(),
                                about ? about->text(QAccessible::Name) : QString()});
        });
    }
    ~AccessibleEvents() { platform::SetAccessibleEventWatcher({}); }
    AccessibleEvents(const AccessibleEvents&) = delete;
    AccessibleEvents& operator=(const AccessibleEvents&) = delete;

    // How often `type` came for `object` (and its child number `child`, -1 for itself).
    int Count(QObject* object, QAccessible::Event type, int child = -1) const {
        return static_cast<int>(
            std::count_if(entries_->begin(), entries_->end(), [&](const Entry& e) {
                return e.Object == object && e.Type == type && e.Child == child;
            }));
    }

    // The names of the objects `type` came for, in order.
    QStringList Names(QAccessible::Event type) const {
        QStringList names;
        for (const Entry& e : *entries_)
            if (e.Type == type)
                names << e.Name;
        return names;
    }

private:
    std::shared_ptr<std::vector<Entry>> entries_ = std::make_shared<std::vector<Entry>>();
};
