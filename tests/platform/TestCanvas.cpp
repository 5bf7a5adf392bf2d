// SPDX-License-Identifier: GPL-3.0-or-later
// The classic pixel rules of the canvas that the custom controls draw with.
#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <functional>

using namespace platform;

Q_DECLARE_METATYPE(platform::TPenStyle)
Q_DECLARE_METATYPE(platform::TBrushStyle)

namespace {

QRgb rgbOf(TColor c) {
    return ToQColor(c).rgb();
}

using Scene = std::function<void(Canvas&)>;

QImage paint(int w, int h, const Scene& scene, int ratio = 1, TColor background = clWhite) {
    QImage image(w * ratio, h * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(ToQColor(background));
    QPainter painter(&image);
    Canvas canvas(painter);
    scene(canvas);
    return image;
}

TFont sansFont() {
    TFont font;
    font.Height = 16;
    font.Color = clBlack;
    return font;
}

// Leftmost, topmost, rightmost and bottommost pixel of `color`; null when there is none.
QRect inkOf(const QImage& image, QRgb color) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestCanvas : public QObject {
    Q_OBJECT

private slots:
    void rectanglesKeepTheirRightAndBottomEdgeOut_data() {
        QTest::addColumn<TPenStyle>("penStyle");
        QTest::addColumn<int>("penWidth");
        QTest::addColumn<TBrushStyle>("brushStyle");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<TColor>("expected");
        // Rectangle (2, 2)-(12, 10), black pen, red brush.
        QTest::newRow("outline top-left") << psSolid << 1 << bsSolid << QPoint(2, 2) << clBlack;
        QTest::newRow("outline bottom-right")
            << psSolid << 1 << bsSolid << QPoint(11, 9) << clBlack;
        QTest::newRow("right edge out") << psSolid << 1 << bsSolid << QPoint(12, 9) << clWhite;
        QTest::newRow("bottom edge out") << psSolid << 1 << bsSolid << QPoint(11, 10) << clWhite;
        QTest::newRow("interior") << psSolid << 1 << bsSolid << QPoint(3, 3) << clRed;
        QTest::newRow("clear brush") << psSolid << 1 << bsClear << QPoint(3, 3) << clWhite;
        QTest::newRow("inside frame ring")
            << psInsideFrame << 2 << bsSolid << QPoint(3, 3) << clBlack;
        QTest::newRow("inside frame keeps in")
            << psInsideFrame << 2 << bsSolid << QPoint(12, 10) << clWhite;
        QTest::newRow("inside frame interior")
            << psInsideFrame << 2 << bsSolid << QPoint(4, 4) << clRed;
        QTest::newRow("wide pen is centred") << psSolid << 3 << bsSolid << QPoint(1, 1) << clBlack;
        QTest::newRow("no pen fills from the corner")
            << psClear << 1 << bsSolid << QPoint(2, 2) << clRed;
        QTest::newRow("no pen stops a pixel early")
            << psClear << 1 << bsSolid << QPoint(11, 9) << clWhite;
    }

    void rectanglesKeepTheirRightAndBottomEdgeOut() {
        QFETCH(TPenStyle, penStyle);
        QFETCH(int, penWidth);
        QFETCH(TBrushStyle, brushStyle);
        QFETCH(QPoint, point);
        QFETCH(TColor, expected);
        const QImage image = paint(16, 14, [&](Canvas& c) {
            c.Pen = {clBlack, penWidth, penStyle};
            c.Brush = {clRed, brushStyle};
            c.Rectangle(2, 2, 12, 10);
        });
        QCOMPARE(image.pixel(point), rgbOf(expected));
    }

    void aFrameRectIsOnePixelOfBrushInsideTheRectangle() {
        const QImage image = paint(10, 10, [](Canvas& c) {
            c.Brush.Color = clBlue;
            c.FrameRect(Rect(1, 1, 8, 7));
        });
        QCOMPARE(image.pixel(1, 1), rgbOf(clBlue));
        QCOMPARE(image.pixel(7, 6), rgbOf(clBlue));
        QCOMPARE(image.pixel(8, 6), rgbOf(clWhite));
        QCOMPARE(image.pixel(2, 2), rgbOf(clWhite));
    }

    void linesLeaveOutTheirEndPointInEveryDirection_data() {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QPoint>("lastDrawn");
        QTest::newRow("right") << QPoint(2, 5) << QPoint(9, 5) << QPoint(8, 5);
        QTest::newRow("left") << QPoint(9, 5) << QPoint(2, 5) << QPoint(3, 5);
        QTest::newRow("down") << QPoint(5, 2) << QPoint(5, 9) << QPoint(5, 8);
        QTest::newRow("up") << QPoint(5, 9) << QPoint(5, 2) << QPoint(5, 3);
        QTest::newRow("down-right") << QPoint(1, 1) << QPoint(8, 8) << QPoint(7, 7);
        QTest::newRow("up-left") << QPoint(8, 8) << QPoint(1, 1) << QPoint(2, 2);
    }

    void linesLeaveOutTheirEndPointInEveryDirection() {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QPoint, lastDrawn);
        const QImage image = paint(12, 12, [&](Canvas& c) {
            c.MoveTo(from.x(), from.y());
            c.LineTo(to.x(), to.y());
        });
        QCOMPARE(image.pixel(from), rgbOf(clBlack));
        QCOMPARE(image.pixel(lastDrawn), rgbOf(clBlack));
        QCOMPARE(image.pixel(to), rgbOf(clWhite));
    }

    void roundRectCornersGrowWithTheEllipse() {
        // First outline pixel of the top row of (0, 0)-(40, 20) for each corner size.
        auto topRowStart = [](int ellipse) {
            const QImage image = paint(40, 20, [ellipse](Canvas& c) {
                c.Brush.Style = bsClear;
                c.RoundRect(0, 0, 40, 20, ellipse, ellipse);
            });
            return inkOf(image.copy(0, 0, 40, 1), rgbOf(clBlack)).left();
        };
        QCOMPARE(topRowStart(0), 0);
        QVERIFY(topRowStart(6) > 0);
        QVERIFY(topRowStart(12) > topRowStart(6));
    }

    void roundRectTakesANegativeEllipseByItsMagnitude() {
        auto shape = [](int w, int h) {
            return paint(30, 20, [w, h](Canvas& c) {
                c.Brush.Color = clYellow;
                c.RoundRect(0, 0, 30, 20, w, h);
            });
        };
        QCOMPARE(shape(-6, -6), shape(6, 6));
        QCOMPARE(shape(-10, 4), shape(10, 4));
    }

    void roundRectCornersAreMirrorImages() {
        const QImage image = paint(31, 21, [](Canvas& c) {
            c.Brush.Style = bsClear;
            c.RoundRect(0, 0, 31, 21, 9, 7);
        });
        QCOMPARE(image.mirrored(true, false), image);
        QCOMPARE(image.mirrored(false, true), image);
        QCOMPARE(image.pixel(0, 0), rgbOf(clWhite));
        QCOMPARE(image.pixel(15, 0), rgbOf(clBlack));
        QCOMPARE(image.pixel(30, 10), rgbOf(clBlack));
    }

    void pushButtonEdges_data() {
        QTest::addColumn<unsigned>("state");
        QTest::addColumn<TColor>("outerTopLeft");
        QTest::addColumn<TColor>("innerTopLeft");
        QTest::addColumn<TColor>("innerBottomRight");
        QTest::addColumn<TColor>("outerBottomRight");
        QTest::newRow("raised") << DFCS_BUTTONPUSH << clBtnHighlight << cl3DLight << clBtnShadow
                                << cl3DDkShadow;
        QTest::newRow("sunken") << (DFCS_BUTTONPUSH | DFCS_PUSHED) << cl3DDkShadow << clBtnShadow
                                << cl3DLight << clBtnHighlight;
        QTest::newRow("inactive keeps the edge")
            << (DFCS_BUTTONPUSH | DFCS_INACTIVE) << clBtnHighlight << cl3DLight << clBtnShadow
            << cl3DDkShadow;
    }

    void pushButtonEdges() {
        QFETCH(unsigned, state);
        QFETCH(TColor, outerTopLeft);
        QFETCH(TColor, innerTopLeft);
        QFETCH(TColor, innerBottomRight);
        QFETCH(TColor, outerBottomRight);
        TRect r = Rect(0, 0, 20, 16);
        const QImage image = paint(20, 16, [&](Canvas& c) {
            QVERIFY(c.DrawFrameControl(r, DFC_BUTTON, state | DFCS_ADJUSTRECT));
        });
        QCOMPARE(image.pixel(0, 0), rgbOf(outerTopLeft));
        QCOMPARE(image.pixel(0, 14), rgbOf(outerTopLeft));
        QCOMPARE(image.pixel(1, 1), rgbOf(innerTopLeft));
        QCOMPARE(image.pixel(18, 14), rgbOf(innerBottomRight));
        QCOMPARE(image.pixel(19, 15), rgbOf(outerBottomRight));
        QCOMPARE(image.pixel(19, 0), rgbOf(outerBottomRight)); // the top-right corner
        QCOMPARE(image.pixel(2, 2), rgbOf(clBtnFace));
        QCOMPARE(image.pixel(17, 13), rgbOf(clBtnFace));
        QCOMPARE(r.Left, 2);
        QCOMPARE(r.Top, 2);
        QCOMPARE(r.Right, 18);
        QCOMPARE(r.Bottom, 14);
    }

    void aFrameControlKeepsTheRectangleUnlessAskedToAdjust() {
        TRect r = Rect(0, 0, 20, 16);
        paint(20, 16, [&](Canvas& c) { c.DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONPUSH); });
        QCOMPARE(r.Left, 0);
        QCOMPARE(r.Right, 20);
    }

