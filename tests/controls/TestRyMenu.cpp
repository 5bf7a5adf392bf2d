// SPDX-License-Identifier: GPL-3.0-or-later
// The menu painter's colours, measures and every look of an item, read pixel by pixel.
#include "controls/RyMenus.h"
#include "platform/gdi/CanvasImages.h"
#include "platform/ui/Application.h"

#include <QFontMetrics>
#include <QTest>
#include <memory>

using namespace platform;
using namespace canvas_images;
using controls::Lighten;
using controls::MeasuringCanvas;
using controls::TImageList;
using controls::TMenuItem;
using controls::TRyMenu;

namespace {

constexpr int kWidth = 200;

// The painter as the main window configures it.
std::unique_ptr<TRyMenu> gamePainter() {
    auto painter = std::make_unique<TRyMenu>();
    painter->SetSelectedColor(clGradientActiveCaption);
    painter->MenuColor = clTeal;
    painter->GutterColor = clBlue;
    painter->Font.Name = "Comic Sans MS";
    painter->Font.Height = 0;
    painter->Font.Size = 10;
    return painter;
}

TMenuItem dropDown(const std::string& caption, const std::string& shortcut = "") {
    TMenuItem item;
    item.Caption = caption;
    item.ShortCut = shortcut;
    return item;
}

int heightOfW(const TFont& font) {
    return QFontMetrics(ToQFont(font)).height();
}

QImage paintItem(const TRyMenu& painter, const TMenuItem& item, int height, unsigned state,
                 int ratio = 1) {
    return paint(
        kWidth, height,
        [&](Canvas& canvas) { painter.DrawItem(item, canvas, Rect(0, 0, kWidth, height), state); },
        ratio);
}

// Ink of one colour inside columns [left, right) and rows [top, bottom) of the image.
QRect inkIn(const QImage& image, QRgb color, int left, int right, int top = 0, int bottom = -1) {
    if (bottom < 0)
        bottom = image.height();
    QRect box;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (image.pixel(x, y) == color)
                box |= QRect(x, y, 1, 1);
    return box;
}

int inkCount(const QImage& image, QRgb color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == color ? 1 : 0;
    return count;
}

// Ink of a text drawn alone by the canvas into (0, 0, width, height) with `flags`.
QRect textInk(const TFont& font, const std::string& text, int width, int height, unsigned flags) {
    const QImage image = paint(width, height, [&](Canvas& canvas) {
        canvas.Font = font;
        canvas.Font.Color = clBlack;
        canvas.Brush.Style = bsClear;
        canvas.DrawText(text, Rect(0, 0, width, height), flags);
    });
    return inkOf(image, rgbOf(clBlack));
}

} // namespace

class TestRyMenu : public QObject {
    Q_OBJECT

private slots:
    void lightenMovesEachChannelTowardsWhiteRoundingHalvesToEven() {
        QCOMPARE(Lighten(clBlack, 50), TColor(0x808080));
        for (TColor c : {clBlack, clTeal, clBlue, TColor(0x123456), clWhite}) {
            QCOMPARE(Lighten(c, 0), c);
            QCOMPARE(Lighten(c, 100), clWhite);
        }
        QCOMPARE(Lighten(clBtnFace, 0), TColor(ColorToRGB(clBtnFace)));
        // 1 + 254 * 50 / 100 = 128 exactly; 2 + 253 / 2 = 128.5 goes to the even 128.
        QCOMPARE(Lighten(0x020201, 50), TColor(0x808080));
    }

    void aNewPainterHasTheClassicColoursAndBounds() {
        TRyMenu painter;
        QCOMPARE(painter.GutterColor, clBtnFace);
        QCOMPARE(painter.MenuColor, TColor(0xF7F8F9)); // button face 85 % lighter
        QCOMPARE(painter.SelectedColor, Lighten(clHighlight, 65));
        QCOMPARE(painter.CheckColor, Lighten(clHighlight, 75));
        QCOMPARE(painter.MinWidth, 0);
        QCOMPARE(painter.MinHeight, 18);
        QCOMPARE(painter.Font, TFont{});
    }

    void selectedColourSetsTheCheckBoxColourResolvedAtOnce() {
        const auto painter = gamePainter();
        QCOMPARE(painter->SelectedColor, clGradientActiveCaption);
        QCOMPARE(painter->CheckColor, TColor(0xFBF2E9)); // 166,202,240 lightened by 75 %
    }

