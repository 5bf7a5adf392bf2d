// SPDX-License-Identifier: GPL-3.0-or-later
// The menu painter: draws the items of a window's menu in its own colours and font.
#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/OwnerDraw.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenuBar;

namespace controls {

class TRyMenuStyle;

// Glyphs of one size that menu items show by index; transparent bitmaps.
struct TImageList {
    int Width = 16;
    int Height = 16;
    std::vector<std::unique_ptr<platform::TBitmap>> Images;
};

// What the painter reads of one menu item.
struct TMenuItem {
    std::string Caption;  // with its "&" access key; "-" for a separator
    std::string ShortCut; // display text ("F5", "Ctrl+S"), empty for none
    bool Checked = false;
    bool RadioItem = false;
    bool Enabled = true;
    bool BarItem = false; // an item of the menu bar itself
    const TImageList* Images = nullptr;
    int ImageIndex = -1;
};

// `colour` moved `percent` of the way to white, each channel rounded half to even.
platform::TColor Lighten(platform::TColor colour, int percent);

class TRyMenu : public QObject {
    Q_OBJECT
public:
    explicit TRyMenu(QObject* owner = nullptr);
    ~TRyMenu() override;

    platform::TFont Font;
    platform::TColor GutterColor = platform::clBtnFace;
    platform::TColor MenuColor;
    platform::TColor SelectedColor;
    platform::TColor CheckColor;
    int MinWidth = 0;
    int MinHeight = 18;

    void SetFont(const platform::TFont& font) { Font = font; }
    void SetSelectedColor(platform::TColor colour);

    // Hooks every item of `menu` (depth first), then every item at and below `item`; either may
    // be null. Items added later stay as the application draws them until attached.
    void Attach(QMenuBar* menu, QAction* item);
    // Whether this painter draws `action`.
    bool Hooks(const QAction* action) const;

    void DrawItem(const TMenuItem& item, platform::Canvas& canvas, platform::TRect rect,
                  unsigned state) const;
    void MeasureItem(const TMenuItem& item, platform::Canvas& canvas, int& width,
                     int& height) const;

    // The item as the painter sees it; `barItem` when it sits on the menu bar itself.
    static TMenuItem ItemOf(const QAction& action, bool barItem);

private:
    void hook(QAction* action, QList<QWidget*>& menus);
    void styleWidget(QWidget* widget);
    int gutterWidth(const TMenuItem& item, platform::Canvas& canvas,
                    const platform::TRect& rect) const;
    void paintBackground(const TMenuItem& item, platform::Canvas& canvas,
                         const platform::TRect& rect, int gutter, unsigned state) const;
    void paintCheck(const TMenuItem& item, platform::Canvas& canvas, const platform::TRect& rect,
                    int gutter) const;
    void paintGlyph(const TMenuItem& item, platform::Canvas& canvas,
                    const platform::TRect& rect) const;

    quint64 serial_;
    TRyMenuStyle* style_ = nullptr; // made at the first Attach
    QList<QPointer<QWidget>> styled_;
};

// The check and radio glyphs, 12 by 12, black on white, drawn transparent; made once.
const platform::TBitmap& CheckGlyph();
const platform::TBitmap& RadioGlyph();
// A canvas to measure text on, shared by every painter.
platform::Canvas& MeasuringCanvas();

} // namespace controls
