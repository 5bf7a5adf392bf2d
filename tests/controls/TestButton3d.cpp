// SPDX-License-Identifier: GPL-3.0-or-later
// The three-dimensional button: frame, bevels and focus rectangle up and pressed, both caption
// styles, Space and the mouse.
#include "controls/Button3d.h"
#include "platform/gdi/CanvasImages.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

using namespace platform;
using canvas_images::inkOf;
using canvas_images::rgbOf;
using controls::TButton3d;

namespace {

const QRgb kShadow = qRgb(128, 128, 128);
const QRgb kLight = qRgb(255, 255, 255);
const QRgb kDark = qRgb(0, 0, 0);
const QColor kFace(20, 60, 100);

// A window holding one button on a face of its own colour, shown and active, so the button
// can hold the focus.
struct Stage {
    QWidget window;
    TButton3d* button;
    int clicks = 0;

    Stage() {
        QPalette p = window.palette();
        p.setColor(QPalette::Window, kFace);
        window.setPalette(p);
        window.resize(200, 100);
        button = new TButton3d(&window);
        button->move(10, 10);
        TFont font;
        font.Color = clRed;
        button->SetFont(font);
        button->SetCaption("OK");
        button->OnClick = [this](QObject*) { ++clicks; };
        window.show();
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
    }

    QImage look() const {
        return canvas_images::paint(button->width(), button->height(),
                                    [this](Canvas& c) { button->PaintTo(c); });
    }
};

// The inside of the button, clear of the frame, bevel and focus rectangle.
QImage inside(const QImage& image) {
    return image.copy(4, 4, image.width() - 8, image.height() - 8);
}

} // namespace

class TestButton3d : public QObject {
    Q_OBJECT

private slots:
    void theDefaultsAreTheDesigned() {
        TButton3d button;
        QCOMPARE(button.size(), QSize(89, 33));
        QCOMPARE(button.Style(), controls::bsRecessed);
        QVERIFY(!button.Down());
        QCOMPARE(button.focusPolicy(), Qt::StrongFocus);
    }

    void theFrameAndBevelsLightUpLeftAndDarkDownRight_data() {
        QTest::addColumn<bool>("down");
        QTest::newRow("up") << false;
        QTest::newRow("pressed") << true;
    }

