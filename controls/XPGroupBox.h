// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/XPBordered.h"

namespace controls {

// A container with a rounded outline whose caption stands on the top edge, its opaque
// background interrupting the line. A property assignment repaints only when it changes.
class TXPGroupBox : public TXPBorderedControl {
    Q_OBJECT
public:
    explicit TXPGroupBox(QWidget* parent = nullptr);
    void PaintTo(platform::Canvas& canvas) const override;

protected:
    bool RepaintsOnlyOnChange() const override { return true; }
};

} // namespace controls
