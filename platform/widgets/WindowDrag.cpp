// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/WindowDrag.h"

#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// Moves the window with the mouse until the button is released; removes itself then.
class ManualDrag : public QObject {
public:
    ManualDrag(QWidget* control, QPoint grab) : QObject(control), control_(control), grab_(grab) {
        control->installEventFilter(this);
        control->grabMouse();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            const auto* move = static_cast<QMouseEvent*>(event);
            control_->window()->move(move->globalPosition().toPoint() - grab_);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            control_->releaseMouse();
            control_->removeEventFilter(this);
            deleteLater();
            return true;
        }
        return false;
    }

private:
    QWidget* control_;
    QPoint grab_;
};

} // namespace

void BeginWindowDrag(QWidget* control) {
    QWidget* window = control->window();
    if (window->windowHandle() && window->windowHandle()->startSystemMove())
        return;
    // One drag at a time: a second button pressed during it must not stack a second one.
    static QPointer<ManualDrag> current;
    if (!current)
        current = new ManualDrag(control, QCursor::pos() - window->pos());
}

} // namespace platform
