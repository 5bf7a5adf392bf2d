// SPDX-License-Identifier: GPL-3.0-or-later
// The tile button: its face in every state, its colour property and its double clicks.
#include "controls/ColorButtons.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <memory>

using namespace platform;
using controls::TColorButton;

namespace {

QRgb rgbOf(TColor c) {
    return ToQColor(c).rgb();
}

QRect inkOf(const QImage& image, QRgb color, const QRect& area) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == color)
                box |= QRect(x, y, 1, 1);
    return box;
}

// A window with one 49-by-49 tile in it, as on the board.
struct Board {
    QWidget window;
    TColorButton* tile = nullptr;
    TColorButton* other = nullptr;

    explicit Board(const QString& caption = QStringLiteral("7")) {
        window.resize(120, 60);
        tile = new TColorButton(&window);
        tile->setGeometry(0, 0, 49, 49);
        tile->setText(caption);
        tile->SetButtonColor(clTeal);
        TFont font;
        font.Height = 16;
        font.Style = fsBold;
        font.Color = clYellow;
        tile->SetFont(font);
        other = new TColorButton(&window);
        other->setGeometry(60, 0, 49, 49);
        window.show();
        QApplication::processEvents();
    }

    void focus(QWidget* w) {
        window.activateWindow();
        w->setFocus();
        QApplication::processEvents();
    }

