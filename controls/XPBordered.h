// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ControlColor.h"
#include "controls/ControlTypes.h"
#include "controls/DialogKeys.h"
#include "controls/PropertyChange.h"
#include "platform/gdi/CanvasControl.h"
#include "platform/gdi/Fonts.h"

#include <QWidget>
#include <functional>
#include <string>

namespace controls {

// What the bordered panel and the bordered group box share: a flat background in Color, a
// rounded outline in BorderColor and a caption whose accelerator is swallowed.
class TXPBorderedControl : public platform::TCanvasControl<QWidget>, public TDialogKeyTarget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;

    static constexpr platform::TColor DefaultBorderColor = 12114135;
    static constexpr platform::TColor DefaultFontColor = 0xD05300;

    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    TCaptionAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TCaptionAlignment value);
    int CaptionOffset() const { return FCaptionOffset; }
    void SetCaptionOffset(int value);
    int CornersOffset() const { return FCornersOffset; }
    void SetCornersOffset(int value);

    platform::TColor Color() const { return FColor.Get(*this); }
    void SetColor(platform::TColor color);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    const platform::TFont& Font() const { return FFont; }
    void SetFont(const platform::TFont& font);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    bool CMDialogKey(int key) override;
    bool CMDialogChar(QChar c) override;

protected:
    TXPBorderedControl(QWidget* parent, TCaptionAlignment alignment, int height);

    // The panel repaints at every assignment, the group box only when the value changes.
    virtual bool RepaintsOnlyOnChange() const = 0;
    // The corner ellipse's size; the canvas draws a negative one by its magnitude.
    int CornerEllipse() const { return FBorderWidth - FCornersOffset - 1; }
    // Pen, brush and font set for the outline and the caption.
    void PrepareCanvas(platform::Canvas& canvas) const;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void assign(int& field, int value, int low, int high);
    template <class T> void assign(T& field, T value) {
        if (ChangeValue(field, std::move(value)) || !RepaintsOnlyOnChange())
            update();
    }

    platform::TColor FBorderColor = DefaultBorderColor;
    int FBorderWidth = 1;
    TCaptionAlignment FCaptionAlignment;
    int FCaptionOffset = 10;
    int FCornersOffset = 10;
    TControlColor FColor;
    std::string FCaption;
    platform::TFont FFont;
    bool FPressed = false;
};

} // namespace controls
