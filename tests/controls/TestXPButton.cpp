// SPDX-License-Identifier: GPL-3.0-or-later
// The gradient button: its looks in every state, and its mouse and keyboard rules.
#include "controls/XPButton.h"
#include "platform/gdi/CanvasImages.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QEnterEvent>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <memory>

using namespace platform;
using canvas_images::inkOf;
using canvas_images::rgbOf;
using controls::TXPButton;

namespace {

constexpr TColor kFrame = 0x733C00;
constexpr TColor kCorner = 0xAD967B;

// The four faces of a 73-by-25 button, top colour to bottom colour.
struct Gradient {
    TColor Top;
    TColor Bottom;
};
constexpr Gradient kFace{0xFFFFFF, 0xE7EBEF};
constexpr Gradient kHot{0xCEF3FF, 0x0096E7};   // the orange ring under the mouse
constexpr Gradient kFocus{0xFFE7CE, 0xEF846D}; // the blue ring of the focus or the default
constexpr Gradient kDown{0xC6CFD6, 0xEBF3F7};  // pressed

// Whether `pixel` shows `gradient` at `row` of a face `height` rows high: each channel where
// a straight blend of the two colours puts it, give or take three of the 32 stripes (a stripe's
// step, the rounding and the noise that carries a colour into the next stripe).
bool shows(QRgb pixel, Gradient gradient, int row, int height = 23) {
    const double t = (row + 0.5) / height;
    const auto near = [t](int got, TColor top, TColor bottom, int shift) {
        const int from = int(top >> shift) & 0xFF;
        const int to = int(bottom >> shift) & 0xFF;
        return std::abs(got - (from + (to - from) * t)) <= std::abs(to - from) * 3.0 / 31 + 1;
    };
    return near(qRed(pixel), gradient.Top, gradient.Bottom, 0) &&
           near(qGreen(pixel), gradient.Top, gradient.Bottom, 8) &&
           near(qBlue(pixel), gradient.Top, gradient.Bottom, 16);
}

// A form with two gradient buttons and one ordinary control.
struct Form {
    QDialog window;
    TXPButton* button = nullptr;
    TXPButton* other = nullptr;
    QCheckBox* box = nullptr;
    int clicks = 0;
    int otherClicks = 0;
    int enters = 0;
    int leaves = 0;
    int keyUps = 0;

    Form() {
        window.resize(200, 100);
        button = new TXPButton(&window);
        button->move(10, 10);
        button->SetCaption("&Go");
        button->SetColor(clTeal);
        button->OnClick = [this](QObject*) { ++clicks; };
        button->OnMouseEnter = [this](QObject*) { ++enters; };
        button->OnMouseLeave = [this](QObject*) { ++leaves; };
        button->OnKeyUp = [this](QObject*, int&, Qt::KeyboardModifiers) { ++keyUps; };
        other = new TXPButton(&window);
        other->move(100, 10);
        other->SetCaption("Other");
        other->OnClick = [this](QObject*) { ++otherClicks; };
        box = new QCheckBox(QStringLiteral("box"), &window);
        box->move(10, 60);
        window.show();
        window.activateWindow();
        QApplication::processEvents();
    }

    void focus(QWidget* w) {
        w->setFocus();
        QApplication::processEvents();
    }

    void enter(QWidget* w) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(w, &event);
    }

    void leave(QWidget* w) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(w, &event);
    }

    QImage look() const {
        return canvas_images::paint(73, 25, [this](Canvas& c) { button->PaintTo(c); });
    }
};

} // namespace

class TestXPButton : public QObject {
    Q_OBJECT

private slots:
    void aNewButtonIs73By25AndATabStop() {
        TXPButton button;
        QCOMPARE(button.size(), QSize(73, 25));
        QCOMPARE(button.focusPolicy(), Qt::StrongFocus);
        QVERIFY(!button.Default());
        QCOMPARE(button.ModalResult(), 0);
        QVERIFY(button.ShowFocusRect());
        QCOMPARE(button.FocusRectOffset(), 3);
        QCOMPARE(button.MouseBorderWidth(), 2);
        QCOMPARE(button.OffsetOnClick(), 0);
        QVERIFY(!button.IsHighlighted(false));
    }

