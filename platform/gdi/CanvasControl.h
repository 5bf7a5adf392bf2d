// SPDX-License-Identifier: GPL-3.0-or-later
// The base of every widget that paints itself through a Canvas: a paint is a function of the
// widget's state and a canvas, so a test can render it into an image.
#pragma once

#include "platform/gdi/Canvas.h"

#include <QPainter>
#include <QWidget>

namespace platform {

template <class Base> class TCanvasControl : public Base {
public:
    using Base::Base;

    virtual void PaintTo(Canvas& canvas) const = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        Canvas canvas(painter);
        PaintTo(canvas);
    }
};

} // namespace platform
