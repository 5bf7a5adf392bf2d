// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Button3d.h"

#include "controls/PropertyChange.h"
#include "platform/ui/Keyboard.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace controls {

namespace {

bool altHeld() {
    return platform::GetKeyState(platform::VK_MENU) < 0;
}

} // namespace

TButton3d::TButton3d(QWidget* parent) : TCanvasControl(parent) {
    setFocusPolicy(Qt::StrongFocus);
    resize(89, 33);
}

void TButton3d::SetStyle(TButton3dStyle value) {
    if (ChangeValue(FStyle, value))
        update();
}

void TButton3d::SetCaption(const std::string& caption) {
    if (ChangeValue(FCaption, caption))
        update();
}

void TButton3d::SetFont(const platform::TFont& font) {
    if (ChangeValue(FFont, font))
        update();
}

void TButton3d::setDown(bool down) {
    FDown = down;
    update();
}

void TButton3d::Click() {
    setDown(false);
    if (OnClick)
        OnClick(this);
}

void TButton3d::PaintTo(platform::Canvas& canvas) const {
    const int w = width();
    const int h = height();
    canvas.Font = FFont;
    canvas.Brush.Color = Color();
    canvas.Brush.Style = platform::bsSolid;
    canvas.Pen.Style = platform::psSolid;
    canvas.FillRect(platform::Rect(0, 0, w, h));
    canvas.Brush.Color = platform::clBtnShadow;
    canvas.FrameRect(platform::Rect(0, 0, w, h));
    paintBevel(canvas, w, h);
    if (hasFocus()) {
        canvas.Pen.Color = platform::clBtnShadow;
        canvas.Pen.Style = platform::psInsideFrame;
        canvas.Brush.Style = platform::bsClear;
        canvas.Rectangle(3, 3, w - 3, h - 3);
        canvas.Pen.Style = platform::psSolid;
    }
    paintCaption(canvas, w, h);
}

void TButton3d::paintBevel(platform::Canvas& canvas, int w, int h) const {
    const platform::TColor light = FDown ? platform::clBtnText : platform::clBtnHighlight;
    const platform::TColor dark = FDown ? platform::clBtnHighlight : platform::clBtnText;
    canvas.Pen.Color = light;
    canvas.MoveTo(1, h - 1);
    canvas.LineTo(1, 1);
    canvas.LineTo(w - 2, 1);
    canvas.Pen.Color = dark;
    canvas.MoveTo(2, h - 1);
    canvas.LineTo(w - 1, h - 1);
    canvas.LineTo(w - 1, 1);
}

void TButton3d::paintCaption(platform::Canvas& canvas, int w, int h) const {
    canvas.Brush.Style = platform::bsClear;
    const int x = (w - canvas.TextWidth(FCaption)) / 2;
    const int y = (h - canvas.TextHeight(FCaption)) / 2;
    if (FStyle == bsRecessed) {
        canvas.Font.Color = FDown ? platform::clBtnHighlight : platform::clBtnShadow;
        canvas.TextOut(x - 1, y - 1, FCaption);
        canvas.Font.Color = FDown ? platform::clBtnShadow : platform::clBtnHighlight;
        canvas.TextOut(x + 1, y + 1, FCaption);
    } else {
        const int away = FDown ? 4 : 2;
        canvas.Font.Color = platform::clBtnShadow;
        canvas.TextOut(x + away, y + away, FCaption);
    }
    canvas.Font.Color = FFont.Color;
    canvas.TextOut(x, y, FCaption);
}

void TButton3d::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(this, event->button(), at.x(), at.y());
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        FLeftPressed = true;
        setDown(true);
    }
}

void TButton3d::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    if (left && FLeftPressed && rect().contains(at))
        Click();
    if (left)
        FLeftPressed = false;
    if (OnMouseUp)
        OnMouseUp(this, event->button(), at.x(), at.y());
    if (left)
        setDown(false);
}

void TButton3d::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        // A held key repeats its press; the button is already down then.
        if (!FDown && !altHeld())
            setDown(true);
        return;
    }
    int key = event->key();
    if (OnKeyDown)
        OnKeyDown(this, key, event->modifiers());
    if (key == 0)
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void TButton3d::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        // Qt pairs every repeated press with a release; only the real release clicks.
        if (!event->isAutoRepeat() && !altHeld()) {
            setDown(false);
            Click();
        }
        return;
    }
    int key = event->key();
    if (OnKeyUp)
        OnKeyUp(this, key, event->modifiers());
    if (key == 0)
        event->accept();
    else
        QWidget::keyReleaseEvent(event);
}

void TButton3d::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TButton3d::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

} // namespace controls
