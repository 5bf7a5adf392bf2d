// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Canvas.h"
#include "platform/gdi/CanvasControl.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/OwnerDraw.h"

#include <QPushButton>

namespace controls {

// A push button that paints its own face in ButtonColor: the board's tiles.
class TColorButton : public platform::TCanvasControl<QPushButton> {
    Q_OBJECT
public:
    explicit TColorButton(QWidget* parent = nullptr);

    platform::TColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(platform::TColor color);
    bool Frame3D() const { return FFrame3D; }
    void SetFrame3D(bool value);
    const platform::TFont& Font() const { return FFont; }
    void SetFont(const platform::TFont& font);
    bool DefaultFrame() const { return FDefaultFrame; }
    // Draws the face pressed without pressing the button, so a blink never eats a real click.
    bool DrawnDown() const { return FDrawnDown; }
    void SetDrawnDown(bool value);
    // The tile a hint points at: its number in the classic selection colour, so it stands out
    // at a glance whether drawn up or down.
    bool Hinted() const { return FHinted; }
    void SetHinted(bool value);

    // Paints the whole face for the ODS_ item state bits onto `canvas`.
    void DrawItem(platform::Canvas& canvas, unsigned itemState) const;
    unsigned ItemState() const;
    void PaintTo(platform::Canvas& canvas) const override;

protected:
    // Told whether this button now acts as the form's default button; only remembered, the
    // focus change repaints by itself.
    virtual void SetButtonStyle(bool isDefault);

    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void focusMoved(QWidget* now);
    void drawCaption(platform::Canvas& canvas, const platform::TRect& bounds, bool disabled) const;

    platform::TColor FButtonColor = platform::clBtnFace;
    bool FFrame3D = false;
    bool FDefaultFrame = false;
    bool FDrawnDown = false;
    bool FHinted = false;
    platform::TFont FFont;
};

} // namespace controls
