// SPDX-License-Identifier: GPL-3.0-or-later
// The track bar: which moves raise OnChange, and how the classic vertical bar of the volume
// window is drawn.
#include "platform/ui/Application.h"
#include "platform/widgets/TrackBar.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

using namespace platform;

namespace {

QRgb rgbOf(TColor c) {
    return ToQColor(c).rgb();
}

// The volume window's bar: 41 by 81, vertical, 0..255, a 22-pixel thumb, ticks both sides
// at the two ends only; it counts its change notices.
struct VolumeBar {
    QWidget window;
    TTrackBar* bar = new TTrackBar(&window);
    int changes = 0;
    QObject* sender = nullptr;

    VolumeBar() {
        window.resize(60, 81);
        bar->setGeometry(0, 0, 41, 81);
        bar->SetMax(255);
        bar->SetOrientation(trVertical);
        bar->SetThumbLength(22);
        bar->SetTickMarks(tmBoth);
        bar->SetTickStyle(tsManual);
        bar->OnChange = [this](QObject* s) {
            ++changes;
            sender = s;
        };
    }

    QImage face() const {
        QImage image(bar->size(), QImage::Format_RGB32);
        QPainter painter(&image);
        Canvas canvas(painter);
        bar->PaintTo(canvas);
        return image;
    }

    QPoint thumbCentre() const {
        const TRect t = bar->ThumbRect();
        return {(t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2};
    }
};

} // namespace

class TestTrackBar : public QObject {
    Q_OBJECT
private slots:
    void programSetPositionsNeverRaiseOnChange() {
        VolumeBar v;
        v.bar->SetPosition(100);
        v.bar->SetPosition(300); // clamped to Max
        QCOMPARE(v.bar->Position(), 255);
        v.bar->SetMax(200);
        QCOMPARE(v.bar->Position(), 200);
        v.bar->SetMin(0);
        QCOMPARE(v.changes, 0);
    }

    void keysMoveByLineOrPageOrToTheEnds_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("up") << int(Qt::Key_Up) << 100 << 99;
        QTest::newRow("left") << int(Qt::Key_Left) << 100 << 99;
        QTest::newRow("down") << int(Qt::Key_Down) << 100 << 101;
        QTest::newRow("right") << int(Qt::Key_Right) << 100 << 101;
        QTest::newRow("page up") << int(Qt::Key_PageUp) << 100 << 98;
        QTest::newRow("page down") << int(Qt::Key_PageDown) << 100 << 102;
        QTest::newRow("home") << int(Qt::Key_Home) << 100 << 0;
        QTest::newRow("end") << int(Qt::Key_End) << 100 << 255;
        QTest::newRow("up at the top") << int(Qt::Key_Up) << 0 << 0;
        QTest::newRow("page down near the bottom") << int(Qt::Key_PageDown) << 254 << 255;
    }
    void keysMoveByLineOrPageOrToTheEnds() {
        QFETCH(int, key);
        QFETCH(int, from);
        QFETCH(int, to);
        VolumeBar v;
        v.bar->SetPosition(from);
        QTest::keyClick(v.bar, Qt::Key(key));
        QCOMPARE(v.bar->Position(), to);
        QCOMPARE(v.changes, from == to ? 0 : 1); // nothing moved, nothing to tell
        if (from != to)
            QCOMPARE(v.sender, static_cast<QObject*>(v.bar));
    }

    void theMouseDragsTheThumbAndPagesBesideIt() {
        VolumeBar v;
        v.window.show();
        const QPoint grab = v.thumbCentre();
        QTest::mousePress(v.bar, Qt::LeftButton, {}, grab);
        QTest::mouseMove(v.bar, grab + QPoint(0, 27)); // half the thumb's travel of 54
        QCOMPARE(v.bar->Position(), 128);
        QTest::mouseMove(v.bar, grab + QPoint(0, 200));
        QTest::mouseRelease(v.bar, Qt::LeftButton, {}, grab + QPoint(0, 200));
        QCOMPARE(v.bar->Position(), 255);
        QCOMPARE(v.changes, 2);

        QTest::mouseClick(v.bar, Qt::LeftButton, {}, QPoint(20, 12)); // above the thumb
        QCOMPARE(v.bar->Position(), 253);
        QCOMPARE(v.changes, 3);
    }

