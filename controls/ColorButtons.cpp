// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ColorButtons.h"

#include "controls/PropertyChange.h"
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace controls {

using platform::TRect;

TColorButton::TColorButton(QWidget* parent) : TCanvasControl(parent) {
    setAutoDefault(false);
    resize(width(), 21);
    // The framework's focus-changed notice: every button of the window re-evaluates whether
    // it acts as the default button.
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { focusMoved(now); });
}

void TColorButton::SetButtonColor(platform::TColor color) {
    if (ChangeValue(FButtonColor, color))
        update();
}

void TColorButton::SetFrame3D(bool value) {
    FFrame3D = value;
}

void TColorButton::SetFont(const platform::TFont& font) {
    FFont = font;
    update();
}

void TColorButton::SetDrawnDown(bool value) {
    if (ChangeValue(FDrawnDown, value))
        update();
}

void TColorButton::SetHinted(bool value) {
    if (FHinted == value)
        return;
    FHinted = value;
    update();
}

void TColorButton::focusMoved(QWidget* now) {
    if (!now || now->window() != window())
        return;
    const bool otherButtonFocused = now != this && qobject_cast<QPushButton*>(now) != nullptr;
    SetButtonStyle(now == this || (isDefault() && !otherButtonFocused));
}

void TColorButton::SetButtonStyle(bool isDefault) {
    FDefaultFrame = isDefault;
}

unsigned TColorButton::ItemState() const {
    unsigned state = 0;
    if (isDown() || FDrawnDown)
        state |= platform::ODS_SELECTED;
    if (!isEnabled())
        state |= platform::ODS_DISABLED;
    if (hasFocus())
        state |= platform::ODS_FOCUS;
    return state;
}

void TColorButton::DrawItem(platform::Canvas& canvas, unsigned itemState) const {
    using namespace platform;
    const TRect client = Rect(0, 0, width(), height());
    TRect r = client;
    const bool pressed = (itemState & platform::ODS_SELECTED) != 0;
    const bool focused = (itemState & platform::ODS_FOCUS) != 0;
    unsigned flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (pressed)
        flags |= DFCS_PUSHED;
    if (itemState & platform::ODS_DISABLED)
        flags |= DFCS_INACTIVE;

    canvas.Pen.Width = 1;
    canvas.Brush.Style = bsClear;
    if (FDefaultFrame || focused) {
        canvas.Pen.Color = clWindowFrame;
        canvas.Rectangle(r);
        InflateRect(r, -1, -1);
    }
    if (pressed) {
        canvas.Pen.Color = clBtnShadow;
        canvas.Rectangle(r);
        InflateRect(r, -1, -1);
        if (FFrame3D)
            canvas.DrawFrameControl(r, DFC_BUTTON, flags);
    } else {
        canvas.DrawFrameControl(r, DFC_BUTTON, flags);
    }
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = FButtonColor;
    canvas.FillRect(r);

    InflateRect(r, 1, 1);
    if (FDefaultFrame) {
        r = client;
        InflateRect(r, -1, -1);
    }
    canvas.Font = FFont;
    if (FHinted)
        canvas.Font.Color = clHighlight;
    if (pressed)
        r = Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
    drawCaption(canvas, r, !isEnabled());
    if (FDefaultFrame && focused) {
        TRect focus = client;
        InflateRect(focus, -4, -4);
        canvas.DrawFocusRect(focus);
    }
}

void TColorButton::drawCaption(platform::Canvas& canvas, const TRect& bounds, bool disabled) const {
    using namespace platform;
    const std::string caption = text().toStdString();
    TRect textRect = Rect(0, 0, bounds.Width(), bounds.Height());
    canvas.DrawText(caption, textRect, DT_CALCRECT);
    const int x = (bounds.Width() - textRect.Width() + 1) / 2;
    const int y = (bounds.Height() - textRect.Height() + 1) / 2;
    textRect = Rect(textRect.Left + bounds.Left + x, textRect.Top + bounds.Top + y,
                    textRect.Right + bounds.Left + x, textRect.Bottom + bounds.Top + y);
    canvas.Brush.Style = bsClear;
    if (!disabled) {
        canvas.DrawText(caption, textRect, DT_CENTER | DT_VCENTER);
        return;
    }
    // Engraved: a highlight copy one pixel down and right, the shadow copy on top.
    const TRect lower =
        Rect(textRect.Left + 1, textRect.Top + 1, textRect.Right + 1, textRect.Bottom + 1);
    canvas.Font.Color = clBtnHighlight;
    canvas.DrawText(caption, lower, DT_CENTER | DT_VCENTER);
    canvas.Font.Color = clBtnShadow;
    canvas.DrawText(caption, textRect, DT_CENTER | DT_VCENTER);
}

void TColorButton::PaintTo(platform::Canvas& canvas) const {
    DrawItem(canvas, ItemState());
}

void TColorButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QPushButton::mouseDoubleClickEvent(event);
        return;
    }
    // The second click of a double click presses the button again, so it clicks twice.
    QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->globalPosition(),
                      event->button(), event->buttons(), event->modifiers());
    mousePressEvent(&press);
}

void TColorButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QPushButton::keyPressEvent(event);
    // A focused button keeps its keys: they never reach the window behind it.
    event->accept();
}

} // namespace controls
