// SPDX-License-Identifier: GPL-3.0-or-later
// A custom control's Color, which follows its parent's colour until it is set. The colour
// travels as the widget's window palette role, which Qt hands down to children that have not
// set their own.
#pragma once

#include "platform/gdi/Colors.h"

#include <QPalette>
#include <QWidget>

namespace controls {

class TControlColor {
public:
    platform::TColor Get(const QWidget& widget) const {
        if (!FParentColor)
            return FColor;
        return platform::FromQRgb(widget.palette().color(QPalette::Window).rgb());
    }

    // Returns whether the colour changed.
    bool Set(QWidget& widget, platform::TColor color) {
        const bool changed = FParentColor || FColor != color;
        FColor = color;
        FParentColor = false;
        QPalette palette = widget.palette();
        palette.setColor(QPalette::Window, platform::ToQColor(color));
        widget.setPalette(palette);
        return changed;
    }

    bool FollowsParent() const { return FParentColor; }

private:
    platform::TColor FColor = platform::clWindow;
    bool FParentColor = true;
};

} // namespace controls