    void itsColourFollowsTheParentUntilSet() {
        QWidget parent;
        QPalette p = parent.palette();
        p.setColor(QPalette::Window, ToQColor(clNavy));
        parent.setPalette(p);
        auto* button = new TXPButton(&parent);
        QCOMPARE(button->Color(), clNavy);
        button->SetColor(clTeal);
        p.setColor(QPalette::Window, ToQColor(clMaroon));
        parent.setPalette(p);
        QCOMPARE(button->Color(), clTeal);
    }

    void theNormalLookIsAFaceInARoundedFrame() {
        Form f;
        f.focus(f.box);
        const QImage image = f.look();
        QCOMPARE(image.pixel(0, 0), rgbOf(clTeal));
        QCOMPARE(image.pixel(36, 0), rgbOf(kFrame));
        QCOMPARE(image.pixel(0, 12), rgbOf(kFrame));
        QCOMPARE(image.pixel(72, 12), rgbOf(kFrame));
        QCOMPARE(image.pixel(36, 24), rgbOf(kFrame));
        for (QPoint p : {QPoint(0, 1), QPoint(1, 0), QPoint(71, 0), QPoint(72, 1), QPoint(0, 23),
                         QPoint(1, 24), QPoint(71, 24), QPoint(72, 23)})
            QCOMPARE(image.pixel(p), rgbOf(kCorner));
        QVERIFY(shows(image.pixel(2, 12), kFace, 11));
        QVERIFY(shows(image.pixel(60, 2), kFace, 1));
        QVERIFY(shows(image.pixel(60, 23), kFace, 22));
        QVERIFY(image.pixel(60, 2) != image.pixel(60, 23)); // a gradient, light at the top
    }

    // The bitmaps are drawn at the first paint, but from the moment of the size notice: a
    // face made while focused stays four pixels smaller, and the plain look then shows black
    // where it does not reach.
    void theFaceKeepsTheHighlightOfItsLastResize() {
        Form f;
        f.focus(f.button);
        f.button->resize(73, 26);
        f.button->resize(73, 25);
        f.focus(f.box);
        QVERIFY(!f.button->IsHighlighted(false));
        const QImage image = f.look();
        QVERIFY(shows(image.pixel(2, 12), kFace, 11, 19));
        QVERIFY(shows(image.pixel(66, 12), kFace, 11, 19));
        QCOMPARE(image.pixel(68, 12), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(36, 21), qRgb(0, 0, 0));
    }

    void theMouseOverItShowsTheOrangeRing() {
        Form f;
        f.focus(f.box);
        f.enter(f.button);
        QVERIFY(f.button->Hot());
        const QImage image = f.look();
        QVERIFY(shows(image.pixel(1, 12), kHot, 11));
        QVERIFY(shows(image.pixel(2, 12), kHot, 11));
        QVERIFY(shows(image.pixel(3, 12), kFace, 9));
        QVERIFY(shows(image.pixel(69, 12), kFace, 9));
        QVERIFY(shows(image.pixel(70, 12), kHot, 11));
    }

    void theFocusShowsTheBlueRingAndTheDottedRectangle() {
        Form f;
        f.focus(f.button);
        QVERIFY(f.button->FocusedFlag());
        const QImage image = f.look();
        QVERIFY(shows(image.pixel(2, 12), kFocus, 11));
        QCOMPARE(image.pixel(3, 3), qRgb(0, 0, 0)); // a dot inverts the white face
        QCOMPARE(image.pixel(4, 3), qRgb(255, 255, 255));
    }

    void theDefaultButtonShowsTheBlueRingOnlyWhileNoGradientButtonIsFocused() {
        Form f;
        f.button->SetDefault(true);
        f.focus(f.box);
        QVERIFY(!f.button->XPButtonActive());
        QImage image = f.look();
        QVERIFY(shows(image.pixel(2, 12), kFocus, 11));
        QCOMPARE(image.pixel(3, 3), qRgb(255, 255, 255)); // no focus rectangle
        f.focus(f.other);
        QVERIFY(f.button->XPButtonActive());
        image = f.look();
        QVERIFY(shows(image.pixel(2, 12), kFace, 11));
    }

