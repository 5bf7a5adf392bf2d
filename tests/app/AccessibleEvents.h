// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The events a screen reader would get, recorded while one lives: offscreen Qt has no bridge
// to a reader and drops them otherwise.

#include <QAccessible>
#include <algorithm>
#include <vector>

class AccessibleEvents {
public:
    struct Entry {
        QObject* Object;
        QAccessible::Event Type;
        int Child;
    };

    AccessibleEvents() {
        entries().clear();
        QAccessible::setActive(true);
        previous_ = QAccessible::installUpdateHandler(
            [](QAccessibleEvent* event) {
                entries().push_back({event->object(), event->type(), event->child()});
            });
    }
    ~AccessibleEvents() {
        QAccessible::installUpdateHandler(previous_);
        QAccessible::setActive(false);
    }
    AccessibleEvents(const AccessibleEvents&) = delete;
    AccessibleEvents& operator=(const AccessibleEvents&) = delete;

    // How often `type` came for `object` (and its child number `child`, -1 for itself).
    int Count(QObject* object, QAccessible::Event type, int child = -1) const {
        return static_cast<int>(
            std::count_if(entries().begin(), entries().end(), [&](const Entry& e) {
                return e.Object == object && e.Type == type && e.Child == child;
            }));
    }
    const std::vector<Entry>& Entries() const { return entries(); }

private:
    static std::vector<Entry>& entries() {
        static std::vector<Entry> recorded;
        return recorded;
    }

    QAccessible::UpdateHandler previous_ = nullptr;
};