    void theFocusRectangleIsDottedAndASecondOneRemovesIt() {
        const TRect r = Rect(2, 2, 12, 9);
        const QImage before = paint(
            14, 11, [](Canvas&) {}, 1, clTeal);
        const QImage once = paint(
            14, 11, [&](Canvas& c) { c.DrawFocusRect(r); }, 1, clTeal);
        const QImage twice = paint(
            14, 11,
            [&](Canvas& c) {
                c.DrawFocusRect(r);
                c.DrawFocusRect(r);
            },
            1, clTeal);
        const QRgb inverted = qRgb(255 - 0, 255 - 128, 255 - 128);
        QCOMPARE(once.pixel(2, 2), inverted);
        QCOMPARE(once.pixel(3, 2), rgbOf(clTeal));
        QCOMPARE(once.pixel(4, 2), inverted);
        QCOMPARE(once.pixel(11, 7), inverted);
        QCOMPARE(once.pixel(10, 8), inverted);
        QCOMPARE(once.pixel(3, 3), rgbOf(clTeal));
        QCOMPARE(once.pixel(12, 9), rgbOf(clTeal));
        QCOMPARE(twice, before);
    }

    void pixelsReadBackWhatWasSet() {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        Canvas canvas(painter);
        canvas.SetPixel(1, 2, clTeal);
        QCOMPARE(canvas.GetPixel(1, 2), clTeal);
        QCOMPARE(canvas.GetPixel(0, 0), clWhite);
        QCOMPARE(canvas.GetPixel(4, 0), CLR_INVALID);
    }

