// SPDX-License-Identifier: GPL-3.0-or-later
// Bitmaps, raster operations and proportional bounds, and the crisp look at ratio 2.
#include "CanvasImages.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Canvas.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QImage>
#include <QTest>

using namespace platform;
using namespace canvas_images;

class TestBitmap : public QObject {
    Q_OBJECT

private slots:
    void rasterOperations_data() {
        QTest::addColumn<std::uint32_t>("rop");
        QTest::addColumn<TColor>("onBlack"); // result where the source pixel is black
        QTest::addColumn<TColor>("onWhite"); // and where it is white
        // Destination teal, brush red; the source is a black pixel on white.
        QTest::newRow("source copy") << SRCCOPY << clBlack << clWhite;
        QTest::newRow("pattern copy") << PATCOPY << clRed << clRed;
        QTest::newRow("source and") << SRCAND << clBlack << clTeal;
        QTest::newRow("silhouette") << std::uint32_t(0xE20746) << clTeal << clRed;
        QTest::newRow("destination invert") << DSTINVERT << TColor(0x7F7FFF) << TColor(0x7F7FFF);
    }

    void rasterOperations() {
        QFETCH(std::uint32_t, rop);
        QFETCH(TColor, onBlack);
        QFETCH(TColor, onWhite);
        TBitmap source(3, 1);
        source.GetCanvas().SetPixel(1, 0, clBlack);
        for (int ratio : {1, 2}) {
            const QImage image = paint(
                4, 2,
                [&](Canvas& c) {
                    c.Brush.Color = clRed;
                    c.BitBlt(0, 0, 3, 1, source, 0, 0, rop);
                },
                ratio, clTeal);
            const int r = ratio;
            QCOMPARE(image.pixel(1 * r, 0), rgbOf(onBlack));
            QCOMPARE(image.pixel(1 * r + r - 1, r - 1), rgbOf(onBlack));
            QCOMPARE(image.pixel(0, 0), rgbOf(onWhite));
            QCOMPARE(image.pixel(3 * r, 0), rgbOf(clTeal)); // outside the block
            QCOMPARE(image.pixel(0, r), rgbOf(clTeal));
        }
    }

    void aMonochromeSilhouettePaintsTheShapeInTheBrush() {
        TBitmap glyph(4, 1);
        glyph.Monochrome = true;
        glyph.GetCanvas().SetPixel(1, 0, clGray); // any non-white pixel is part of the shape
        const QImage image = paint(
            4, 1,
            [&](Canvas& c) {
                c.Brush.Color = clBtnShadow;
                c.SetTextColor(clWhite);
                c.SetBkColor(clBlack);
                c.BitBlt(0, 0, 4, 1, glyph, 0, 0, 0xE20746);
            },
            1, clYellow);
        QCOMPARE(image.pixel(1, 0), rgbOf(clBtnShadow));
        QCOMPARE(image.pixel(0, 0), rgbOf(clYellow));
        QCOMPARE(image.pixel(3, 0), rgbOf(clYellow));
    }

    void aTransparentBitmapLeavesItsWhiteOut() {
        TBitmap check(3, 1);
        check.GetCanvas().SetPixel(0, 0, clBlack);
        check.Transparent = true;
        const QImage image = paint(
            3, 1, [&](Canvas& c) { c.Draw(0, 0, check); }, 1, clTeal);
        QCOMPARE(image.pixel(0, 0), rgbOf(clBlack));
        QCOMPARE(image.pixel(1, 0), rgbOf(clTeal));
        check.Transparent = false;
        const QImage opaque = paint(
            3, 1, [&](Canvas& c) { c.Draw(0, 0, check); }, 1, clTeal);
        QCOMPARE(opaque.pixel(1, 0), rgbOf(clWhite));
    }

    void patBltFillsWithTheBrush() {
        const QImage image = paint(6, 6, [](Canvas& c) {
            c.Brush.Color = clNavy;
            c.PatBlt(1, 1, 3, 2, PATCOPY);
        });
        QCOMPARE(image.pixel(1, 1), rgbOf(clNavy));
        QCOMPARE(image.pixel(3, 2), rgbOf(clNavy));
        QCOMPARE(image.pixel(4, 2), rgbOf(clWhite));
        QCOMPARE(image.pixel(3, 3), rgbOf(clWhite));
    }

    void mulDivRoundsHalfAwayFromZero_data() {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("expected");
        QTest::newRow("exact") << 3 << 71 << 1 << 213;
        QTest::newRow("stripe bound") << 5 << 71 << 32 << 11; // 11.09
        QTest::newRow("half up") << 1 << 3 << 2 << 2;
        QTest::newRow("negative half") << -1 << 3 << 2 << -2;
        QTest::newRow("negative divisor") << 7 << 1 << -2 << -4;
        QTest::newRow("no overflow") << 1 << 2000000000 << 1000000000 << 2;
        QTest::newRow("large product") << 2000000000 << 2000000000 << 2000000000 << 2000000000;
        QTest::newRow("zero divisor") << 5 << 5 << 0 << -1;
    }

    void mulDivRoundsHalfAwayFromZero() {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, c);
        QFETCH(int, expected);
        QCOMPARE(MulDiv(a, b, c), expected);
    }

    void atRatioTwoEveryDesignPixelIsAWholeBlock() {
        TBitmap glyph(5, 5);
        glyph.Monochrome = true;
        glyph.GetCanvas().SetPixel(2, 2, clBlack);
        const Scene scene = [&](Canvas& c) {
            c.Pen.Color = clNavy;
            c.Brush.Color = clYellow;
            c.RoundRect(1, 1, 40, 24, 7, 7);
            c.MoveTo(2, 30);
            c.LineTo(30, 37);
            c.Font = sansFont();
            c.Brush.Style = bsClear;
            c.DrawText("&Velmar 15", Rect(4, 4, 38, 22), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            TRect r = Rect(42, 2, 62, 18);
            c.DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
            c.DrawFocusRect(Rect(44, 4, 60, 16));
            c.Brush.Color = clRed;
            c.BitBlt(44, 24, 5, 5, glyph, 0, 0, 0xE20746);
        };
        const QImage once = paint(64, 40, scene, 1);
        const QImage twice = paint(64, 40, scene, 2);
        QImage expected = once.scaled(128, 80, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        expected.setDevicePixelRatio(2);
        QCOMPARE(twice, expected);
    }
};

int main(int argc, char** argv) {
    PrepareProcess();
    GuardedApplication app(argc, argv);
    PrepareApplication(app);
    TestBitmap test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestBitmap.moc"
