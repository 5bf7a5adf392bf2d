// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/RyMenus.h"

#include "controls/RyMenuStyle.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStyleFactory>

#include <algorithm>
#include <array>
#include <utility>

namespace controls {

using namespace platform;

namespace {

constexpr unsigned kTextFlags = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS;
// A drop-down item's caption starts this far right of its gutter, and its shortcut ends this
// far left of its right edge.
constexpr int kTextIndent = 5;
// The least room between a caption and its shortcut. The classic "text + shortcut + 35" leaves
// a language's longest caption one to three pixels from its shortcut, so such an item grows.
constexpr int kShortcutGap = 8;
constexpr int kCheckCorner = 0;
constexpr int kRadioCorner = 6;
constexpr const char* kPainterProperty = "velmarMenuPainter";

constexpr std::array<std::pair<int, int>, 18> kCheckPixels = {{{2, 6},
                                                               {3, 7},
                                                               {4, 8},
                                                               {5, 9},
                                                               {6, 8},
                                                               {7, 7},
                                                               {3, 6},
                                                               {4, 7},
                                                               {5, 8},
                                                               {6, 7},
                                                               {7, 6},
                                                               {8, 5},
                                                               {9, 4},
                                                               {10, 3},
                                                               {11, 2},
                                                               {3, 5},
                                                               {4, 6},
                                                               {5, 7}}};

constexpr std::array<std::pair<int, int>, 24> kRadioPixels = {
    {{3, 5}, {3, 6}, {4, 7}, {5, 8}, {6, 8}, {7, 7}, {8, 6}, {8, 5},
     {7, 4}, {6, 3}, {5, 3}, {4, 4}, {4, 5}, {4, 6}, {5, 7}, {6, 7},
     {7, 6}, {7, 5}, {6, 4}, {5, 4}, {5, 5}, {5, 6}, {6, 6}, {6, 5}}};

// The drawing objects every painter shares, made at the first use and freed with the
// application, before the fonts they hold go away.
struct SharedResources {
    TBitmap check{12, 12};
    TBitmap radio{12, 12};
    TBitmap silhouette;
    TBitmap measure{1, 1};

    SharedResources() {
        for (auto [x, y] : kCheckPixels)
            check.GetCanvas().SetPixel(x, y, clBlack);
        for (auto [x, y] : kRadioPixels)
            radio.GetCanvas().SetPixel(x, y, clBlack);
        for (TBitmap* glyph : {&check, &radio}) {
            glyph->Monochrome = true;
            glyph->Transparent = true;
        }
        silhouette.Monochrome = true;
    }
};

SharedResources* shared = nullptr;

void freeShared() {
    delete shared;
    shared = nullptr;
}

SharedResources& Shared() {
    if (!shared) {
        shared = new SharedResources;
        qAddPostRoutine(freeShared);
    }
    return *shared;
}

quint64 nextSerial() {
    static quint64 serial = 0;
    return ++serial;
}

bool isSeparator(const TMenuItem& item) {
    return item.Caption == "-";
}

// A caption's width as shown, its "&" prefixes resolved.
int shownWidth(Canvas& canvas, const std::string& caption) {
    TRect r = Rect(0, 0, 0, 0);
    canvas.DrawText(caption, r, DT_SINGLELINE | DT_CALCRECT);
    return r.Width();
}

int roundHalfEven(int numerator, int denominator) {
    int q = numerator / denominator;
    const int r = numerator % denominator;
    if (2 * r > denominator || (2 * r == denominator && (q & 1) != 0))
        ++q;
    return q;
}

} // namespace

TColor Lighten(TColor colour, int percent) {
    const std::uint32_t rgb = ColorToRGB(colour);
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int c = static_cast<int>((rgb >> shift) & 0xFFu);
        const int lit = c + roundHalfEven((255 - c) * percent, 100);
        result |= static_cast<std::uint32_t>(std::clamp(lit, 0, 255)) << shift;
    }
    return static_cast<TColor>(result);
}

const TBitmap& CheckGlyph() {
    return Shared().check;
}

const TBitmap& RadioGlyph() {
    return Shared().radio;
}

Canvas& MeasuringCanvas() {
    return Shared().measure.GetCanvas();
}

TRyMenu::TRyMenu(QObject* owner)
    : QObject(owner), MenuColor(Lighten(clBtnFace, 85)), SelectedColor(Lighten(clHighlight, 65)),
      CheckColor(Lighten(clHighlight, 75)), serial_(nextSerial()) {
    // The screen's menu font is the window font of the fixed classic look.
    Font = TFont{};
    Shared();
}

