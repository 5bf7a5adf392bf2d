// SPDX-License-Identifier: GPL-3.0-or-later
// The classic pixel rules of the canvas that the custom controls draw with.
#include "CanvasImages.h"
#include "platform/gdi/Canvas.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QTest>

using namespace platform;
using namespace canvas_images;

Q_DECLARE_METATYPE(platform::TPenStyle)
Q_DECLARE_METATYPE(platform::TBrushStyle)

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
        QTest::newRow("wide pen is centred") << psSolid << 3 << bsSolid << QPoint(1, 2) << clBlack;
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

    void roundRectCornersLeaveTheClassicSteps_data() {
        QTest::addColumn<int>("ellipse");
        QTest::addColumn<QList<int>>("steps"); // unpainted pixels per row, outermost row first
        QTest::newRow("5 by 5") << 5 << QList<int>{1};
        QTest::newRow("6 by 6") << 6 << QList<int>{2, 1};
        QTest::newRow("10 by 10") << 10 << QList<int>{3, 2, 1};
        QTest::newRow("disabled gradient button, -6") << -6 << QList<int>{2, 1};
        QTest::newRow("panel and group box, -10") << -10 << QList<int>{3, 2, 1};
    }

    void roundRectCornersLeaveTheClassicSteps() {
        QFETCH(int, ellipse);
        QFETCH(QList<int>, steps);
        const QImage image = paint(30, 24, [ellipse](Canvas& c) {
            c.Brush.Color = clYellow;
            c.RoundRect(0, 0, 30, 24, ellipse, ellipse);
        });
        // Every corner, outline and fill alike, is the top-left one mirrored.
        QCOMPARE(image.mirrored(true, false), image);
        QCOMPARE(image.mirrored(false, true), image);
        steps << 0;
        for (int row = 0; row < steps.size(); ++row) {
            const int step = steps[row];
            for (int x = 0; x < step; ++x)
                QCOMPARE(image.pixel(x, row), rgbOf(clWhite));
            QCOMPARE(image.pixel(step, row), rgbOf(clBlack));
            // The outline is one pixel thin: the fill starts where the row above starts.
            if (row > 0)
                QCOMPARE(image.pixel(steps[row - 1], row), rgbOf(clYellow));
        }
    }

    void anEvenPenWidthPutsItsExtraPixelOutsideTheTopAndLeft() {
        const QImage image = paint(50, 40, [](Canvas& c) {
            c.Pen.Width = 2;
            c.Brush.Color = clRed;
            c.Rectangle(10, 10, 40, 30);
        });
        const QList<QRgb> across{rgbOf(clWhite), rgbOf(clBlack), rgbOf(clBlack), rgbOf(clRed)};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(image.pixel(8 + i, 20), across[i]);
            QCOMPARE(image.pixel(40 - i, 20), across[i]);
            QCOMPARE(image.pixel(25, 8 + i), across[i]);
            QCOMPARE(image.pixel(25, 30 - i), across[i]);
        }
    }

    void aWideOutlineLeavesItsOutermostCornerPixelOut_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QRect>("outline"); // outer pixels of Rectangle(10, 10, 40, 30)
        QTest::newRow("2 pixels") << 2 << QRect(QPoint(9, 9), QPoint(39, 29));
        QTest::newRow("3 pixels") << 3 << QRect(QPoint(9, 9), QPoint(40, 30));
        QTest::newRow("4 pixels") << 4 << QRect(QPoint(8, 8), QPoint(40, 30));
    }

    void aWideOutlineLeavesItsOutermostCornerPixelOut() {
        QFETCH(int, width);
        QFETCH(QRect, outline);
        const QImage image = paint(50, 40, [width](Canvas& c) {
            c.Pen.Width = width;
            c.Brush.Color = clRed;
            c.Rectangle(10, 10, 40, 30);
        });
        const QRgb black = rgbOf(clBlack);
        const QRect r = outline;
        for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
            QCOMPARE(image.pixel(corner), rgbOf(clWhite));
            const int inX = corner.x() == r.left() ? 1 : -1;
            const int inY = corner.y() == r.top() ? 1 : -1;
            QCOMPARE(image.pixel(corner + QPoint(inX, 0)), black);
            QCOMPARE(image.pixel(corner + QPoint(0, inY)), black);
            QCOMPARE(image.pixel(corner + QPoint(inX, inY)), black);
        }
        QCOMPARE(inkOf(image, black), r);
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

    void anAmpersandUnderlineStopsAPixelShortOfTheAdvance_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("before"); // text ahead of the underlined character
        QTest::addColumn<QString>("underlined");
        QTest::newRow("first letter") << "&File"
                                      << ""
                                      << "F";
        QTest::newRow("inside the word") << "Pa&use"
                                         << "Pa"
                                         << "u";
        QTest::newRow("wide letter") << "&Window"
                                     << ""
                                     << "W";
    }

    void anAmpersandUnderlineStopsAPixelShortOfTheAdvance() {
        QFETCH(QString, caption);
        QFETCH(QString, before);
        QFETCH(QString, underlined);
        QString plainText = caption;
        plainText.remove(u'&');
        int x = 0;
        int advance = 0;
        auto scene = [&](const QString& text, bool prefix) {
            return paint(100, 30, [&](Canvas& c) {
                c.Font = sansFont();
                c.Font.Color = clNavy;
                c.Brush.Style = bsClear;
                x = c.TextWidth(before.toStdString());
                advance = c.TextWidth(underlined.toStdString());
                if (prefix)
                    c.DrawText(text.toStdString(), Rect(0, 0, 100, 30), DT_LEFT);
                else
                    c.TextOut(0, 0, text.toStdString());
            });
        };
        const QImage underlinedImage = scene(caption, true);
        const QImage plain = scene(plainText, false);
        QImage line(plain.size(), QImage::Format_RGB32);
        line.fill(Qt::white);
        for (int y = 0; y < plain.height(); ++y)
            for (int px = 0; px < plain.width(); ++px)
                if (underlinedImage.pixel(px, y) != plain.pixel(px, y))
                    line.setPixel(px, y, underlinedImage.pixel(px, y));
        const int baseline = QFontMetrics(ToQFont(sansFont())).ascent();
        QCOMPARE(inkOf(line, rgbOf(clNavy)), QRect(x, baseline + 1, advance - 1, 1));
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
};

int main(int argc, char** argv) {
    PrepareProcess();
    GuardedApplication app(argc, argv);
    PrepareApplication(app);
    TestCanvas test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestCanvas.moc"