    void pressedItShowsTheDarkerFaceAndMovedOffTheBlueRing() {
        Form f;
        QTest::mouseMove(f.button, QPoint(30, 12));
        QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(30, 12));
        QVERIFY(f.button->Down());
        QVERIFY(f.button->Hot());
        QImage image = f.look();
        QVERIFY(shows(image.pixel(2, 12), kDown, 11));
        QVERIFY(shows(image.pixel(36, 20), kDown, 19));
        QTest::mouseMove(f.button, QPoint(120, 12));
        QVERIFY(!f.button->Hot());
        image = f.look();
        QVERIFY(shows(image.pixel(2, 12), kFocus, 11));
        QVERIFY(shows(image.pixel(36, 20), kFace, 17));
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(120, 12));
    }

    void theCaptionMovesByOffsetOnClickWhenPressed() {
        Form f;
        f.button->SetFont([] {
            TFont font;
            font.Color = clRed;
            return font;
        }());
        const QRect normal = inkOf(f.look(), rgbOf(clRed));
        QVERIFY(!normal.isNull());
        QTest::mouseMove(f.button, QPoint(30, 12));
        QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(30, 12));
        QCOMPARE(inkOf(f.look(), rgbOf(clRed)), normal);
        f.button->SetOffsetOnClick(2);
        QCOMPARE(inkOf(f.look(), rgbOf(clRed)), normal.translated(2, 2));
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(30, 12));
    }

    void aDisabledButtonIsPaleWithGreyTextWhateverItsState() {
        Form f;
        f.focus(f.button);
        f.enter(f.button);
        f.button->setEnabled(false);
        const QImage image = f.look();
        QCOMPARE(image.pixel(0, 0), rgbOf(clTeal));
        QCOMPARE(image.pixel(36, 0), rgbOf(0xBFC7CF));
        QCOMPARE(image.pixel(36, 24), rgbOf(0xBFC7CF));
        QCOMPARE(image.pixel(2, 12), rgbOf(0xEFF7F0));
        QCOMPARE(image.pixel(1, 12), rgbOf(0xEFF7F0));
        QVERIFY(!inkOf(image, rgbOf(0x90A0A0)).isNull());
    }

    void theDisabledFrameHasSixBySixCorners() {
        Form f;
        f.button->setEnabled(false);
        const QImage image = f.look();
        // Two unpainted pixels in the corner's first row and one in the second.
        QCOMPARE(image.pixel(0, 0), rgbOf(clTeal));
        QCOMPARE(image.pixel(1, 0), rgbOf(clTeal));
        QCOMPARE(image.pixel(2, 0), rgbOf(0xBFC7CF));
        QCOMPARE(image.pixel(0, 1), rgbOf(clTeal));
        QCOMPARE(image.pixel(1, 1), rgbOf(0xBFC7CF));
    }

    void aLongCaptionEndsInAnEllipsisOnOneLine() {
        Form f;
        TFont font;
        font.Color = clRed;
        f.button->SetFont(font);
        f.button->SetCaption("A caption far too long for the button");
        const QRect ink = inkOf(f.look(), rgbOf(clRed));
        QVERIFY(ink.left() >= 4);
        QVERIFY(ink.right() < 69);
        QVERIFY(ink.height() <= 14);
    }

    void pressMoveOffReleaseGivesNoClickAndMovingBackGivesOne() {
        Form f;
        QTest::mouseMove(f.button, QPoint(30, 12));
        QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(30, 12));
        QTest::mouseMove(f.button, QPoint(120, 40));
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(120, 40));
        QCOMPARE(f.clicks, 0);
        QVERIFY(!f.button->Down());
        QTest::mouseMove(f.button, QPoint(30, 12));
        QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(30, 12));
        QTest::mouseMove(f.button, QPoint(120, 40));
        QTest::mouseMove(f.button, QPoint(31, 12));
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(31, 12));
        QCOMPARE(f.clicks, 1);
    }

    void aRightButtonReleaseWhileTheLeftHoldsCounts() {
        Form f;
        QTest::mouseMove(f.button, QPoint(30, 12));
        QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(30, 12));
        QTest::mouseRelease(f.button, Qt::RightButton, {}, QPoint(30, 12));
        QCOMPARE(f.clicks, 1);
        QVERIFY(!f.button->Down());
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(30, 12));
        QCOMPARE(f.clicks, 1);
    }

    void spaceClicksOnceWithEnterAndLeaveEvents() {
        Form f;
        f.focus(f.button);
        const int enters = f.enters;
        const int leaves = f.leaves;
        QTest::keyPress(f.button, Qt::Key_Space);
        QCOMPARE(f.enters, enters + 1);
        QVERIFY(f.button->Down());
        QCOMPARE(f.clicks, 0);
        QTest::keyRelease(f.button, Qt::Key_Space);
        QCOMPARE(f.clicks, 1);
        QCOMPARE(f.leaves, leaves + 1);
        QVERIFY(!f.button->Down());
        QTest::keyClick(f.button, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(f.clicks, 1);
    }

    void enterClicksTheFocusedButtonOrTheDefaultOneWhileNoGradientButtonIsFocused() {
        Form f;
        f.other->SetDefault(true);
        f.focus(f.button);
        QTest::keyClick(f.button, Qt::Key_Return);
        QCOMPARE(f.clicks, 1);
        QCOMPARE(f.otherClicks, 0);
        f.focus(f.box);
        QTest::keyClick(f.box, Qt::Key_Return);
        QCOMPARE(f.clicks, 1);
        QCOMPARE(f.otherClicks, 1);
        f.other->setEnabled(false);
        QTest::keyClick(f.box, Qt::Key_Return);
        QCOMPARE(f.otherClicks, 1);
    }

    void theAcceleratorClicksWithAltOrWhileFocused() {
        Form f;
        f.focus(f.box);
        QTest::keyClick(f.box, Qt::Key_G);
        QCOMPARE(f.clicks, 0);
        QTest::keyClick(f.box, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(f.clicks, 1);
        f.focus(f.button);
        QTest::keyClick(f.button, Qt::Key_G);
        QCOMPARE(f.clicks, 2);
    }

    void keyUpIsFiredOnlyWhileTheButtonIsHeld() {
        Form f;
        f.focus(f.button);
        QTest::keyClick(f.button, Qt::Key_A);
        QCOMPARE(f.keyUps, 0);
        QTest::keyPress(f.button, Qt::Key_Space);
        QTest::keyRelease(f.button, Qt::Key_A);
        QCOMPARE(f.keyUps, 1);
        QCOMPARE(f.clicks, 1);
        QTest::keyRelease(f.button, Qt::Key_Space);
        QCOMPARE(f.keyUps, 1);
    }

    void aClickSetsTheFormsModalResultEvenToNone() {
        Form f;
        f.window.setResult(5);
        f.button->Click();
        QCOMPARE(f.window.result(), 0);
        QCOMPARE(f.clicks, 1);
        TXPButton alone;
        alone.SetModalResult(2);
        alone.Click(); // no form: nothing to set, and nothing fails
        QVERIFY(!alone.isVisible());
    }

    // The handler runs while the dialog still stands; the dialog then closes through its own
    // close handler and ends its modal loop with the button's result.
    void aModalResultClosesTheDialogThroughItsCloseHandlerAfterOnClick() {
        struct Dialog : QDialog {
            QStringList* steps = nullptr;
            void closeEvent(QCloseEvent* event) override {
                steps->append(QStringLiteral("close"));
                QDialog::closeEvent(event);
            }
        };
        QStringList steps;
        Dialog dialog;
        dialog.steps = &steps;
        auto* button = new TXPButton(&dialog);
        button->SetModalResult(platform::mrOk);
        button->OnClick = [&](QObject*) {
            steps.append(dialog.isVisible() && dialog.result() == platform::mrOk
                             ? QStringLiteral("click while shown")
                             : QStringLiteral("click after"));
        };
        QTimer::singleShot(0, button, [button] { button->Click(); });
        QCOMPARE(dialog.exec(), int(platform::mrOk));
        QCOMPARE(steps, QStringList({"click while shown", "close"}));
    }

    void losingTheFocusAbandonsAPress() {
        Form f;
        QTest::mouseMove(f.button, QPoint(30, 12));
        QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(30, 12));
        f.focus(f.box);
        QVERIFY(!f.button->Down());
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(30, 12));
        QCOMPARE(f.clicks, 0);
    }
};

int main(int argc, char** argv) {
    PrepareProcess();
    GuardedApplication app(argc, argv);
    PrepareApplication(app);
    TestXPButton test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestXPButton.moc"
