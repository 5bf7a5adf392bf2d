// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Colors.h"
#include "platform/Fonts.h"

#include <QPushButton>

namespace controls {

// The coloured push button the board's tiles are made of.
class TColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit TColorButton(QWidget* parent = nullptr);

    platform::TColor ButtonColor() const { return buttonColor_; }
    void SetButtonColor(platform::TColor color);
    const platform::TFont& Font() const { return font_; }
    void SetFont(const platform::TFont& font);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyLook();

    platform::TColor buttonColor_ = platform::clBtnFace;
    platform::TFont font_;
};

} // namespace controls
