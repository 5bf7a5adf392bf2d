// SPDX-License-Identifier: GPL-3.0-or-later
// The widgets layer: the framework's standard controls the windows use (panel, status bar,
// track bar, image, cursors, window dragging). It may use gdi, files and Qt.
#pragma once

#include "platform/gdi/Canvas.h"
#include "platform/gdi/CanvasControl.h"

#include <QWidget>
#include <functional>
#include <string>

namespace platform {

enum TPanelBevel { bvNone, bvLowered, bvRaised };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// The text-drawing flag that places a caption as `alignment` says.
constexpr unsigned AlignmentFlag(TAlignment alignment) {
    switch (alignment) {
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        return DT_CENTER;
    case taLeftJustify:
        break;
    }
    return DT_LEFT;
}

// The classic panel: outer bevel, inner bevel, a face in its colour and a one-line caption.
class TPanel : public TCanvasControl<QWidget> {
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent = nullptr);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);
    void SetBevelInner(TPanelBevel bevel);
    void SetBevelOuter(TPanelBevel bevel);
    void SetAlignment(TAlignment alignment);

    std::function<void()> OnClick;

    // Paints the panel's face as it shows on screen.
    void PaintTo(Canvas& canvas) const override;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::string caption_;
    TColor color_ = clBtnFace;
    TFont font_;
    TPanelBevel inner_ = bvNone;
    TPanelBevel outer_ = bvRaised;
    TAlignment alignment_ = taCenter;
};

} // namespace platform
