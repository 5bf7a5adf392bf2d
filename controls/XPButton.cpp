// SPDX-License-Identifier: GPL-3.0-or-later
// The gradient button's state and input rules; its painting is in XPButtonPaint.cpp.
#include "controls/XPButton.h"

#include "controls/PropertyChange.h"
#include "platform/ui/Keyboard.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopeGuard>

namespace controls {

TXPButton::TXPButton(QWidget* parent) : TCanvasControl(parent) {
    resize(73, 25);
    // A hidden widget hears of its size only when shown; the bitmaps are needed before that.
    DoResize();
    setFocusPolicy(Qt::StrongFocus); // the tab stop
    setMouseTracking(false);
    InstallDialogKeys();
    // The framework's focus-changed notice reaches every control of the form.
    focusChanges_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            if ((now && now->window() == window()) || (old && old->window() == window()))
                DoFocusChanged();
        });
}

TXPButton::~TXPButton() {
    disconnect(focusChanges_);
}

void NotifyFocusChanged(QWidget* form) {
    if (!form)
        return;
    for (TXPButton* button : form->findChildren<TXPButton*>())
        button->DoFocusChanged();
}

void TXPButton::SetDefault(bool value) {
    if (ChangeValue(FDefault, value))
        NotifyFocusChanged(window());
}

void TXPButton::SetGlyph(const QImage& picture) {
    if (picture.isNull()) {
        FGlyph.reset();
    } else {
        FGlyph = std::make_unique<platform::TBitmap>(picture.width(), picture.height());
        platform::Canvas& canvas = FGlyph->GetCanvas();
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                canvas.SetPixel(x, y, platform::FromQRgb(picture.pixel(x, y)));
            }
        FGlyph->Transparent = true;
    }
    update();
}

void TXPButton::SetShowFocusRect(bool value) {
    if (ChangeValue(FShowFocusRect, value))
        update();
}

void TXPButton::SetFocusRectOffset(int value) {
    if (ChangeValue(FFocusRectOffset, value))
        update();
}

void TXPButton::SetMouseBorderWidth(int value) {
    if (ChangeValue(FMouseBorderWidth, value))
        update();
}

void TXPButton::SetOffsetOnClick(int value) {
    if (ChangeValue(FOffsetOnClick, value))
        update();
}

void TXPButton::SetColor(platform::TColor color) {
    if (FColor.Set(*this, color))
        update();
}

void TXPButton::SetCaption(const std::string& caption) {
    if (ChangeValue(FCaption, caption))
        DoTextChanged();
}

void TXPButton::SetFont(const platform::TFont& font) {
    if (ChangeValue(FFont, font))
        update();
}

bool TXPButton::IsHighlighted(bool IgnoreDefault) const {
    bool h = FDown ? !FHot : (FHot || FFocused);
    if (!IgnoreDefault)
        h = h || (FDefault && !FXPButtonActive);
    return h;
}

void TXPButton::Click() {
    auto* form = qobject_cast<QDialog*>(window());
    if (form)
        form->setResult(FModalResult);
    if (OnClick)
        OnClick(this);
    // A modal result ends the form after the handler, through its close handler; the
    // framework's own close would report a cancel instead.
    if (form && FModalResult != 0 && form->isVisible() && form->close())
        form->setResult(FModalResult);
}

void TXPButton::repaintUnlessLocked() {
    if (!FUpdateLock)
        update();
}

bool TXPButton::canFocus() const {
    return isEnabled() && isVisible();
}

void TXPButton::DoEnabledChanged() {
    repaintUnlessLocked();
}

void TXPButton::DoFocusChanged() {
    FFocused = hasFocus();
    if (!FFocused)
        FDown = false;
    FXPButtonActive = qobject_cast<TXPButton*>(window()->focusWidget()) != nullptr &&
                      window()->focusWidget()->window() == window();
    repaintUnlessLocked();
}

void TXPButton::DoMouseDown() {
    setFocus(Qt::MouseFocusReason);
    FDown = true;
    repaintUnlessLocked();
}

void TXPButton::DoMouseUp() {
    if (!FDown)
        return;
    const bool clicks = FHot && FFocused;
    FDown = false;
    repaintUnlessLocked();
    if (clicks)
        Click();
}

void TXPButton::DoMouseEnter() {
    FHot = true;
    repaintUnlessLocked();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TXPButton::DoMouseLeave() {
    FHot = false;
    repaintUnlessLocked();
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TXPButton::DoParentColorChanged() {
    update();
}

void TXPButton::DoTextChanged() {
    repaintUnlessLocked();
}

void TXPButton::trackHot(bool over) {
    if (over == FHot)
        return;
    if (over)
        DoMouseEnter();
    else
        DoMouseLeave();
}

void TXPButton::mousePressEvent(QMouseEvent* event) {
    trackHot(rect().contains(event->position().toPoint()));
    if (event->button() == Qt::LeftButton)
        DoMouseDown();
}

void TXPButton::mouseMoveEvent(QMouseEvent* event) {
    DoMouseMove();
    // While a button is held the mouse stays with this control; the classic library still
    // tells it when the pointer crosses its edge.
    if (event->buttons() != Qt::NoButton)
        trackHot(rect().contains(event->position().toPoint()));
}

void TXPButton::mouseReleaseEvent(QMouseEvent* event) {
    trackHot(rect().contains(event->position().toPoint()));
    DoMouseUp();
}

void TXPButton::enterEvent(QEnterEvent*) {
    trackHot(true);
}

void TXPButton::leaveEvent(QEvent*) {
    trackHot(false);
}

void TXPButton::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    if (OnKeyDown)
        OnKeyDown(this, key, event->modifiers());
    const Qt::KeyboardModifiers shifts = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (event->key() != Qt::Key_Space || (event->modifiers() & shifts)) {
        event->ignore();
        return;
    }
    // One repaint for both steps, also when a handler throws.
    FUpdateLock = true;
    const auto unlock = qScopeGuard([this] {
        FUpdateLock = false;
        update();
    });
    DoMouseEnter();
    DoMouseDown();
}

void TXPButton::keyReleaseEvent(QKeyEvent* event) {
    // An auto-repeated key is still held; only the real release counts.
    if (event->isAutoRepeat() || !FDown) {
        event->ignore();
        return;
    }
    DoMouseUp();
    DoMouseLeave();
    int key = event->key();
    if (OnKeyUp)
        OnKeyUp(this, key, event->modifiers());
}

void TXPButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    DoFocusChanged();
}

void TXPButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    DoFocusChanged();
}

void TXPButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        DoEnabledChanged();
    else if (event->type() == QEvent::PaletteChange)
        DoParentColorChanged();
}

void TXPButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    DoResize();
}

bool TXPButton::CMDialogKey(int key) {
    if (key != VK_RETURN || !canFocus() || !(hasFocus() || (FDefault && !FXPButtonActive)))
        return false;
    Click();
    return true;
}

bool TXPButton::CMDialogChar(QChar c) {
    if (IsAccel(c, QString::fromStdString(FCaption)) && canFocus() &&
        (hasFocus() || platform::GetKeyState(platform::VK_MENU) < 0))
        Click();
    return false;
}

} // namespace controls
