// SPDX-License-Identifier: GPL-3.0-or-later
// The shadow label: where the shadow and the text fall for each offset and alignment, the
// automatic size, the colours that show, line breaks, the accelerator and the mouse.
#include "controls/XPLabel.h"
#include "platform/gdi/CanvasImages.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QSet>
#include <QTest>

using namespace platform;
using canvas_images::inkOf;
using canvas_images::rgbOf;
using controls::TXPLabel;

namespace {

constexpr TColor kSurface = clBlack;
const std::string kCaption = "Fig 4";

using Ink = QSet<QPair<int, int>>;

Ink inkSet(const QImage& image, TColor color) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == rgbOf(color))
                ink.insert({x, y});
    return ink;
}

// The caption's glyph pixels drawn at (dx, dy), kept within a w-by-h surface.
Ink glyphsAt(const TFont& font, const std::string& text, int dx, int dy, int w, int h) {
    const QImage image = canvas_images::paint(
        200, 60,
        [&](Canvas& c) {
            c.Font = font;
            c.Font.Color = clWhite;
            c.Brush.Style = bsClear;
            c.DrawText(text, Rect(0, 0, 200, 60), DT_LEFT);
        },
        1, kSurface);
    Ink moved;
    for (const auto& p : inkSet(image, clWhite)) {
        const int x = p.first + dx;
        const int y = p.second + dy;
        if (x >= 0 && y >= 0 && x < w && y < h)
            moved.insert({x, y});
    }
    return moved;
}

// One paint of the label on a surface already holding the label's font.
QImage look(TXPLabel& label) {
    const QImage image = canvas_images::paint(
        200, 60,
        [&label](Canvas& c) {
            c.Font = label.Font();
            label.Paint(c);
        },
        1, kSurface);
    return image.copy(0, 0, label.width(), label.height());
}

} // namespace

class TestXPLabel : public QObject {
    Q_OBJECT

private slots:
    void theDefaultsAreWhiteTextOverADarkBlueShadow() {
        TXPLabel label;
        QCOMPARE(label.size(), QSize(47, 14));
        QVERIFY(label.AutoSize());
        QCOMPARE(label.CaptionAlignment(), controls::caLeft);
        QCOMPARE(label.ForegroundColor(), clWhite);
        QCOMPARE(label.BackgroundColor(), TColor(0x881C10));
        QCOMPARE(label.Offset(), 1);
    }