TRyMenu::~TRyMenu() {
    // Menus that outlive the painter go back to the application's look.
    for (const QPointer<QWidget>& widget : std::as_const(styled_))
        if (widget && widget->style() == style_)
            widget->setStyle(nullptr);
    delete style_;
}

void TRyMenu::SetSelectedColor(TColor colour) {
    SelectedColor = colour;
    CheckColor = Lighten(colour, 75);
}

void TRyMenu::styleWidget(QWidget* widget) {
    if (!style_) {
        // A proxy over a fresh copy of the application's style, so the painter owns it.
        QStyle* base = QStyleFactory::create(QApplication::style()->name());
        style_ = new TRyMenuStyle(*this, base);
    }
    if (widget->style() == style_) {
        // Newly hooked items are measured again.
        QEvent change(QEvent::StyleChange);
        QCoreApplication::sendEvent(widget, &change);
        widget->update();
        return;
    }
    widget->setStyle(style_);
    styled_.append(widget);
}

void TRyMenu::hook(QAction* action, QList<QWidget*>& menus) {
    action->setProperty(kPainterProperty, QVariant::fromValue(serial_));
    auto add = [&menus](QWidget* widget) {
        const bool menu = qobject_cast<QMenu*>(widget) || qobject_cast<QMenuBar*>(widget);
        if (menu && !menus.contains(widget))
            menus.append(widget);
    };
    for (QObject* owner : action->associatedObjects())
        add(qobject_cast<QWidget*>(owner));
    if (QMenu* sub = action->menu()) {
        add(sub);
        for (QAction* child : sub->actions())
            hook(child, menus);
    }
}

// The menus take the painter's style only once every item is hooked, so each is measured once
// with all its items known.
void TRyMenu::Attach(QMenuBar* menu, QAction* item) {
    QList<QWidget*> menus;
    if (menu) {
        for (QAction* action : menu->actions())
            hook(action, menus);
        // Owner-drawn: a desktop's global menu would bypass the painter.
        menu->setNativeMenuBar(false);
        if (!menus.contains(menu))
            menus.append(menu);
    }
    if (item)
        hook(item, menus);
    for (QWidget* widget : std::as_const(menus))
        styleWidget(widget);
}

bool TRyMenu::Hooks(const QAction* action) const {
    if (!action)
        return false;
    const QVariant painter = action->property(kPainterProperty);
    return painter.isValid() && painter.value<quint64>() == serial_;
}

TMenuItem TRyMenu::ItemOf(const QAction& action, bool barItem) {
    TMenuItem item;
    item.Caption = action.isSeparator() ? std::string("-") : action.text().toStdString();
    item.ShortCut = action.shortcut().toString(QKeySequence::PortableText).toStdString();
    item.Checked = action.isCheckable() && action.isChecked();
    item.RadioItem = action.actionGroup() && action.actionGroup()->isExclusive();
    item.Enabled = action.isEnabled();
    item.BarItem = barItem;
    return item;
}

void TRyMenu::MeasureItem(const TMenuItem& item, Canvas& canvas, int& width, int& height) const {
    canvas.Font = Font;
    const std::string text = item.Caption + item.ShortCut;
    const TImageList* images = item.Images;
    if (!images) {
        height = std::max(canvas.TextHeight("W"), MinHeight);
        if (isSeparator(item))
            height = height > 20 ? 11 : 5;
        width = std::max(canvas.TextWidth(text) + 35, MinWidth);
        if (!isSeparator(item) && !item.ShortCut.empty())
            width =
                std::max(width, height + 4 + kTextIndent + shownWidth(canvas, item.Caption) +
                                    kShortcutGap + canvas.TextWidth(item.ShortCut) + kTextIndent);
        return;
    }
    if (isSeparator(item)) {
        height = std::max(MinHeight, images->Height) > 20 ? 11 : 5;
        return;
    }
    const int glyph = images->Width < 8 ? 16 : images->Width + 8;
    width = std::max(canvas.TextWidth(text) + glyph + 15, MinWidth);
    height = std::max(std::max(canvas.TextHeight("W"), images->Height) + 4, MinHeight);
}

int TRyMenu::gutterWidth(const TMenuItem& item, Canvas& canvas, const TRect& rect) const {
    if (item.Images)
        return item.Images->Width + 9;
    if (isSeparator(item))
        return std::max(canvas.TextHeight("W"), MinHeight) + 4;
    return rect.Height() + 4;
}

