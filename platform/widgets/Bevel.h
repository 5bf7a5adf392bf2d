// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/CanvasControl.h"

#include <QWidget>

namespace platform {

// The classic bevel shaped as a lowered bottom line: a shadow line over a highlight line
// along its bottom edge.
class TBevel : public TCanvasControl<QWidget> {
    Q_OBJECT
public:
    explicit TBevel(QWidget* parent = nullptr);
    void PaintTo(Canvas& canvas) const override;
};

} // namespace platform