    void withAutoSizeTheShadowLiesOffsetAwayFromTheText_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("alignment");
        for (int offset : {1, 0, -1, 3})
            for (int alignment : {controls::caLeft, controls::caRight, controls::caCenter})
                QTest::addRow("offset %d, alignment %d", offset, alignment) << offset << alignment;
    }

    void withAutoSizeTheShadowLiesOffsetAwayFromTheText() {
        QFETCH(int, offset);
        QFETCH(int, alignment);
        TXPLabel label;
        label.SetCaption(kCaption);
        label.SetOffset(offset);
        label.SetCaptionAlignment(static_cast<controls::TCaptionAlignment>(alignment));
        const QImage image = look(label);

        QImage probe(1, 1, QImage::Format_RGB32);
        QPainter painter(&probe);
        Canvas canvas(painter);
        canvas.Font = label.Font();
        const int w = canvas.TextWidth(kCaption) + offset;
        const int h = canvas.TextHeight(kCaption) + offset;
        // Text plus shadow exactly; a negative offset makes the label smaller than its text.
        QCOMPARE(label.size(), QSize(w, h));

        const Ink text = glyphsAt(label.Font(), kCaption, 0, 0, w, h);
        const Ink shadow = glyphsAt(label.Font(), kCaption, offset, offset, w, h) - text;
        QCOMPARE(inkSet(image, clWhite), text);
        QCOMPARE(inkSet(image, label.BackgroundColor()), shadow);
        if (offset == 0)
            QVERIFY(shadow.isEmpty());
    }

    void withoutAutoSizeTheLabelKeepsItsSizeAndAlignsInIt_data() {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("textX");
        QTest::addColumn<int>("shadowX");
        // A 100-pixel label, offset 3: the text's rectangle moves left by the offset (right) or
        // by half of it (centre); the shadow's is the label's less the offset at top and left.
        QTest::newRow("left") << int(controls::caLeft) << 0 << 3;
        QTest::newRow("right") << int(controls::caRight) << -3 << 3;
        QTest::newRow("centre") << int(controls::caCenter) << -1 << 3;
    }

    void withoutAutoSizeTheLabelKeepsItsSizeAndAlignsInIt() {
        QFETCH(int, alignment);
        QFETCH(int, textX);
        QFETCH(int, shadowX);
        TXPLabel label;
        label.SetAutoSize(false);
        label.resize(100, 20);
        label.SetOffset(3);
        label.SetCaption(kCaption);
        const auto a = static_cast<controls::TCaptionAlignment>(alignment);
        label.SetCaptionAlignment(a);
        const QImage image = look(label);
        QCOMPARE(label.size(), QSize(100, 20));

        QImage probe(1, 1, QImage::Format_RGB32);
        QPainter painter(&probe);
        Canvas canvas(painter);
        canvas.Font = label.Font();
        const int t = canvas.TextWidth(kCaption);
        // Where the alignment puts t pixels in a rectangle `width` wide.
        auto placed = [a, t](int width) {
            return a == controls::caLeft ? 0 : a == controls::caRight ? width - t : (width - t) / 2;
        };
        const Ink text = glyphsAt(label.Font(), kCaption, textX + placed(100), 0, 100, 20);
        const Ink shadow =
            glyphsAt(label.Font(), kCaption, shadowX + placed(100 - 3), 3, 100, 20) - text;
        QCOMPARE(inkSet(image, clWhite), text);
        QCOMPARE(inkSet(image, label.BackgroundColor()), shadow);
    }

    void textBeyondAFixedSizeIsCutOff() {
        QWidget surface;
        surface.resize(60, 20);
        auto* label = new TXPLabel(&surface);
        label->SetAutoSize(false);
        label->resize(6, 14);
        label->SetCaption("WWWW");
        QPalette p = surface.palette();
        p.setColor(QPalette::Window, Qt::black);
        surface.setPalette(p);
        surface.setAutoFillBackground(true);
        const QImage shot = surface.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(!inkOf(shot, rgbOf(clWhite)).isNull());
        QVERIFY(inkOf(shot, rgbOf(clWhite)).right() < 6);
    }

    void theFontColourNeverShowsAndColoursApply() {
        TXPLabel label;
        TFont font;
        font.Color = clRed;
        label.SetFont(font);
        label.SetForegroundColor(clYellow);
        label.SetBackgroundColor(clGreen);
        label.SetCaption(kCaption);
        const QImage image = look(label);
        QVERIFY(inkOf(image, rgbOf(clRed)).isNull());
        QVERIFY(!inkOf(image, rgbOf(clYellow)).isNull());
        QVERIFY(!inkOf(image, rgbOf(clGreen)).isNull());
    }

    void aLineBreakDrawsTwoTopAlignedLines() {
        TXPLabel label;
        label.SetAutoSize(false);
        label.resize(60, 50);
        label.SetCaption("Ab\nCd");
        const QImage image = look(label);
        const QRect ink = inkOf(image, rgbOf(clWhite));
        QImage probe(1, 1, QImage::Format_RGB32);
        QPainter painter(&probe);
        Canvas canvas(painter);
        const int line = canvas.TextHeight("A");
        QVERIFY(ink.top() < line / 2);
        QVERIFY(ink.bottom() >= line);
        QVERIFY(ink.bottom() < 2 * line);
    }

    void theFirstPaintMeasuresWithTheSurfacesFontTheNextWithItsOwn() {
        TXPLabel label;
        TFont big;
        big.Height = 24;
        label.SetFont(big);
        label.SetCaption(kCaption);
        QImage image(300, 80, QImage::Format_RGB32);
        QPainter painter(&image);
        Canvas canvas(painter); // the surface starts with the default font
        const int smallHeight = canvas.TextHeight(kCaption);
        label.Paint(canvas);
        QCOMPARE(label.height(), smallHeight + 1);
        label.Paint(canvas);
        QVERIFY(label.height() > smallHeight + 5);
    }

    void theAcceleratorIsTakenAndNothingElseHappens() {
        TXPLabel label;
        label.SetCaption("&About");
        int clicks = 0;
        label.OnClick = [&clicks](QObject*) { ++clicks; };
        QVERIFY(label.CMDialogChar(QChar('a')));
        QVERIFY(!label.CMDialogChar(QChar('b')));
        QCOMPARE(clicks, 0);
    }

    void mouseEventsReachTheHandlersAndStopAtTheLabel() {
        QWidget surface;
        surface.resize(100, 40);
        int surfacePresses = 0;
        struct PressCounter : QObject {
            int* count;
            explicit PressCounter(int* c) : count(c) {}
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::MouseButtonPress)
                    ++*count;
                return false;
            }
        } counter(&surfacePresses);
        surface.installEventFilter(&counter);
        auto* label = new TXPLabel(&surface);
        label->SetCaption(kCaption);
        int enters = 0, leaves = 0, clicks = 0, downs = 0;
        label->OnMouseEnter = [&enters](QObject*) { ++enters; };
        label->OnMouseLeave = [&leaves](QObject*) { ++leaves; };
        label->OnClick = [&clicks](QObject*) { ++clicks; };
        label->OnMouseDown = [&downs](QObject*, Qt::MouseButton, int, int) { ++downs; };
        surface.show();
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(label, &enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(label, &leave);
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseClick(label, Qt::RightButton, {}, QPoint(3, 3));
        QCOMPARE(enters, 1);
        QCOMPARE(leaves, 1);
        QCOMPARE(clicks, 1);
        QCOMPARE(downs, 2);
        QCOMPARE(surfacePresses, 0);
    }
};

int main(int argc, char** argv) {
    platform::PrepareProcess();
    platform::GuardedApplication app(argc, argv);
    platform::PrepareApplication(app);
    TestXPLabel test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestXPLabel.moc"