    void itemsMeasureTheirTextInThePaintersFont() {
        const auto painter = gamePainter();
        const int h = std::max(heightOfW(painter->Font), 18);
        int width = 0;
        int height = 0;
        painter->MeasureItem(dropDown("&Pley New Game", "F5"), MeasuringCanvas(), width, height);
        QCOMPARE(height, h);
        const QFontMetrics metrics(ToQFont(painter->Font));
        QCOMPARE(width, metrics.horizontalAdvance(QStringLiteral("&Pley New GameF5")) + 35);

        painter->MeasureItem(dropDown("-"), MeasuringCanvas(), width, height);
        QCOMPARE(height, h > 20 ? 11 : 5);
        painter->Font.Size = 8; // a text height of 20 or less
        QVERIFY(heightOfW(painter->Font) <= 20);
        painter->MeasureItem(dropDown("-"), MeasuringCanvas(), width, height);
        QCOMPARE(height, 5);
        painter->MinHeight = 21;
        painter->MeasureItem(dropDown("-"), MeasuringCanvas(), width, height);
        QCOMPARE(height, 11);
        painter->MinWidth = 400;
        painter->MeasureItem(dropDown("&About"), MeasuringCanvas(), width, height);
        QCOMPARE(width, 400);
        QCOMPARE(height, 21);
    }

    void itemsWithAnImageListMakeRoomForItsGlyphs() {
        const auto painter = gamePainter();
        TImageList images;
        images.Width = 20;
        images.Height = 24;
        TMenuItem item = dropDown("&About");
        item.Images = &images;
        int width = 0;
        int height = 0;
        painter->MeasureItem(item, MeasuringCanvas(), width, height);
        const QFontMetrics metrics(ToQFont(painter->Font));
        QCOMPARE(width, metrics.horizontalAdvance(QStringLiteral("&About")) + 28 + 15);
        QCOMPARE(height, 28);
        item.Caption = "-";
        painter->MeasureItem(item, MeasuringCanvas(), width, height);
        QCOMPARE(height, 11);
    }

    void aDropDownItemHasItsGutterCaptionAndShortcutInPlace() {
        const auto painter = gamePainter();
        const int h = std::max(heightOfW(painter->Font), 18);
        const QImage image = paintItem(*painter, dropDown("&Pley New Game", "F5"), h, 0);
        QCOMPARE(image.pixel(0, 0), rgbOf(clBlue));
        QCOMPARE(image.pixel(h + 3, h - 1), rgbOf(clBlue));
        QCOMPARE(image.pixel(h + 4, 0), rgbOf(clTeal));
        QCOMPARE(image.pixel(kWidth - 1, h - 1), rgbOf(clTeal));

        const unsigned flags = 0x8124;
        const QRect caption = textInk(painter->Font, "&Pley New Game", kWidth, h, flags);
        const QRect shortcut = textInk(painter->Font, "F5", kWidth, h, flags | DT_RIGHT);
        const QRect ink = inkIn(image, rgbOf(clBlack), 0, kWidth);
        QCOMPARE(ink.left(), h + 4 + 5 + caption.left());
        QCOMPARE(ink.right(), shortcut.right() - 5);
        QCOMPARE(ink.top(), caption.top());
    }

    void aSelectedItemIsABlackFramedFillWithBlackText() {
        const auto painter = gamePainter();
        const QImage image = paintItem(*painter, dropDown("&About"), 18, ODS_SELECTED);
        QCOMPARE(image.pixel(0, 0), rgbOf(clBlack));
        QCOMPARE(image.pixel(kWidth - 1, 17), rgbOf(clBlack));
        QCOMPARE(image.pixel(1, 1), rgbOf(clGradientActiveCaption));
        QCOMPARE(image.pixel(kWidth - 2, 16), rgbOf(clGradientActiveCaption));
        QVERIFY(!inkIn(image, rgbOf(clBlack), 27, kWidth - 1, 1, 17).isNull());
    }

    void aCheckedItemShowsTheBoxAndGlyphPixelForPixel_data() {
        QTest::addColumn<bool>("radio");
        QTest::newRow("check mark") << false;
        QTest::newRow("radio dot") << true;
    }