    void aWheelNotchMovesThreeLines() {
        VolumeBar v;
        v.bar->SetPosition(100);
        const QPointF at(20, 40);
        QWheelEvent away(at, v.bar->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, {},
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(v.bar, &away);
        QCOMPARE(v.bar->Position(), 97);
        QCOMPARE(v.changes, 1);
    }

    void smoothScrollingAddsUpToWholeNotches() {
        VolumeBar v;
        v.bar->SetPosition(100);
        const QPointF at(20, 40);
        auto turn = [&](int delta) {
            QWheelEvent part(at, v.bar->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {},
                             Qt::ScrollUpdate, false);
            QApplication::sendEvent(v.bar, &part);
        };
        for (int i = 0; i < 12; ++i) // three notches in quarters, as a touchpad sends them
            turn(-30);
        QCOMPARE(v.bar->Position(), 109);
        QCOMPARE(v.changes, 3);
        turn(50);
        turn(50);
        QCOMPARE(v.bar->Position(), 109); // 100 of 120: not yet a notch
        turn(20);
        QCOMPARE(v.bar->Position(), 106);
    }

    void theThumbTravelsTheChannel() {
        VolumeBar v;
        const TRect channel = v.bar->ChannelRect();
        QCOMPARE(QRect(channel.Left, channel.Top, channel.Width(), channel.Height()),
                 QRect(13, 8, 15, 65));
        TRect thumb = v.bar->ThumbRect();
        QCOMPARE(QRect(thumb.Left, thumb.Top, thumb.Width(), thumb.Height()), QRect(10, 8, 22, 11));
        v.bar->SetPosition(255);
        thumb = v.bar->ThumbRect();
        QCOMPARE(thumb.Bottom, channel.Bottom);
        QCOMPARE(v.bar->TickCoordinate(255), thumb.Top + 5); // the thumb's middle row
    }

    void theBarIsDrawnTheClassicWay_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<TColor>("expected");
        auto row = [](const char* name, int position, QPoint point, TColor expected) {
            QTest::newRow(name) << position << point << expected;
        };
        row("channel: outer shadow left", 255, {13, 30}, clBtnShadow);
        row("channel: inner dark shadow left", 255, {14, 30}, cl3DDkShadow);
        row("channel: inner dark shadow top", 255, {20, 9}, cl3DDkShadow);
        row("channel: white inside", 255, {20, 30}, clWhite);
        row("channel: highlight right", 255, {27, 30}, clBtnHighlight);
        row("channel: highlight bottom", 0, {20, 72}, clBtnHighlight);
        row("thumb: highlight top-left", 0, {10, 8}, clBtnHighlight);
        row("thumb: dark shadow bottom-right", 0, {31, 18}, cl3DDkShadow);
        row("thumb: shadow inside it", 0, {30, 17}, clBtnShadow);
        row("thumb: face", 0, {20, 13}, clBtnFace);
        row("thumb: covers the channel", 0, {20, 10}, clBtnFace);
        row("top tick, left", 0, {4, 13}, clBtnText);
        row("top tick, left end by the gap", 0, {7, 13}, clBtnText);
        row("gap before the thumb", 0, {8, 13}, clBtnFace);
        row("top tick, right", 0, {37, 13}, clBtnText);
        row("gap after the thumb", 0, {33, 13}, clBtnFace);
        row("bottom tick, left", 0, {5, 67}, clBtnText);
        row("bottom tick, right", 0, {34, 67}, clBtnText);
        row("no tick between the ends", 0, {5, 40}, clBtnFace);
        row("background", 0, {1, 1}, clBtnFace);
    }
    void theBarIsDrawnTheClassicWay() {
        QFETCH(int, position);
        QFETCH(QPoint, point);
        QFETCH(TColor, expected);
        VolumeBar v;
        v.bar->SetPosition(position);
        QCOMPARE(v.face().pixel(point), rgbOf(expected));
    }

    void theFocusedBarIsOutlinedInDotsAndAHeldThumbIsCheckered() {
        VolumeBar v;
        v.window.show();
        v.window.activateWindow();
        v.bar->setFocus();
        QApplication::processEvents();
        QVERIFY(v.bar->hasFocus());
        QImage face = v.face();
        const QRgb dot = qRgb(255 - 212, 255 - 208, 255 - 200); // the face inverted
        QCOMPARE(face.pixel(0, 0), dot);
        QCOMPARE(face.pixel(1, 0), rgbOf(clBtnFace));
        QCOMPARE(face.pixel(40, 80), dot);

        QTest::mousePress(v.bar, Qt::LeftButton, {}, v.thumbCentre());
        face = v.face();
        QCOMPARE(face.pixel(12, 11), rgbOf(clBtnHighlight));
        QCOMPARE(face.pixel(13, 11), rgbOf(clBtnFace));
        QTest::mouseRelease(v.bar, Qt::LeftButton, {}, v.thumbCentre());
        QCOMPARE(v.face().pixel(12, 11), rgbOf(clBtnFace));
    }
};

int main(int argc, char** argv) {
    PrepareProcess();
    QApplication app(argc, argv);
    PrepareApplication(app);
    TestTrackBar test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestTrackBar.moc"
