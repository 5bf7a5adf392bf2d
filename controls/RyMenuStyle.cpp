// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/RyMenuStyle.h"

#include "controls/RyMenus.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace controls {

using namespace platform;

namespace {

bool isMenu(const QWidget* widget) {
    return qobject_cast<const QMenu*>(widget) != nullptr;
}

// Runs one paint step through a canvas whose origin is the top left of `rect`, so a drop-down
// item's rectangle starts at x = 0.
template <class Paint> void onCanvas(QPainter* painter, const QRect& rect, Paint paint) {
    painter->save();
    painter->translate(rect.topLeft());
    {
        Canvas canvas(*painter);
        paint(canvas, Rect(0, 0, rect.width(), rect.height()));
    }
    painter->restore();
}

// The arrow a classic menu shows beside an item that opens a sub-menu.
void paintSubMenuArrow(Canvas& canvas, const TRect& r, TColor colour) {
    canvas.Pen = TPen{};
    canvas.Pen.Color = colour;
    const int x = r.Right - 12;
    const int y = r.Top + r.Height() / 2;
    for (int i = 0; i < 4; ++i) {
        canvas.MoveTo(x + i, y - 3 + i);
        canvas.LineTo(x + i, y + 4 - i);
    }
}

// The text Qt shows for an item: its caption and, after a tab, its shortcut.
QString shownText(const QAction& action) {
    QString text = action.text();
    if (!text.contains(u'\t') && !action.shortcut().isEmpty())
        text += u'\t' + action.shortcut().toString(QKeySequence::NativeText);
    return text;
}

// The room a menu adds to every item for the widest shortcut, measured in its own font.
int reservedShortcutWidth(const QMenu& menu) {
    int widest = 0;
    for (const QAction* action : menu.actions()) {
        if (!action->isVisible() || action->isSeparator() || action->text().contains(u'\t') ||
            action->shortcut().isEmpty())
            continue;
        widest = std::max(widest, menu.fontMetrics().horizontalAdvance(
                                      action->shortcut().toString(QKeySequence::NativeText)));
    }
    return widest;
}

} // namespace

TRyMenuStyle::TRyMenuStyle(const TRyMenu& painter, QStyle* base)
    : QProxyStyle(base), painter_(painter) {}

bool TRyMenuStyle::drawMenuItem(const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const {
    const auto* menu = qobject_cast<const QMenu*>(widget);
    const auto* opt = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!menu || !opt)
        return false;
    const QAction* action = menu->actionAt(opt->rect.center());
    if (!painter_.Hooks(action))
        return false;
    TMenuItem item = TRyMenu::ItemOf(*action, false);
    item.Enabled = (opt->state & State_Enabled) != 0;
    unsigned state = 0;
    if (opt->state & State_Selected)
        state |= ODS_SELECTED;
    if (!item.Enabled)
        state |= ODS_DISABLED | ODS_GRAYED;
    if (item.Checked)
        state |= ODS_CHECKED;
    if (opt->menuItemType == QStyleOptionMenuItem::DefaultItem)
        state |= ODS_DEFAULT;
    onCanvas(painter, opt->rect, [&](Canvas& canvas, const TRect& r) {
        painter_.DrawItem(item, canvas, r, state);
        if (action->menu())
            paintSubMenuArrow(canvas, r, item.Enabled ? clBlack : clGray);
    });
    return true;
}

bool TRyMenuStyle::drawBarItem(const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const {
    const auto* bar = qobject_cast<const QMenuBar*>(widget);
    const auto* opt = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!bar || !opt)
        return false;
    const QAction* action = bar->actionAt(opt->rect.center());
    if (!painter_.Hooks(action))
        return false;
    TMenuItem item = TRyMenu::ItemOf(*action, true);
    item.Enabled = (opt->state & State_Enabled) != 0;
    unsigned state = item.Enabled ? 0 : ODS_DISABLED | ODS_GRAYED;
    // Open shows the item pressed; under the mouse or the keyboard it is hot.
    if ((opt->state & State_Selected) && (opt->state & State_Sunken))
        state |= ODS_SELECTED;
    else if (opt->state & State_Selected)
        state |= ODS_HOTLIGHT;
    onCanvas(painter, opt->rect,
             [&](Canvas& canvas, const TRect& r) { painter_.DrawItem(item, canvas, r, state); });
    return true;
}

void TRyMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    switch (element) {
    case CE_MenuItem:
        if (drawMenuItem(option, painter, widget))
            return;
        break;
    case CE_MenuBarItem:
        if (drawBarItem(option, painter, widget))
            return;
        break;
    case CE_MenuBarEmptyArea:
    case CE_MenuEmptyArea:
        onCanvas(painter, option->rect, [](Canvas& canvas, const TRect& r) {
            canvas.Brush.Color = clBtnFace;
            canvas.FillRect(r);
        });
        return;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TRyMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    if (element == PE_PanelMenu && isMenu(widget)) {
        onCanvas(painter, option->rect, [](Canvas& canvas, const TRect& r) {
            canvas.Brush.Color = clMenu;
            canvas.FillRect(r);
        });
        return;
    }
    if (element == PE_FrameMenu && isMenu(widget)) {
        // The classic raised popup edge and one ring of the menu colour inside it.
        onCanvas(painter, option->rect, [](Canvas& canvas, const TRect& r) {
            TRect inside = r;
            canvas.Frame3D(inside, cl3DLight, cl3DDkShadow, 1);
            canvas.Frame3D(inside, clBtnHighlight, clBtnShadow, 1);
            canvas.Brush.Color = clMenu;
            canvas.FrameRect(inside);
        });
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

int TRyMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    if (isMenu(widget)) {
        switch (metric) {
        case PM_MenuPanelWidth:
            return MenuFrameWidth;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
            return 0;
        default:
            break;
        }
    }
    if (const auto* bar = qobject_cast<const QMenuBar*>(widget);
        bar && metric == PM_MenuBarItemSpacing)
        return barItemSpacing(*bar, QProxyStyle::pixelMetric(metric, option, widget));
    return QProxyStyle::pixelMetric(metric, option, widget);
}

// The framework's room before each bar item, narrowed just enough where a language's captions,
// with their clear columns, would push the last menu off the bar (French).
int TRyMenuStyle::barItemSpacing(const QMenuBar& bar, int spacing) const {
    int used = 0;
    int gaps = 0;
    for (QAction* action : bar.actions()) {
        if (!action->isVisible())
            continue;
        QStyleOptionMenuItem item;
        item.initFrom(&bar);
        item.menuItemType = QStyleOptionMenuItem::Normal;
        item.text = action->text();
        const QSize text = bar.fontMetrics().size(Qt::TextShowMnemonic, item.text);
        used += sizeFromContents(CT_MenuBarItem, &item, text, &bar).width();
        ++gaps;
    }
    if (gaps <= 0)
        return spacing;
    const int margins = 2 * (pixelMetric(PM_MenuBarHMargin, nullptr, &bar) +
                             pixelMetric(PM_MenuBarPanelWidth, nullptr, &bar));
    return std::clamp((bar.width() - margins - used) / gaps, 0, spacing);
}

const QAction* TRyMenuStyle::measuredAction(const QMenu& menu,
                                            const QStyleOptionMenuItem& option) const {
    // The option names no action; items showing the same text measure alike.
    const bool separator = option.menuItemType == QStyleOptionMenuItem::Separator;
    const bool subMenu = option.menuItemType == QStyleOptionMenuItem::SubMenu;
    for (const QAction* action : menu.actions()) {
        if (!action->isVisible() || !painter_.Hooks(action) || action->isSeparator() != separator)
            continue;
        if (separator ||
            ((action->menu() != nullptr) == subMenu && shownText(*action) == option.text))
            return action;
    }
    return nullptr;
}

// A bar item keeps the framework's measure in the bar's own font, as high as the classic bar.
// Qt clips each item to its rectangle, so an item whose caption in the painter's larger font
// would touch its frame grows just enough to keep a clear column inside the frame on each side:
// all three menus still fit the bar.
QSize TRyMenuStyle::barItemSize(const QStyleOptionMenuItem& option, QSize measured) const {
    const int caption =
        QFontMetrics(ToQFont(painter_.Font)).size(Qt::TextShowMnemonic, option.text).width();
    measured.setWidth(std::max(measured.width(), caption + 2 * BarCaptionInset));
    measured.setHeight(std::max(measured.height(), MenuBarItemHeight));
    return measured;
}

const QAction* TRyMenuStyle::barAction(const QStyleOption* option, const QWidget* widget) const {
    const auto* bar = qobject_cast<const QMenuBar*>(widget);
    const auto* opt = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!bar || !opt || opt->text.isEmpty())
        return nullptr;
    for (const QAction* action : bar->actions())
        if (action->text() == opt->text)
            return action;
    return nullptr;
}

std::optional<QSize> TRyMenuStyle::measureMenuItem(const QStyleOption* option,
                                                   const QWidget* widget) const {
    const auto* menu = qobject_cast<const QMenu*>(widget);
    const auto* opt = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!menu || !opt)
        return std::nullopt;
    const QAction* action = measuredAction(*menu, *opt);
    if (!action)
        return std::nullopt;
    int width = 0;
    int height = 0;
    painter_.MeasureItem(TRyMenu::ItemOf(*action, false), MeasuringCanvas(), width, height);
    // The menu widens every item by its widest shortcut; the measured width already holds it.
    return QSize(width - reservedShortcutWidth(*menu), height);
}

QSize TRyMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
    if (type == CT_MenuItem)
        if (const std::optional<QSize> measured = measureMenuItem(option, widget))
            return *measured;
    if (type == CT_MenuBarItem && painter_.Hooks(barAction(option, widget)))
        return barItemSize(*qstyleoption_cast<const QStyleOptionMenuItem*>(option),
                           QProxyStyle::sizeFromContents(type, option, size, widget));
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

} // namespace controls
