// SPDX-License-Identifier: GPL-3.0-or-later
// How a menu painter reaches Qt's menus: a style over the application's that measures and draws
// the hooked items through the painter, while the menus keep all their own behaviour.
#pragma once

#include <QProxyStyle>
#include <optional>

class QAction;
class QMenu;
class QMenuBar;
class QStyleOptionMenuItem;

namespace controls {

class TRyMenu;

class TRyMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Takes ownership of `base`.
    TRyMenuStyle(const TRyMenu& painter, QStyle* base);

    // Width and height of the classic popup frame around a menu's items.
    static constexpr int MenuFrameWidth = 3;
    // The classic menu bar's height: its menu metric and the line below it.
    static constexpr int MenuBarItemHeight = 20;
    // The least room on each side of a bar item's caption: its frame and a clear column.
    static constexpr int BarCaptionInset = 2;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;

private:
    bool drawMenuItem(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    bool drawBarItem(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    std::optional<QSize> measureMenuItem(const QStyleOption* option, const QWidget* widget) const;
    QSize barItemSize(const QStyleOptionMenuItem& option, QSize measured) const;
    int barItemSpacing(const QMenuBar& bar, int spacing) const;
    const QAction* barAction(const QStyleOption* option, const QWidget* widget) const;
    const QAction* measuredAction(const QMenu& menu, const QStyleOptionMenuItem& option) const;

    const TRyMenu& painter_;
};

} // namespace controls
