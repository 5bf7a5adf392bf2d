// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The events the game tells a screen reader, watched while one of these lives.

#include "platform/widgets/AccessibleEvents.h"

#include <QAccessible>
#include <algorithm>
#include <memory>
#include <vector>

class AccessibleEvents {
public:
    struct Entry {
        QObject* Object;
        QAccessible::Event Type;
        int Child;
    };

    AccessibleEvents() {
        platform::SetAccessibleEventWatcher([entries = entries_](const QAccessibleEvent& event) {
            entries->push_back({event.object(), event.type(), event.child()});
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

private:
    std::shared_ptr<std::vector<Entry>> entries_ = std::make_shared<std::vector<Entry>>();
};