    void drawTextPlacesALineAsItsFlagsSay_data() {
        QTest::addColumn<unsigned>("format");
        QTest::addColumn<int>("expectedX"); // -1 left, 0 centre, 1 right
        QTest::addColumn<bool>("centredVertically");
        QTest::newRow("left") << DT_LEFT << -1 << false;
        QTest::newRow("centre") << DT_CENTER << 0 << false;
        QTest::newRow("right") << DT_RIGHT << 1 << false;
        QTest::newRow("single line centred both ways")
            << (DT_CENTER | DT_VCENTER | DT_SINGLELINE) << 0 << true;
        QTest::newRow("vertical centring needs a single line")
            << (DT_CENTER | DT_VCENTER) << 0 << false;
    }

    void drawTextPlacesALineAsItsFlagsSay() {
        QFETCH(unsigned, format);
        QFETCH(int, expectedX);
        QFETCH(bool, centredVertically);
        const TRect r = Rect(5, 3, 95, 43);
        const std::string text = "Velmar";
        const QImage drawn = paint(100, 50, [&](Canvas& c) {
            c.Font = sansFont();
            c.Brush.Style = bsClear;
            c.DrawText(text, r, format);
        });
        const QImage expected = paint(100, 50, [&](Canvas& c) {
            c.Font = sansFont();
            c.Brush.Style = bsClear;
            const int w = c.TextWidth(text);
            const int x = expectedX < 0   ? r.Left
                          : expectedX > 0 ? r.Right - w
                                          : r.Left + (90 - w) / 2;
            const int y = centredVertically ? r.Top + (40 - c.TextHeight(text)) / 2 : r.Top;
            c.TextOut(x, y, text);
        });
        QCOMPARE(drawn, expected);
    }

