// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/StatusBar.h"

#include "platform/widgets/AccessibleWidgets.h"

#include <QPainter>
#include <algorithm>

namespace platform {

namespace {

constexpr int kTopMargin = 2;  // the bar's own edge above the panels
constexpr int kPanelGap = 2;   // between two panels
constexpr int kTextIndent = 2; // inside a panel's bevel

} // namespace

TStatusBar::TStatusBar(QWidget* parent) : TCanvasControl(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedHeight(DefaultHeight);
}

void TStatusBar::SetPanels(std::vector<TStatusPanel> panels) {
    panels_ = std::move(panels);
    update();
}

const std::string& TStatusBar::PanelText(int index) const {
    static const std::string none;
    if (index < 0 || index >= PanelCount())
        return none;
    return panels_[static_cast<std::size_t>(index)].Text;
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
    if (index < 0 || index >= PanelCount())
        return;
    auto& panel = panels_[static_cast<std::size_t>(index)];
    if (panel.Text == text)
        return;
    panel.Text = text;
    const TRect r = PanelRect(index);
    update(QRect(r.Left, r.Top, r.Width(), r.Height()));
    AnnouncePanelText(this, index);
}

TRect TStatusBar::PanelRect(int index) const {
    int left = 0;
    for (int i = 0; i < index && i < PanelCount(); ++i)
        left += panels_[static_cast<std::size_t>(i)].Width;
    if (index >= PanelCount())
        return Rect(left, kTopMargin, left, height());
    // The last panel reaches the right edge, as classic status bars do.
    const int right = index == PanelCount() - 1
                          ? std::max(left, width())
                          : left + panels_[static_cast<std::size_t>(index)].Width - kPanelGap;
    return Rect(left, kTopMargin, right, height());
}

void TStatusBar::PaintTo(Canvas& canvas) const {
    canvas.Brush.Color = clBtnFace;
    canvas.FillRect(Rect(0, 0, width(), height()));
    canvas.Font = TFont{};
    canvas.Font.Color = clBtnText;
    for (int i = 0; i < PanelCount(); ++i) {
        const auto& panel = panels_[static_cast<std::size_t>(i)];
        TRect r = PanelRect(i);
        canvas.Frame3D(r, clBtnShadow, clBtnHighlight, 1);
        InflateRect(r, -kTextIndent + 1, 0);
        canvas.DrawText(panel.Text, r, DT_SINGLELINE | DT_VCENTER | AlignmentFlag(panel.Alignment));
    }
}

QSize TStatusBar::sizeHint() const {
    return {200, DefaultHeight};
}

void TStatusBar::mousePressEvent(QMouseEvent*) {
    if (OnMouseDown)
        OnMouseDown();
}

} // namespace platform
