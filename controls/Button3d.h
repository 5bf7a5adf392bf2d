// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlColor.h"
#include "controls/ControlTypes.h"
#include "platform/gdi/CanvasControl.h"
#include "platform/gdi/Fonts.h"

#include <QWidget>
#include <functional>
#include <string>

namespace controls {

// A push button with a one-pixel bevel on its parent's colour and an engraved or shadowed
// caption. Space presses it and clicks on release; a mouse press stays drawn pressed until
// the button is released, wherever the mouse goes.
class TButton3d : public platform::TCanvasControl<QWidget> {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers)>;
    using TMouseEvent = std::function<void(QObject* Sender, Qt::MouseButton Button, int X, int Y)>;

    explicit TButton3d(QWidget* parent = nullptr);

    TButton3dStyle Style() const { return FStyle; }
    void SetStyle(TButton3dStyle value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    const platform::TFont& Font() const { return FFont; }
    void SetFont(const platform::TFont& font);
    // The face takes the parent's colour.
    platform::TColor Color() const { return FColor.Get(*this); }
    bool Down() const { return FDown; }

    TNotifyEvent OnClick;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    // Releases the button, repaints, then runs OnClick.
    void Click();
    void PaintTo(platform::Canvas& canvas) const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setDown(bool down);
    void paintBevel(platform::Canvas& canvas, int w, int h) const;
    void paintCaption(platform::Canvas& canvas, int w, int h) const;

    TButton3dStyle FStyle = bsRecessed;
    std::string FCaption;
    platform::TFont FFont;
    TControlColor FColor;
    bool FDown = false;
    bool FLeftPressed = false;
};

} // namespace controls
