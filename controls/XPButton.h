// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlColor.h"
#include "controls/DialogKeys.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/CanvasControl.h"
#include "platform/gdi/Fonts.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace controls {

// A flat push button drawn by the program: a rounded dark-blue frame around a soft vertical
// gradient, an orange ring under the mouse, a blue ring while focused or acting as the
// default button, a darker gradient while held, and a pale look when disabled. Qt paints
// widgets off screen and shows them in one step, so the layered painting never flickers.
class TXPButton : public platform::TCanvasControl<QWidget>, public TDialogKeyTarget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers)>;

    explicit TXPButton(QWidget* parent = nullptr);
    ~TXPButton() override;

    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }
    // A copy of the picture is kept; assigning always repaints.
    void SetGlyph(const QImage& picture);
    bool HasGlyph() const { return FGlyph != nullptr; }
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool value);
    int FocusRectOffset() const { return FFocusRectOffset; }
    void SetFocusRectOffset(int value);
    int MouseBorderWidth() const { return FMouseBorderWidth; }
    void SetMouseBorderWidth(int value);
    int OffsetOnClick() const { return FOffsetOnClick; }
    void SetOffsetOnClick(int value);

    platform::TColor Color() const { return FColor.Get(*this); }
    void SetColor(platform::TColor color);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    const platform::TFont& Font() const { return FFont; }
    void SetFont(const platform::TFont& font);

    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;

    // The state flags, for whoever needs to know how the button looks.
    bool Down() const { return FDown; }
    bool Hot() const { return FHot; }
    bool FocusedFlag() const { return FFocused; }
    bool XPButtonActive() const { return FXPButtonActive; }

    bool IsHighlighted(bool IgnoreDefault) const;
    // Sets the form's modal result, then runs OnClick.
    virtual void Click();

    void PaintTo(platform::Canvas& canvas) const override;
    bool CMDialogKey(int key) override;
    bool CMDialogChar(QChar c) override;

protected:
    virtual void DoEnabledChanged();
    virtual void DoFocusChanged();
    virtual void DoMouseDown();
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    virtual void DoMouseMove() {}
    virtual void DoMouseUp();
    virtual void DoParentColorChanged();
    virtual void DoResize();
    virtual void DoTextChanged();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend void NotifyFocusChanged(QWidget* form);
    void repaintUnlessLocked();
    void trackHot(bool over);
    bool canFocus() const;
    void drawBitmaps() const;
    void paintEnabled(platform::Canvas& canvas) const;
    void paintDisabled(platform::Canvas& canvas) const;
    void drawGlyph(platform::Canvas& canvas, int x, int y) const;
    void drawCaption(platform::Canvas& canvas, bool enabled, const platform::TRect& r) const;

    bool FDefault = false;
    int FModalResult = 0;
    bool FShowFocusRect = true;
    int FFocusRectOffset = 3;
    int FMouseBorderWidth = 2;
    int FOffsetOnClick = 0;
    TControlColor FColor;
    std::string FCaption;
    platform::TFont FFont;

    bool FDown = false;
    bool FFocused = false;
    bool FHot = false;
    bool FUpdateLock = false;
    // Cut when the button goes: the widget's own destruction clears the focus, and the notice
    // must not reach a half-destroyed button.
    QMetaObject::Connection focusChanges_;
    bool FXPButtonActive = false;
    // Drawn by the first paint after a size notification, from what DoResize recorded.
    struct PendingBitmaps {
        int Width;
        int Height;
        int Inset;
    };
    mutable std::optional<PendingBitmaps> FPendingBitmaps;
    mutable platform::TBitmap FFaceBitmap;
    mutable platform::TBitmap FDownBitmap;
    mutable platform::TBitmap FHotBitmap;
    mutable platform::TBitmap FFocusBitmap;
    std::unique_ptr<platform::TBitmap> FGlyph;
};

// Every gradient button of `form` re-reads the focus, as a focus change makes them do.
void NotifyFocusChanged(QWidget* form);

} // namespace controls
