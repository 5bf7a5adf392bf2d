// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/FirstPaint.h"

#include <QEvent>
#include <QWidget>

namespace platform {

FirstPaint::FirstPaint(QWidget& window, std::function<void()> then)
    : QObject(&window), then_(std::move(then)) {
    window.installEventFilter(this);
}

void FirstPaint::Then(QWidget& window, std::function<void()> then) {
    new FirstPaint(window, std::move(then));
}

bool FirstPaint::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        watched->removeEventFilter(this);
        // Queued: the window's paint goes to the screen before the function runs.
        QMetaObject::invokeMethod(
            this,
            [this] {
                auto then = std::move(then_);
                deleteLater();
                then();
            },
            Qt::QueuedConnection);
    }
    return false;
}

} // namespace platform