void TRyMenu::paintBackground(const TMenuItem& item, Canvas& canvas, const TRect& rect, int gutter,
                              unsigned state) const {
    canvas.Brush.Style = bsSolid;
    if (state & ODS_SELECTED) {
        canvas.Brush.Color = SelectedColor;
        canvas.Rectangle(rect);
    } else if (item.BarItem && (state & ODS_HOTLIGHT)) {
        canvas.Pen.Color = clBtnShadow;
        canvas.Brush.Color = SelectedColor;
        canvas.Rectangle(rect);
    } else if (item.BarItem) {
        canvas.Brush.Color = clBtnFace;
        canvas.FillRect(rect);
    } else {
        canvas.Brush.Color = GutterColor;
        canvas.FillRect(Rect(rect.Left, rect.Top, gutter, rect.Bottom));
        canvas.Brush.Color = MenuColor;
        canvas.FillRect(Rect(gutter, rect.Top, rect.Right, rect.Bottom));
    }
}

void TRyMenu::paintCheck(const TMenuItem& item, Canvas& canvas, const TRect& rect,
                         int gutter) const {
    canvas.Brush.Color = CheckColor;
    canvas.Brush.Style = bsSolid;
    if (item.Images && item.ImageIndex >= 0) {
        const int corner = item.RadioItem ? kRadioCorner : kCheckCorner;
        canvas.RoundRect(rect.Left + 2, rect.Top, gutter - 3, rect.Bottom, corner, corner);
        return;
    }
    const int cx = (rect.Left + gutter - 1) / 2;
    const int cy = (rect.Top + rect.Bottom) / 2;
    canvas.Rectangle(cx - 8, cy - 8, cx + 8, cy + 8);
    canvas.Draw((rect.Left + gutter - 1 - 12) / 2, (rect.Top + rect.Bottom - 12) / 2,
                item.RadioItem ? RadioGlyph() : CheckGlyph());
}

// A disabled glyph is its silhouette in the shadow colour over whatever lies beneath.
void TRyMenu::paintGlyph(const TMenuItem& item, Canvas& canvas, const TRect& rect) const {
    const TImageList& images = *item.Images;
    if (item.ImageIndex >= static_cast<int>(images.Images.size()))
        return;
    const TBitmap& image = *images.Images[static_cast<std::size_t>(item.ImageIndex)];
    const int x = rect.Left + 4;
    const int y = (rect.Top + rect.Bottom - images.Height) / 2;
    if (item.Enabled) {
        canvas.Draw(x, y, image);
        return;
    }
    TBitmap& work = Shared().silhouette;
    work.SetSize(images.Width, images.Height);
    work.GetCanvas().Draw(0, 0, image);
    canvas.Brush.Color = clBtnShadow;
    canvas.Brush.Style = bsSolid;
    canvas.SetTextColor(clWhite);
    canvas.SetBkColor(clBlack);
    canvas.BitBlt(x, y, images.Width, images.Height, work, 0, 0, 0x00E20746);
}

void TRyMenu::DrawItem(const TMenuItem& item, Canvas& canvas, TRect rect, unsigned state) const {
    canvas.Font = Font;
    const int gutter = gutterWidth(item, canvas, rect);
    canvas.Pen = TPen{};
    canvas.Pen.Color = clBlack;
    paintBackground(item, canvas, rect, gutter, state);
    if (item.Checked)
        paintCheck(item, canvas, rect, gutter);
    if (item.Images && item.ImageIndex >= 0 && !item.BarItem)
        paintGlyph(item, canvas, rect);
    if (state & ODS_DEFAULT)
        canvas.Font.Style |= fsBold;
    canvas.Font.Color = (state & ODS_DISABLED) ? clGray : clBlack;
    canvas.Brush.Style = bsClear;
    if (!item.BarItem)
        rect.Left += gutter + kTextIndent;
    if (isSeparator(item)) {
        canvas.Pen.Color = clBtnShadow;
        const int middle = rect.Top + (rect.Bottom - rect.Top) / 2;
        canvas.MoveTo(rect.Left, middle);
        canvas.LineTo(rect.Right, middle);
        return;
    }
    if (item.BarItem) {
        // Centred in the bar, the menu font's line (taller than the bar) puts its descenders
        // and the access key's underline on the row next to the open item's bottom line.
        rect.Top -= 1;
        rect.Bottom -= 1;
    }
    canvas.DrawText(item.Caption, rect, kTextFlags | (item.BarItem ? DT_CENTER : DT_LEFT));
    if (item.ShortCut.empty())
        return;
    rect.Right -= kTextIndent;
    canvas.DrawText(item.ShortCut, rect, kTextFlags | DT_RIGHT);
}

} // namespace controls