    void aCheckedItemShowsTheBoxAndGlyphPixelForPixel() {
        QFETCH(bool, radio);
        const auto painter = gamePainter();
        TMenuItem item = dropDown("&Status bar", "F9");
        item.Checked = true;
        item.RadioItem = radio;
        const QImage image = paintItem(*painter, item, 18, ODS_CHECKED);
        // Gutter 22: the box centres on x = 10, y = 9, the glyph sits at (4, 3).
        const QRgb fill = rgbOf(painter->CheckColor);
        for (int y = 1; y < 17; ++y)
            for (int x = 2; x < 18; ++x) {
                const bool frame = x == 2 || x == 17 || y == 1 || y == 16;
                if (frame)
                    QCOMPARE(image.pixel(x, y), rgbOf(clBlack));
            }
        QCOMPARE(image.pixel(1, 1), rgbOf(clBlue));
        QCOMPARE(image.pixel(18, 9), rgbOf(clBlue));
        QCOMPARE(image.pixel(2, 17), rgbOf(clBlue));
        const TBitmap& glyph = radio ? controls::RadioGlyph() : controls::CheckGlyph();
        int black = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                const bool set = glyph.Image().pixel(x, y) == rgbOf(clBlack);
                black += set ? 1 : 0;
                QCOMPARE(image.pixel(4 + x, 3 + y), set ? rgbOf(clBlack) : fill);
            }
        QCOMPARE(black, radio ? 24 : 18);
    }

    void theGlyphsHoldExactlyTheirPixels() {
        const QImage check = controls::CheckGlyph().Image();
        for (auto [x, y] : {std::pair{2, 6}, {5, 9}, {11, 2}, {3, 5}, {5, 7}})
            QCOMPARE(check.pixel(x, y), rgbOf(clBlack));
        for (auto [x, y] : {std::pair{2, 5}, {5, 10}, {0, 0}, {11, 3}})
            QCOMPARE(check.pixel(x, y), rgbOf(clWhite));
        const QImage radio = controls::RadioGlyph().Image();
        for (auto [x, y] : {std::pair{3, 5}, {8, 6}, {6, 3}, {5, 5}, {6, 6}})
            QCOMPARE(radio.pixel(x, y), rgbOf(clBlack));
        for (auto [x, y] : {std::pair{2, 5}, {3, 4}, {9, 6}, {6, 9}})
            QCOMPARE(radio.pixel(x, y), rgbOf(clWhite));
        QVERIFY(controls::CheckGlyph().Transparent && controls::RadioGlyph().Transparent);
    }

    void aDisabledItemHasAGreyCaptionOnTheUsualColours() {
        const auto painter = gamePainter();
        const QImage image =
            paintItem(*painter, dropDown("&Minimize", "F11"), 18, ODS_DISABLED | ODS_GRAYED);
        QVERIFY(inkIn(image, rgbOf(clBlack), 0, kWidth).isNull());
        QVERIFY(!inkIn(image, qRgb(0x80, 0x80, 0x80), 27, kWidth).isNull());
        QCOMPARE(image.pixel(0, 0), rgbOf(clBlue));
        QCOMPARE(image.pixel(kWidth - 1, 0), rgbOf(clTeal));
    }

    void theDefaultItemIsDrawnBold() {
        const auto painter = gamePainter();
        const QImage plain = paintItem(*painter, dropDown("&About"), 18, 0);
        const QImage bold = paintItem(*painter, dropDown("&About"), 18, ODS_DEFAULT);
        QCOMPARE(inkOf(bold, rgbOf(clBlack)).left(), inkOf(plain, rgbOf(clBlack)).left());
        QVERIFY2(inkCount(bold, rgbOf(clBlack)) > inkCount(plain, rgbOf(clBlack)) * 11 / 10,
                 "bold strokes carry more ink");
    }

    void aSeparatorIsOneShadowLineThroughTheMiddle() {
        const auto painter = gamePainter();
        const QImage image = paintItem(*painter, dropDown("-"), 5, 0);
        // The gutter of a separator is as wide as an item's: its text height, at least 18, + 4.
        const int line = std::max(heightOfW(painter->Font), 18) + 4 + 5;
        QCOMPARE(inkIn(image, rgbOf(clBtnShadow), 0, kWidth), QRect(line, 2, kWidth - line, 1));
        QCOMPARE(image.pixel(0, 2), rgbOf(clBlue));
        QCOMPARE(image.pixel(21, 2), rgbOf(clBlue));
        QCOMPARE(image.pixel(26, 2), rgbOf(clTeal));
        QCOMPARE(image.pixel(100, 1), rgbOf(clTeal));
    }

    void barItemsAreCentredAndShowThreeLooks_data() {
        QTest::addColumn<unsigned>("state");
        QTest::addColumn<TColor>("edge");
        QTest::addColumn<TColor>("inside");
        QTest::newRow("plain") << 0u << clBtnFace << clBtnFace;
        QTest::newRow("under the mouse")
            << unsigned(ODS_HOTLIGHT) << clBtnShadow << clGradientActiveCaption;
        QTest::newRow("open") << unsigned(ODS_SELECTED) << clBlack << clGradientActiveCaption;
    }

    void barItemsAreCentredAndShowThreeLooks() {
        QFETCH(unsigned, state);
        QFETCH(TColor, edge);
        QFETCH(TColor, inside);
        const auto painter = gamePainter();
        TMenuItem item = dropDown("&Game");
        item.BarItem = true;
        const int w = 60;
        const int h = 20;
        const QImage image = paint(w, h, [&](Canvas& canvas) {
            painter->DrawItem(item, canvas, Rect(0, 0, w, h), state);
        });
        QCOMPARE(image.pixel(0, 0), rgbOf(edge));
        QCOMPARE(image.pixel(w - 1, h - 1), rgbOf(edge));
        QCOMPARE(image.pixel(1, 1), rgbOf(inside));
        QCOMPARE(image.pixel(w - 2, h - 2), rgbOf(inside));
        // Centred, and risen a pixel: the menu font's line is taller than the bar, and its
        // underline keeps a clear row above the open item's bottom line.
        const QRect alone = textInk(painter->Font, "&Game", w, h, 0x8124 | DT_CENTER);
        QCOMPARE(inkIn(image, rgbOf(clBlack), 1, w - 1, 1, h - 1), alone.translated(0, -1));
        QVERIFY(alone.bottom() - 1 <= h - 3);
    }

    void aDisabledGlyphIsAShadowSilhouetteOverTheGutter() {
        const auto painter = gamePainter();
        TImageList images;
        auto glyph = std::make_unique<TBitmap>(16, 16);
        glyph->Transparent = true;
        glyph->GetCanvas().Brush.Color = clRed;
        glyph->GetCanvas().FillRect(Rect(4, 4, 12, 12));
        images.Images.push_back(std::move(glyph));
        TMenuItem item = dropDown("&About");
        item.Images = &images;
        item.ImageIndex = 0;
        // The glyph sits 4 pixels in, centred: (4, 4) in a 24-pixel item.
        const QImage enabled = paintItem(*painter, item, 24, 0);
        QCOMPARE(inkIn(enabled, rgbOf(clRed), 0, 25), QRect(8, 8, 8, 8));
        item.Enabled = false;
        const QImage disabled = paintItem(*painter, item, 24, ODS_DISABLED);
        QCOMPARE(inkIn(disabled, rgbOf(clBtnShadow), 0, 25), QRect(8, 8, 8, 8));
        QCOMPARE(disabled.pixel(5, 5), rgbOf(clBlue));
        QCOMPARE(disabled.pixel(24, 5), rgbOf(clBlue));
        QCOMPARE(disabled.pixel(25, 5), rgbOf(clTeal));
    }

    void theLookIsCrispAtTwiceTheDevicePixels() {
        const auto painter = gamePainter();
        TMenuItem item = dropDown("&Stop Melody", "Ctrl+S");
        item.Checked = true;
        for (unsigned state : {0u, unsigned(ODS_SELECTED | ODS_CHECKED)}) {
            const QImage one = paintItem(*painter, item, 18, state, 1);
            const QImage two = paintItem(*painter, item, 18, state, 2);
            for (int y = 0; y < two.height(); ++y)
                for (int x = 0; x < two.width(); ++x)
                    if (two.pixel(x, y) != one.pixel(x / 2, y / 2))
                        QFAIL(
                            qPrintable(QStringLiteral("device pixel %1,%2 differs").arg(x).arg(y)));
        }
    }
};

int main(int argc, char** argv) {
    platform::PrepareProcess();
    platform::GuardedApplication app(argc, argv);
    platform::PrepareApplication(app);
    TestRyMenu test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestRyMenu.moc"
