// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ColorButtons.h"

#include <QKeyEvent>

namespace controls {

TColorButton::TColorButton(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    applyLook();
}

void TColorButton::SetButtonColor(platform::TColor color) {
    if (buttonColor_ == color)
        return;
    buttonColor_ = color;
    applyLook();
}

void TColorButton::SetFont(const platform::TFont& font) {
    font_ = font;
    applyLook();
}

void TColorButton::applyLook() {
    QPalette p = palette();
    p.setColor(QPalette::Button, platform::ToQColor(buttonColor_));
    p.setColor(QPalette::ButtonText, platform::ToQColor(font_.Color));
    setPalette(p);
    setFont(platform::ToQFont(font_));
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
