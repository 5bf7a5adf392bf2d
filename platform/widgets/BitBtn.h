// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/CanvasControl.h"
#include "platform/gdi/Fonts.h"

#include <QImage>
#include <QPushButton>
#include <functional>
#include <string>

namespace platform {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The classic bitmap button: a push button whose face holds an optional glyph beside its
// caption, Spacing pixels apart, the pair centred. Without a glyph the caption sits alone in
// the middle.
class TBitBtn : public TCanvasControl<QPushButton> {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;

    explicit TBitBtn(QWidget* parent = nullptr);

    const QImage& Glyph() const { return FGlyph; }
    void SetGlyph(const QImage& glyph);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& font);

    TNotifyEvent OnClick;

    void PaintTo(Canvas& canvas) const override;

private:
    void paintContent(Canvas& canvas, const TRect& face) const;

    QImage FGlyph;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
    std::string FCaption;
    TFont FFont;
};

} // namespace platform
