// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/XPBordered.h"

namespace controls {

// A container with a flat background, a rounded outline and its caption centred inside.
// Every property assignment repaints it.
class TXPPanel : public TXPBorderedControl {
    Q_OBJECT
public:
    explicit TXPPanel(QWidget* parent = nullptr);
    void PaintTo(platform::Canvas& canvas) const override;

protected:
    bool RepaintsOnlyOnChange() const override { return false; }
};

} // namespace controls