    void theFrameAndBevelsLightUpLeftAndDarkDownRight() {
        QFETCH(bool, down);
        Stage s;
        s.button->resize(30, 20);
        if (down)
            QTest::mousePress(s.button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(s.button->Down(), down);
        s.window.setFocus(); // the focus rectangle is another test's
        const QImage image = s.look();
        const QRgb light = down ? kDark : kLight;
        const QRgb dark = down ? kLight : kDark;
        const int w = 30, h = 20;
        QCOMPARE(image.pixel(0, 0), kShadow); // the frame
        QCOMPARE(image.pixel(0, h - 1), kShadow);
        QCOMPARE(image.pixel(w - 1, 0), kShadow);
        QCOMPARE(image.pixel(w - 1, 1), kShadow); // the dark right edge stops at y = 2
        QCOMPARE(image.pixel(w - 1, 2), dark);
        QCOMPARE(image.pixel(w - 1, h - 1), dark);
        QCOMPARE(image.pixel(2, h - 1), dark);
        QCOMPARE(image.pixel(1, h - 1), light); // the left edge starts at the bottom row
        QCOMPARE(image.pixel(1, 2), light);
        QCOMPARE(image.pixel(1, 1), light);
        QCOMPARE(image.pixel(w - 3, 1), light); // the top edge stops short of W - 2
        QCOMPARE(image.pixel(w - 2, 1), kFace.rgb());
        QCOMPARE(image.pixel(5, 5), kFace.rgb());
        if (down)
            QTest::mouseRelease(s.button, Qt::LeftButton, {}, QPoint(5, 5));
    }

    void aFocusedButtonShowsAShadowRectangleThreePixelsIn() {
        Stage s;
        s.button->resize(30, 20);
        s.window.setFocus();
        QCOMPARE(s.look().pixel(3, 3), kFace.rgb());
        s.button->setFocus();
        QVERIFY(s.button->hasFocus());
        const QImage image = s.look();
        for (const QPoint p : {QPoint(3, 3), QPoint(26, 3), QPoint(3, 16), QPoint(26, 16),
                               QPoint(10, 3), QPoint(3, 10)})
            QCOMPARE(image.pixel(p), kShadow);
        QCOMPARE(image.pixel(4, 4), kFace.rgb());
        QCOMPARE(image.pixel(27, 3), kFace.rgb());
        QCOMPARE(image.pixel(2, 2), kFace.rgb());
    }

    void aShadowedCaptionCastsItsShadowTwoAwayAndFourWhilePressed() {
        Stage s;
        s.button->SetStyle(controls::bsShadowed);
        s.window.setFocus();
        const QImage up = inside(s.look());
        const QRect text = inkOf(up, rgbOf(clRed));
        const QRect shadow = inkOf(up, kShadow);
        QVERIFY(!text.isNull());
        QCOMPARE(shadow.bottomRight(), text.bottomRight() + QPoint(2, 2));

        QTest::mousePress(s.button, Qt::LeftButton, {}, QPoint(5, 5));
        const QImage pressed = inside(s.look());
        QCOMPARE(inkOf(pressed, rgbOf(clRed)), text); // the caption itself stays
        QCOMPARE(inkOf(pressed, kShadow).bottomRight(), text.bottomRight() + QPoint(4, 4));
        QTest::mouseRelease(s.button, Qt::LeftButton, {}, QPoint(5, 5));
    }

    void aRecessedCaptionIsEngravedUpAndEmbossedPressed() {
        Stage s;
        s.window.setFocus();
        const QImage up = inside(s.look());
        const QRect text = inkOf(up, rgbOf(clRed));
        QCOMPARE(inkOf(up, kShadow).topLeft(), text.topLeft() - QPoint(1, 1));
        QCOMPARE(inkOf(up, kLight).bottomRight(), text.bottomRight() + QPoint(1, 1));

        QTest::mousePress(s.button, Qt::LeftButton, {}, QPoint(5, 5));
        const QImage pressed = inside(s.look());
        QCOMPARE(inkOf(pressed, rgbOf(clRed)), text);
        QCOMPARE(inkOf(pressed, kLight).topLeft(), text.topLeft() - QPoint(1, 1));
        QCOMPARE(inkOf(pressed, kShadow).bottomRight(), text.bottomRight() + QPoint(1, 1));
        QTest::mouseRelease(s.button, Qt::LeftButton, {}, QPoint(5, 5));
    }

    void spaceClicksOnceHoweverLongItIsHeld() {
        Stage s;
        s.button->setFocus();
        int keyDowns = 0, keyUps = 0;
        s.button->OnKeyDown = [&keyDowns](QObject*, int&, Qt::KeyboardModifiers) { ++keyDowns; };
        s.button->OnKeyUp = [&keyUps](QObject*, int&, Qt::KeyboardModifiers) { ++keyUps; };
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(s.button, &press);
        QVERIFY(s.button->Down());
        // Held: the platform repeats press and release.
        for (int i = 0; i < 3; ++i) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier,
                              QStringLiteral(" "), true);
            QApplication::sendEvent(s.button, &release);
            QKeyEvent again(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                            true);
            QApplication::sendEvent(s.button, &again);
        }
        QCOMPARE(s.clicks, 0);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(s.button, &release);
        QCOMPARE(s.clicks, 1);
        QVERIFY(!s.button->Down());
        QCOMPARE(keyDowns, 0);
        QCOMPARE(keyUps, 0);
        QTest::keyClick(s.button, Qt::Key_A);
        QCOMPARE(keyDowns, 1);
        QCOMPARE(keyUps, 1);
    }

    void altSpaceNeitherPressesNorClicks() {
        Stage s;
        s.button->setFocus();
        QTest::keyPress(s.button, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyClick(s.button, Qt::Key_Space, Qt::AltModifier);
        QTest::keyRelease(s.button, Qt::Key_Alt);
        QCOMPARE(s.clicks, 0);
        QVERIFY(!s.button->Down());
    }

    void aSpaceReleaseClicksEvenWithoutItsPress() {
        Stage s;
        s.button->setFocus();
        QTest::keyRelease(s.button, Qt::Key_Space);
        QCOMPARE(s.clicks, 1);
    }

    void aRightPressFocusesWithoutPressing() {
        Stage s;
        s.window.setFocus();
        QTest::mousePress(s.button, Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(s.button->hasFocus());
        QVERIFY(!s.button->Down());
        QTest::mouseRelease(s.button, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(s.clicks, 0);
    }

    void aLeftPressStaysPressedOutsideAndAReleaseThereDoesNotClick() {
        Stage s;
        QTest::mousePress(s.button, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(s.button, QPoint(150, 60));
        QVERIFY(s.button->Down());
        QTest::mouseRelease(s.button, Qt::LeftButton, {}, QPoint(150, 60));
        QVERIFY(!s.button->Down());
        QCOMPARE(s.clicks, 0);
        QTest::mouseClick(s.button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(s.clicks, 1);
    }
};

int main(int argc, char** argv) {
    platform::PrepareProcess();
    platform::GuardedApplication app(argc, argv);
    platform::PrepareApplication(app);
    TestButton3d test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestButton3d.moc"
