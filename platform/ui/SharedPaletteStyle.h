// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPalette>
#include <QProxyStyle>

#include <map>
#include <vector>

class QWidget;

namespace platform {

// The application's style for windows that come and go (message boxes, the help viewer).
// Such a window's palette is a fresh copy every time, and the style files what it draws under
// names made of that copy, which no later window asks for again; the toolkit keeps each name
// for the rest of the session. Here every palette equal to one seen before is drawn as that
// one, and each standard icon is made once, so the names repeat and the drawings are shared.
class SharedPaletteStyle : public QProxyStyle {
public:
    SharedPaletteStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override;

    // How many different palettes it has drawn with.
    int Palettes() const { return int(palettes_.size()); }

private:
    class Shared;
    const QPalette* sharedEqualTo(const QPalette& palette) const;

    mutable std::vector<QPalette> palettes_;
    mutable std::map<StandardPixmap, QIcon> icons_;
};

// The one instance, owned by the application.
SharedPaletteStyle& SharedPalettes();
// Gives a window and every widget in it the shared style.
void UseSharedPalettes(QWidget& window);

} // namespace platform
