// SPDX-License-Identifier: GPL-3.0-or-later
// The bordered panel and group box: clamped properties, repaints, outlines, corners, captions
// and their events.
#include "controls/XPButton.h"
#include "controls/XPGroupBox.h"
#include "controls/XPPanel.h"
#include "platform/gdi/CanvasImages.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QCheckBox>
#include <QEnterEvent>
#include <QTest>

using namespace platform;
using canvas_images::inkOf;
using canvas_images::rgbOf;
using controls::TXPBorderedControl;
using controls::TXPGroupBox;
using controls::TXPPanel;

namespace {

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

QImage look(const TXPBorderedControl& control) {
    return canvas_images::paint(control.width(), control.height(),
                                [&control](Canvas& c) { control.PaintTo(c); });
}

template <class Control> void prepare(Control& c, int w, int h) {
    c.resize(w, h);
    c.SetColor(clBlack);
    c.SetBorderColor(clRed);
    TFont font;
    font.Color = clYellow;
    c.SetFont(font);
}

// Paints after each assignment that asks for it, and counts them.
template <class Control> int repaintsFor(const std::function<void(Control&)>& assign) {
    Control control;
    control.show();
    QApplication::processEvents();
    PaintCounter counter;
    control.installEventFilter(&counter);
    assign(control);
    QApplication::processEvents();
    return counter.paints;
}

} // namespace

class TestBorderedControls : public QObject {
    Q_OBJECT

private slots:
    void theDefaultsAreTheDesigned() {
        TXPPanel panel;
        TXPGroupBox box;
        QCOMPARE(panel.size(), QSize(185, 41));
        QCOMPARE(box.size(), QSize(185, 105));
        QCOMPARE(panel.CaptionAlignment(), controls::caCenter);
        QCOMPARE(box.CaptionAlignment(), controls::caLeft);
        QCOMPARE(panel.BorderColor(), TColor(0xB8D8D7));
        QCOMPARE(panel.Font().Color, TColor(0xD05300));
        QCOMPARE(panel.BorderWidth(), 1);
        QCOMPARE(box.CaptionOffset(), 10);
        QCOMPARE(box.CornersOffset(), 10);
    }

    void clampedPropertiesStayInTheirRanges() {
        TXPPanel panel;
        panel.SetBorderWidth(0);
        QCOMPARE(panel.BorderWidth(), 1);
        panel.SetBorderWidth(11);
        QCOMPARE(panel.BorderWidth(), 10);
        panel.SetCaptionOffset(-3);
        QCOMPARE(panel.CaptionOffset(), 1);
        panel.SetCaptionOffset(31);
        QCOMPARE(panel.CaptionOffset(), 30);
        TXPGroupBox box;
        box.SetCornersOffset(0);
        QCOMPARE(box.CornersOffset(), 1);
        box.SetCornersOffset(99);
        QCOMPARE(box.CornersOffset(), 30);
    }

    void thePanelRepaintsAtEveryAssignmentTheGroupBoxOnlyOnChange() {
        const auto same = [](TXPBorderedControl& c) { c.SetBorderColor(c.BorderColor()); };
        QVERIFY(repaintsFor<TXPPanel>(same) > 0);
        QCOMPARE(repaintsFor<TXPGroupBox>(same), 0);
        QVERIFY(repaintsFor<TXPGroupBox>([](TXPBorderedControl& c) { c.SetBorderColor(1); }) > 0);
        // Compared before clamping: 11 differs from the stored 10, though it stores 10 again.
        const auto over = [](TXPBorderedControl& c) {
            c.SetBorderWidth(10);
            QApplication::processEvents();
            c.SetBorderWidth(11);
        };
        QVERIFY(repaintsFor<TXPGroupBox>(over) > 0);
    }

    void theDefaultCornersAreTenByTen() {
        TXPPanel panel;
        prepare(panel, 40, 30);
        const QImage image = look(panel);
        // Three, two and one unpainted pixels in the corner's first rows.
        QCOMPARE(image.pixel(2, 0), rgbOf(clBlack));
        QCOMPARE(image.pixel(3, 0), rgbOf(clRed));
        QCOMPARE(image.pixel(1, 1), rgbOf(clBlack));
        QCOMPARE(image.pixel(2, 1), rgbOf(clRed));
        QCOMPARE(image.pixel(0, 2), rgbOf(clBlack));
        QCOMPARE(image.pixel(1, 2), rgbOf(clRed));
        QCOMPARE(image.pixel(0, 3), rgbOf(clRed));
        QCOMPARE(image.pixel(20, 0), rgbOf(clRed));
        QCOMPARE(image.pixel(39, 15), rgbOf(clRed));
        QCOMPARE(image.pixel(20, 29), rgbOf(clRed));
        QCOMPARE(image.pixel(20, 15), rgbOf(clBlack));
    }

