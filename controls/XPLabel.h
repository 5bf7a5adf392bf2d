// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlTypes.h"
#include "controls/DialogKeys.h"
#include "controls/PropertyChange.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/Fonts.h"

#include <QWidget>
#include <functional>
#include <string>

namespace controls {

// A transparent label that writes its caption twice: a shadow copy in BackgroundColor moved
// right and down by Offset, then the caption in ForegroundColor. The font's own colour never
// shows. With AutoSize it fits text plus shadow at the start of every paint.
class TXPLabel : public QWidget, public TDialogKeyTarget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TMouseEvent = std::function<void(QObject* Sender, Qt::MouseButton Button, int X, int Y)>;

    static constexpr platform::TColor DefaultForegroundColor = platform::clWhite;
    static constexpr platform::TColor DefaultBackgroundColor = 8920080;

    explicit TXPLabel(QWidget* parent = nullptr);

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TCaptionAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TCaptionAlignment value);
    platform::TColor ForegroundColor() const { return FForegroundColor; }
    void SetForegroundColor(platform::TColor value);
    platform::TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(platform::TColor value);
    int Offset() const { return FOffset; }
    void SetOffset(int value);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    const platform::TFont& Font() const { return FFont; }
    void SetFont(const platform::TFont& font);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    // One paint on `canvas`: the automatic size with the canvas's font of this moment, then
    // the shadow and the text. The canvas keeps the label's font afterwards, as a shared
    // surface would.
    void Paint(platform::Canvas& canvas);

    bool CMDialogChar(QChar c) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void AdjustBounds(platform::Canvas& canvas);
    template <class T> void assign(T& field, T value) {
        if (ChangeValue(field, std::move(value)))
            update();
    }

    bool FAutoSize = true;
    TCaptionAlignment FCaptionAlignment = caLeft;
    platform::TColor FForegroundColor = DefaultForegroundColor;
    platform::TColor FBackgroundColor = DefaultBackgroundColor;
    int FOffset = 1;
    std::string FCaption;
    platform::TFont FFont;
    // The parent surface's font as the last paint left it; the first paint measures with the
    // canvas's initial font.
    platform::TFont FCanvasFont;
    bool FPressed = false;
};

} // namespace controls