    void aTooLongLineEndsInAnEllipsis() {
        std::string fitting;
        const QImage drawn = paint(120, 30, [&](Canvas& c) {
            c.Font = sansFont();
            c.Brush.Style = bsClear;
            const int w = c.TextWidth("Param...");
            c.DrawText("Parameters by default", Rect(0, 0, w, 30), DT_SINGLELINE | DT_END_ELLIPSIS);
        });
        const QImage expected = paint(120, 30, [](Canvas& c) {
            c.Font = sansFont();
            c.Brush.Style = bsClear;
            c.TextOut(0, 0, "Param...");
        });
        QCOMPARE(drawn, expected);
    }

    void anAmpersandUnderlinesTheNextCharacter() {
        auto drawn = [](const std::string& text, bool prefix) {
            return paint(80, 30, [&](Canvas& c) {
                c.Font = sansFont();
                c.Brush.Style = bsClear;
                if (prefix)
                    c.DrawText(text, Rect(0, 0, 80, 30), DT_LEFT);
                else
                    c.TextOut(0, 0, text);
            });
        };
        const QImage underlined = drawn("&File", true);
        const QImage plain = drawn("File", false);
        QRect changed;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x)
                if (underlined.pixel(x, y) != plain.pixel(x, y))
                    changed |= QRect(x, y, 1, 1);
        QVERIFY(!changed.isNull());
        QCOMPARE(changed.height(), 1);
        QCOMPARE(changed.left(), 0);
        QVERIFY(changed.right() < 12); // under the "F" only
        QCOMPARE(drawn("A && B", true), drawn("A & B", false));
    }

    void calcRectMeasuresEveryLineWithoutDrawing() {
        TRect r = Rect(3, 4, 500, 500);
        int width = 0;
        int height = 0;
        const QImage image = paint(50, 50, [&](Canvas& c) {
            c.Font = sansFont();
            width = c.TextWidth("Sound & music");
            height = c.TextHeight("W");
            QCOMPARE(c.DrawText("Short\nSound && music", r, DT_CALCRECT), 2 * height);
        });
        QCOMPARE(r.Left, 3);
        QCOMPARE(r.Right, 3 + width);
        QCOMPARE(r.Bottom, 4 + 2 * height);
        QVERIFY(inkOf(image, rgbOf(clBlack)).isNull());
    }

    void withoutSingleLineEachLineStandsBelowTheLast() {
        const QImage drawn = paint(60, 50, [](Canvas& c) {
            c.Font = sansFont();
            c.Brush.Style = bsClear;
            c.DrawText("Up\nDown", Rect(0, 0, 60, 50), DT_LEFT);
        });
        const QImage expected = paint(60, 50, [](Canvas& c) {
            c.Font = sansFont();
            c.Brush.Style = bsClear;
            c.TextOut(0, 0, "Up");
            c.TextOut(0, c.TextHeight("W"), "Down");
        });
        QCOMPARE(drawn, expected);
    }

    void textIsClippedToItsRectangleUnlessNoClip() {
        auto draw = [](unsigned extra) {
            return paint(80, 30, [extra](Canvas& c) {
                c.Font = sansFont();
                c.Brush.Style = bsClear;
                c.DrawText("Velmar", Rect(0, 0, 10, 30), DT_LEFT | extra);
            });
        };
        QVERIFY(inkOf(draw(0), rgbOf(clBlack)).right() < 10);
        QVERIFY(inkOf(draw(DT_NOCLIP), rgbOf(clBlack)).right() >= 10);
    }

    void aSolidBrushPutsABoxBehindTheText() {
        const QImage image = paint(80, 30, [](Canvas& c) {
            c.Font = sansFont();
            c.Brush.Color = clYellow;
            c.DrawText("Velmar", Rect(0, 0, 80, 30), DT_LEFT);
        });
        QCOMPARE(image.pixel(0, 0), rgbOf(clYellow));
        QCOMPARE(image.pixel(79, 29), rgbOf(clWhite));
    }

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
    TestCanvas test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestCanvas.moc"
