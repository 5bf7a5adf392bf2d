// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace platform {

// Runs a function once, right after a window's first paint has gone out to the screen. It
// belongs to the window: a window closed before it ever painted runs nothing.
class FirstPaint : public QObject {
public:
    static void Then(QWidget& window, std::function<void()> then);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FirstPaint(QWidget& window, std::function<void()> then);

    std::function<void()> then_;
    bool painted_ = false;
};

} // namespace platform
