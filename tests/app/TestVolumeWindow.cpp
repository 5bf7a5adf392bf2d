// SPDX-License-Identifier: GPL-3.0-or-later
// The volume window: its shape, Ctrl+V opening it modally, and its slider on the music's
// volume.
#include "FormFixture.h"

#include "platform/audio/AudioEngine.h"
#include "platform/winmm/VolumeDevices.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>

using dialogs::TVolimesDialog;

class TestVolumeWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { platform::midiOutSetVolume(0, 0xFFFFFFFF); }

    void theWindowIsTheNarrowSliderWindowOfTheDesign() {
        FormFixture f;
        TVolimesDialog& d = *f.volume;
        QCOMPARE(d.windowTitle(), QString("Volime"));
        QCOMPARE(d.size(), QSize(66 - 2 * TVolimesDialog::DialogFrame, 81));
        QCOMPARE(d.minimumSize(), d.maximumSize());
        const Qt::WindowFlags flags = d.windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(d.palette().color(QPalette::Window), platform::ToQColor(platform::clBtnFace));
        // The classic 8-point face: 11 pixels to the em on a 13-pixel line.
        QCOMPARE(QFontMetrics(d.font()).height(), 13);
        QCOMPARE(d.Image1->geometry(), QRect(0, 8, 97, 73));
        QVERIFY(d.Image1->Transparent());
        QCOMPARE(d.TrackBar1->geometry(), QRect(16, 0, 41, 81));
        QCOMPARE(d.TrackBar1->Max(), 255);
        QCOMPARE(d.TrackBar1->Orientation(), platform::trVertical);
        QCOMPARE(d.TrackBar1->ThumbLength(), 22);
        QCOMPARE(d.TrackBar1->TickMarks(), platform::tmBoth);
        QCOMPARE(d.TrackBar1->TickStyle(), platform::tsManual);
        QCOMPARE(d.VolumeControl1->Interval(), 200);
        QCOMPARE(d.VolumeControl1->MidiTrackBar(), d.TrackBar1);
        QVERIFY(d.isHidden());
    }

    void theWedgeStandsLeftOfTheSliderWithItsSilverKeyedOut() {
        FormFixture f;
        const QImage shot = f.volume->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb white = qRgb(255, 255, 255);
        const QRgb grey = qRgb(128, 128, 128);
        QCOMPARE(shot.pixel(0, 8), white); // the wedge's top edge, 8 down in the picture box
        QCOMPARE(shot.pixel(9, 8), white);
        QCOMPARE(shot.pixel(10, 8), grey);  // its right edge
        QCOMPARE(shot.pixel(0, 40), white); // its left edge
        QCOMPARE(shot.pixel(11, 8), platform::ToQColor(platform::clBtnFace).rgb());
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                QVERIFY(shot.pixel(x, y) != qRgb(192, 192, 192));
    }

    void ctrlVOpensItModallyWithTheSliderFocusedAndTheGameGoesOn() {
        FormFixture f;
        f.form->PlayClick();
        const auto board = app::Game.Board;
        f.form->activateWindow();
        QApplication::processEvents();
        QWidget* modal = nullptr;
        QWidget* focused = nullptr;
        bool clockRunning = false;
        QTimer::singleShot(0, f.volume, [&] {
            modal = QApplication::activeModalWidget();
            clockRunning = f.form->TimerST.Running();
            // Offscreen, no window manager activates a new window; the desktop's would.
            QApplication::setActiveWindow(f.volume);
            focused = QApplication::focusWidget();
            f.volume->close();
        });
        f.sounds.clear();
        QTest::keyClick(f.form.get(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(modal, static_cast<QWidget*>(f.volume));
        QCOMPARE(focused, static_cast<QWidget*>(f.volume->TrackBar1));
        QVERIFY(f.volume->isHidden());
        QVERIFY(f.sounds.empty());
        QVERIFY(clockRunning);
        QVERIFY(app::Game.Board == board);
        QVERIFY(f.form->isVisible());
    }

    void theSliderSetsTheMusicVolumeAndFollowsIt() {
        FormFixture f;
        platform::TTrackBar* slider = f.volume->TrackBar1;
        QCOMPARE(slider->Position(), 0);
        QTest::keyClick(slider, Qt::Key_PageDown);
        QCOMPARE(platform::AudioEngine::Shared().MidiVolume(), 0xFD00FD00u);
        platform::midiOutSetVolume(0, 0x20002000);
        f.volume->VolumeControl1->PollTimer().Tick(); // one poll, as the shown window makes
        QCOMPARE(slider->Position(), 255 - 32);
    }
};

VELMAR_TEST_MAIN(TestVolumeWindow)
#include "TestVolumeWindow.moc"