    QImage face() { return tile->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

// Counts the paints a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class TestColorButton : public QObject {
    Q_OBJECT

private slots:
    void aNewButtonHasTheClassicDefaults() {
        TColorButton button;
        QCOMPARE(button.height(), 21);
        QCOMPARE(button.ButtonColor(), clBtnFace);
        QVERIFY(!button.Frame3D());
        QVERIFY(!button.DefaultFrame());
    }

    void theFaceShowsItsState_data() {
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<bool>("frame3D");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<TColor>("expected");
        auto row = [](const char* name, bool pressed, bool focused, bool frame3D, bool enabled,
                      QPoint point, TColor expected) {
            QTest::newRow(name) << pressed << focused << frame3D << enabled << point << expected;
        };
        row("up: raised outer edge", false, false, false, true, {0, 0}, clBtnHighlight);
        row("up: raised inner edge", false, false, false, true, {1, 1}, cl3DLight);
        row("up: dark outer corner", false, false, false, true, {48, 48}, cl3DDkShadow);
        row("up: shadow inner corner", false, false, false, true, {47, 47}, clBtnShadow);
        row("up: interior in ButtonColor", false, false, false, true, {2, 2}, clTeal);
        row("up: interior to its edge", false, false, false, true, {46, 46}, clTeal);
        row("pressed: flat shadow outline", true, false, false, true, {0, 0}, clBtnShadow);
        row("pressed: outline bottom-right", true, false, false, true, {48, 48}, clBtnShadow);
        row("pressed: colour from the second pixel", true, false, false, true, {1, 1}, clTeal);
        row("pressed 3D: outline", true, false, true, true, {0, 0}, clBtnShadow);
        row("pressed 3D: sunken outer edge", true, false, true, true, {1, 1}, cl3DDkShadow);
        row("pressed 3D: sunken inner edge", true, false, true, true, {2, 2}, clBtnShadow);
        row("pressed 3D: sunken bottom-right", true, false, true, true, {47, 47}, clBtnHighlight);
        row("pressed 3D: interior", true, false, true, true, {3, 3}, clTeal);
        row("focused: window-frame outline", false, true, false, true, {0, 0}, clWindowFrame);
        row("focused: outline bottom-right", false, true, false, true, {48, 48}, clWindowFrame);
        row("focused: raised edge inside it", false, true, false, true, {1, 1}, clBtnHighlight);
        row("focused: edge bottom-right", false, true, false, true, {47, 47}, cl3DDkShadow);
        row("focused: gap of the focus dots", false, true, false, true, {5, 4}, clTeal);
        row("focused and pressed: outline", true, true, false, true, {0, 0}, clWindowFrame);
        row("focused and pressed: shadow", true, true, false, true, {1, 1}, clBtnShadow);
        row("focused and pressed: colour", true, true, false, true, {2, 2}, clTeal);
        row("disabled: inactive edge", false, false, false, false, {0, 0}, clBtnHighlight);
        row("disabled: interior", false, false, false, false, {2, 2}, clTeal);
    }

    void theFaceShowsItsState() {
        QFETCH(bool, pressed);
        QFETCH(bool, focused);
        QFETCH(bool, frame3D);
        QFETCH(bool, enabled);
        QFETCH(QPoint, point);
        QFETCH(TColor, expected);
        Board board;
        board.tile->SetFrame3D(frame3D);
        board.tile->setEnabled(enabled);
        board.focus(focused ? static_cast<QWidget*>(board.tile) : board.other);
        QCOMPARE(board.tile->hasFocus(), focused);
        board.tile->setDown(pressed);
        QCOMPARE(board.face().pixel(point), rgbOf(expected));
    }

    void theFocusRectangleInvertsFourPixelsInside() {
        Board board;
        board.focus(board.tile);
        const QImage face = board.face();
        const QRgb inverted = qRgb(255, 127, 127); // teal inverted
        QCOMPARE(face.pixel(4, 4), inverted);
        QCOMPARE(face.pixel(44, 44), inverted);
        QCOMPARE(face.pixel(6, 4), inverted);
        QCOMPARE(face.pixel(3, 3), rgbOf(clTeal));
        QCOMPARE(face.pixel(5, 5), rgbOf(clTeal));
    }

    void thePressedCaptionMovesOnePixelRightAndDown() {
        Board board;
        const QRect area(2, 2, 45, 45);
        const QRect up = inkOf(board.face(), rgbOf(clYellow), area);
        board.tile->setDown(true);
        const QRect down = inkOf(board.face(), rgbOf(clYellow), area);
        QVERIFY(!up.isNull());
        QCOMPARE(down, up.translated(1, 1));
    }

    void theDisabledCaptionIsDrawnTwiceEngraved() {
        Board board;
        const QRect area(3, 3, 43, 43);
        const QRect enabledInk = inkOf(board.face(), rgbOf(clYellow), area);
        board.tile->setEnabled(false);
        const QImage face = board.face();
        QVERIFY(inkOf(face, rgbOf(clYellow), area).isNull());
        const QRect shadow = inkOf(face, rgbOf(clBtnShadow), area);
        const QRect light = inkOf(face, rgbOf(clBtnHighlight), area);
        QCOMPARE(shadow, enabledInk);
        QCOMPARE(light.bottomRight(), shadow.bottomRight() + QPoint(1, 1));
        QCOMPARE(board.tile->Font().Color, clYellow);
    }

    void aCaptionWiderThanTheFaceOverflowsEquallyOnBothSides() {
        Board board(QStringLiteral("WWWWWW"));
        // Paint far from the image's edge so nothing of the caption is cut off.
        QImage image(300, 49, QImage::Format_RGB32);
        image.fill(Qt::white);
        int advance = 0;
        int bearing = 0;
        {
            QPainter painter(&image);
            painter.translate(100, 0);
            Canvas canvas(painter);
            board.tile->DrawItem(canvas, 0);
            canvas.Font = board.tile->Font();
            advance = canvas.TextWidth("WWWWWW");
        }
        QImage alone(300, 49, QImage::Format_RGB32);
        alone.fill(Qt::white);
        {
            QPainter painter(&alone);
            Canvas canvas(painter);
            canvas.Font = board.tile->Font();
            canvas.Brush.Style = bsClear;
            canvas.TextOut(0, 0, "WWWWWW");
        }
        bearing = inkOf(alone, rgbOf(clYellow), alone.rect()).left();
        const QRect ink = inkOf(image, rgbOf(clYellow), image.rect());
        // The caption's bounds are the client area less one pixel on each side: 1 to 48.
        const int textLeft = ink.left() - bearing - 100;
        QVERIFY(advance > 47);
        QVERIFY(textLeft < 0);
        const int leftOverflow = 1 - textLeft;
        const int rightOverflow = textLeft + advance - 48;
        QVERIFY(std::abs(leftOverflow - rightOverflow) <= 1);
        QCOMPARE(leftOverflow - rightOverflow, (advance - 47) % 2 == 0 ? 0 : -1);
    }

    void onlyANewColourRepaints_data() {
        QTest::addColumn<TColor>("color");
        QTest::addColumn<int>("paints");
        QTest::newRow("same colour") << clTeal << 0;
        QTest::newRow("new colour") << clNavy << 1;
    }

    void onlyANewColourRepaints() {
        QFETCH(TColor, color);
        QFETCH(int, paints);
        Board board;
        PaintCounter counter;
        board.tile->installEventFilter(&counter);
        QApplication::processEvents(); // paints still due from the first show
        counter.paints = 0;
        board.tile->SetButtonColor(color);
        QApplication::processEvents();
        QCOMPARE(counter.paints, paints);
        QCOMPARE(board.tile->ButtonColor(), color);
    }

    void changingFrame3DAloneDoesNotRepaint() {
        Board board;
        PaintCounter counter;
        board.tile->installEventFilter(&counter);
        QApplication::processEvents();
        counter.paints = 0;
        board.tile->SetFrame3D(true);
        QApplication::processEvents();
        QCOMPARE(counter.paints, 0);
        QVERIFY(board.tile->Frame3D());
    }

    void theFocusedButtonActsAsTheDefault() {
        Board board;
        board.focus(board.tile);
        QVERIFY(board.tile->DefaultFrame());
        QVERIFY(!board.other->DefaultFrame());
        board.focus(board.other);
        QVERIFY(!board.tile->DefaultFrame());
        QVERIFY(board.other->DefaultFrame());
    }

    void aDoubleClickClicksTwice_data() {
        QTest::addColumn<bool>("secondPressToo");
        QTest::newRow("double click instead of the second press") << false;
        QTest::newRow("double click after the second press") << true;
    }

    void aDoubleClickClicksTwice() {
        QFETCH(bool, secondPressToo);
        Board board;
        QSignalSpy clicks(board.tile, &QPushButton::clicked);
        const QPoint at(20, 20);
        QTest::mouseClick(board.tile, Qt::LeftButton, {}, at);
        if (secondPressToo)
            QTest::mousePress(board.tile, Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at),
                        board.tile->mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(board.tile, &dbl);
        QVERIFY(board.tile->isDown());
        QTest::mouseRelease(board.tile, Qt::LeftButton, {}, at);
        QCOMPARE(clicks.count(), 2);
    }

    void aTileDrawnDownLooksPressedAndStillTakesItsClick() {
        Board board;
        board.tile->setDown(true);
        const QImage pressed = board.face();
        board.tile->setDown(false);
        board.tile->SetDrawnDown(true);
        QCOMPARE(board.face(), pressed);
        QVERIFY(!board.tile->isDown());
        // A real click in the middle of a blink counts once, whatever the blink does meanwhile.
        QSignalSpy clicks(board.tile, &QPushButton::clicked);
        QTest::mousePress(board.tile, Qt::LeftButton, {}, QPoint(20, 20));
        board.tile->SetDrawnDown(false);
        QTest::mouseRelease(board.tile, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(clicks.count(), 1);
        QVERIFY(board.face() != pressed);
    }

    // The hinted tile's number turns the selection colour, up and down; its face and frame keep
    // their colours, and the number returns to its own colour with the hint.
    void aHintedTileShowsItsNumberInTheSelectionColour() {
        Board board;
        const QRect area(2, 2, 45, 45);
        const QImage plain = board.face();
        const QRect number = inkOf(plain, rgbOf(clYellow), area);
        board.tile->SetHinted(true);
        for (bool down : {false, true}) {
            board.tile->SetDrawnDown(down);
            const QImage hinted = board.face();
            QCOMPARE(inkOf(hinted, rgbOf(clHighlight), area), number.translated(down, down));
            QVERIFY(inkOf(hinted, rgbOf(clYellow), area).isNull());
            QCOMPARE(hinted.pixel(5, 40), rgbOf(clTeal));
        }
        board.tile->SetDrawnDown(false);
        board.tile->SetHinted(false);
        QCOMPARE(board.face(), plain);
    }

    void aRightDoubleClickDoesNotPress() {
        Board board;
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(20, 20),
                        board.tile->mapToGlobal(QPointF(20, 20)), Qt::RightButton, Qt::RightButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(board.tile, &dbl);
        QVERIFY(!board.tile->isDown());
    }
};

int main(int argc, char** argv) {
    PrepareProcess();
    GuardedApplication app(argc, argv);
    PrepareApplication(app);
    TestColorButton test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestColorButton.moc"
