// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Canvas.h"
#include "platform/gdi/CanvasControl.h"
#include "platform/widgets/Panel.h"

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace platform {

struct TStatusPanel {
    std::string Text;
    int Width = 50;
    TAlignment Alignment = taLeftJustify;
};

// The classic status bar: sunken panels of fixed widths, left to right, 19 pixels high.
class TStatusBar : public TCanvasControl<QWidget> {
    Q_OBJECT
public:
    static constexpr int DefaultHeight = 19;

    explicit TStatusBar(QWidget* parent = nullptr);

    void SetPanels(std::vector<TStatusPanel> panels);
    int PanelCount() const { return static_cast<int>(panels_.size()); }
    const std::string& PanelText(int index) const;
    void SetPanelText(int index, const std::string& text);
    // Where panel `index` stands, bevel included.
    TRect PanelRect(int index) const;

    std::function<void()> OnMouseDown;

    void PaintTo(Canvas& canvas) const override;
    QSize sizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent*) override;

private:
    std::vector<TStatusPanel> panels_;
};

} // namespace platform