    void aBorderOneWiderThanTheCornersOffsetGivesSquareCorners() {
        TXPPanel panel;
        prepare(panel, 40, 30);
        panel.SetCornersOffset(2);
        panel.SetBorderWidth(3);
        const QImage image = look(panel);
        QCOMPARE(image.pixel(0, 0), rgbOf(clRed));
        QCOMPARE(image.pixel(39, 29), rgbOf(clRed));
    }

    void thePanelCentresItsCaption() {
        TXPPanel panel;
        prepare(panel, 185, 41);
        panel.SetCaption("Wide");
        const QImage image = look(panel);
        const QRect ink = inkOf(image, rgbOf(clYellow));
        QVERIFY(!ink.isNull());
        QVERIFY(std::abs((ink.left() + ink.right() + 1) / 2 - 92) <= 1);
        QVERIFY(ink.top() > 11 && ink.bottom() < 30);
        QVERIFY(std::abs((ink.top() + ink.bottom()) / 2 - 20) <= 3);
    }

    void aPanelCaptionShowsOnlyItsFirstLine() {
        TXPPanel panel;
        prepare(panel, 185, 41);
        panel.SetCaption("One");
        const QRect one = inkOf(look(panel), rgbOf(clYellow));
        panel.SetCaption("One\r\nTwo");
        QCOMPARE(inkOf(look(panel), rgbOf(clYellow)), one);
    }

    void theGroupBoxCaptionInterruptsTheTopOutline() {
        TXPGroupBox box;
        prepare(box, 161, 49);
        box.SetCaption(" Panel Color ");
        const QImage image = look(box);
        const QRect ink = inkOf(image, rgbOf(clYellow));
        QVERIFY(!ink.isNull());
        QVERIFY(ink.left() >= 10);
        int top = -1;
        for (int y = 0; y < 49 && top < 0; ++y)
            if (image.pixel(150, y) == rgbOf(clRed))
                top = y;
        QVERIFY(top > 0);
        QCOMPARE(image.pixel(ink.left() - 1, top), rgbOf(clBlack));
        QCOMPARE(image.pixel(ink.right() + 8, top), rgbOf(clRed));
    }

    void anEmptyGroupBoxCaptionLeavesAnUnbrokenOutlineHalfALineDown() {
        TXPGroupBox box;
        prepare(box, 161, 49);
        box.SetCaption("");
        const QImage image = look(box);
        int top = -1;
        for (int y = 0; y < 49 && top < 0; ++y)
            if (image.pixel(80, y) == rgbOf(clRed))
                top = y;
        TBitmap probe(1, 1);
        probe.GetCanvas().Font = box.Font();
        QCOMPARE(top, probe.GetCanvas().TextHeight("W") / 2);
        for (int x = 10; x < 151; ++x)
            QCOMPARE(image.pixel(x, top), rgbOf(clRed));
        for (int y = 0; y < top; ++y)
            QCOMPARE(image.pixel(80, y), rgbOf(clBlack));
    }

    void theCaptionsAcceleratorIsSwallowed() {
        QWidget form;
        auto* box = new TXPGroupBox(&form);
        box->setGeometry(0, 0, 150, 90);
        box->SetCaption("&Grp");
        auto* inner = new controls::TXPButton(box);
        inner->move(10, 30);
        inner->SetCaption("&Go");
        int clicks = 0;
        inner->OnClick = [&clicks](QObject*) { ++clicks; };
        auto* focus = new QCheckBox(QStringLiteral("x"), &form);
        focus->move(0, 100);
        form.show();
        form.activateWindow();
        focus->setFocus();
        QApplication::processEvents();
        QTest::keyClick(focus, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(clicks, 0);
        box->SetCaption("Grp");
        QTest::keyClick(focus, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(clicks, 1);
    }

    void clicksDoubleClicksAndTheMouseComingAndGoingAreReported() {
        TXPPanel panel;
        int clicks = 0, doubles = 0, enters = 0, leaves = 0;
        panel.OnClick = [&](QObject*) { ++clicks; };
        panel.OnDblClick = [&](QObject*) { ++doubles; };
        panel.OnMouseEnter = [&](QObject*) { ++enters; };
        panel.OnMouseLeave = [&](QObject*) { ++leaves; };
        panel.show();
        QApplication::processEvents();
        QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(clicks, 1);
        QTest::mouseDClick(&panel, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(doubles, 1);
        const int entersBefore = enters;
        const int leavesBefore = leaves;
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&panel, &enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&panel, &leave);
        QCOMPARE(enters, entersBefore + 1);
        QCOMPARE(leaves, leavesBefore + 1);
    }
};

int main(int argc, char** argv) {
    PrepareProcess();
    GuardedApplication app(argc, argv);
    PrepareApplication(app);
    TestBorderedControls test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestBorderedControls.moc"
