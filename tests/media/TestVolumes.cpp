// SPDX-License-Identifier: GPL-3.0-or-later
// The volume component: the devices it finds, its byte arithmetic, and how it keeps track bars
// and device volumes in step.
#include "media/Volumes.h"
#include "platform/ui/Application.h"
#include "platform/winmm/VolumeDevices.h"

#include <QApplication>
#include <QTest>
#include <memory>

using media::TVolumeControl;
using namespace platform;

namespace {

constexpr int kCD = 0;
constexpr int kWave = 1;
constexpr int kMidi = 2;

std::uint32_t midiWord() {
    std::uint32_t word = 0;
    midiOutGetVolume(0, &word);
    return word;
}

std::unique_ptr<TTrackBar> bar(TTrackBarOrientation orientation) {
    auto b = std::make_unique<TTrackBar>();
    b->SetOrientation(orientation);
    return b;
}

} // namespace

class TestVolumes : public QObject {
    Q_OBJECT
private slots:
    void init() {
        waveOutSetVolume(0, 0xFFFFFFFF);
        midiOutSetVolume(0, 0xFFFFFFFF);
    }

    void theWaveAndMidiDevicesAreFoundAndNoCd() {
        TVolumeControl control;
        QCOMPARE(control.DeviceNumber(kCD), TVolumeControl::NoDevice);
        QCOMPARE(control.DeviceNumber(kWave), 0);
        QCOMPARE(control.DeviceNumber(kMidi), 0);
        QCOMPARE(control.Interval(), 500);
        QCOMPARE(control.MidiTrackBar(), nullptr);
    }

    void everyByteReadsBackUnchangedWithEqualChannels() {
        TVolumeControl control;
        for (int v = 0; v <= 255; ++v) {
            control.SetMidiVolume(std::uint8_t(v));
            control.SetWaveVolume(std::uint8_t(255 - v));
            QCOMPARE(int(control.MidiVolume()), v);
            QCOMPARE(int(control.WaveVolume()), 255 - v);
        }
        control.SetMidiVolume(255);
        QCOMPARE(midiWord(), 0xFF00FF00u); // not 0xFFFF per channel
    }

    void aWordReadsAsTheMeanOfItsChannels_data() {
        QTest::addColumn<std::uint32_t>("word");
        QTest::addColumn<int>("volume");
        QTest::newRow("both full") << std::uint32_t(0xFFFFFFFF) << 255;
        QTest::newRow("left full, right silent") << std::uint32_t(0x0000FFFF) << 127;
        QTest::newRow("right full, left silent") << std::uint32_t(0xFFFF0000) << 127;
        QTest::newRow("both half") << std::uint32_t(0x80008000) << 128;
        QTest::newRow("just below a step") << std::uint32_t(0x00FF00FF) << 0;
    }
    void aWordReadsAsTheMeanOfItsChannels() {
        QFETCH(std::uint32_t, word);
        QFETCH(int, volume);
        TVolumeControl control;
        midiOutSetVolume(0, word);
        QCOMPARE(int(control.MidiVolume()), volume);
    }

    void theCdKindReadsSilentAndIgnoresItsBar() {
        TVolumeControl control;
        control.SetCDVolume(200);
        QCOMPARE(int(control.CDVolume()), 0);
        auto cd = bar(trVertical);
        control.SetCDTrackBar(cd.get());
        QCOMPARE(cd->Position(), 255); // the thumb at the bottom
        QTest::keyClick(cd.get(), Qt::Key_Home);
        QCOMPARE(midiWord(), 0xFFFFFFFFu);
        control.PollTimer().Tick();
        QCOMPARE(cd->Position(), 255);
    }

    void aVerticalSliderIsLoudestAtTheTop() {
        TVolumeControl control;
        auto slider = bar(trVertical);
        control.SetMidiTrackBar(slider.get());
        QCOMPARE(slider->Min(), 0);
        QCOMPARE(slider->Max(), 255);
        QCOMPARE(slider->Position(), 0);
        QTest::keyClick(slider.get(), Qt::Key_End);
        QCOMPARE(midiWord(), 0u);
        QTest::keyClick(slider.get(), Qt::Key_Home);
        QCOMPARE(midiWord(), 0xFF00FF00u);
        QTest::keyClick(slider.get(), Qt::Key_Down);
        QCOMPARE(int(control.MidiVolume()), 254);
    }

    void theNextPollShowsAVolumeSetAnyWay() {
        TVolumeControl control;
        auto vertical = bar(trVertical);
        auto horizontal = bar(trHorizontal);
        control.SetMidiTrackBar(vertical.get());
        control.SetWaveTrackBar(horizontal.get());
        control.SetVolume(kMidi, 100);
        waveOutSetVolume(0, 0x40004000); // behind the control's back, as a mixer would
        QCOMPARE(vertical->Position(), 0);
        control.PollTimer().Tick();
        QCOMPARE(vertical->Position(), 155);
        QCOMPARE(horizontal->Position(), 64);
        QTest::keyClick(horizontal.get(), Qt::Key_Right);
        QCOMPARE(int(control.WaveVolume()), 65);
    }

    void onlyADifferentBarIsBroughtUpToDateAtOnce() {
        TVolumeControl control;
        auto first = bar(trVertical);
        auto second = bar(trVertical);
        control.SetMidiTrackBar(first.get());
        midiOutSetVolume(0, 0x80008000);
        control.SetMidiTrackBar(first.get());
        QCOMPARE(first->Position(), 0);
        control.SetMidiTrackBar(second.get());
        QCOMPARE(second->Position(), 127);
        // The bar let go of no longer sets the volume.
        QTest::keyClick(first.get(), Qt::Key_End);
        QCOMPARE(int(control.MidiVolume()), 128);
    }

    void aDestroyedBarIsForgotten() {
        TVolumeControl control;
        auto slider = bar(trVertical);
        control.SetMidiTrackBar(slider.get());
        slider.reset();
        QCOMPARE(control.MidiTrackBar(), nullptr);
        control.PollTimer().Tick(); // touches nothing that is gone
        auto next = bar(trVertical);
        control.SetMidiTrackBar(next.get());
        QCOMPARE(control.MidiTrackBar(), next.get());
    }

    void aDestroyedControlLeavesItsBarsWithoutAHandler() {
        auto slider = bar(trVertical);
        {
            TVolumeControl control;
            control.SetMidiTrackBar(slider.get());
            QVERIFY(slider->OnChange);
        }
        QVERIFY(!slider->OnChange);
        QTest::keyClick(slider.get(), Qt::Key_End);
        QCOMPARE(midiWord(), 0xFFFFFFFFu);
    }

    void thePollRunsFromCreationWithoutAnyBar() {
        TVolumeControl control;
        control.SetInterval(200);
        QCoreApplication::processEvents(); // timers start on the first loop turn
        QVERIFY(control.PollTimer().Running());
        QCOMPARE(control.PollTimer().EffectiveInterval(), 200);
    }
};

int main(int argc, char** argv) {
    PrepareProcess();
    QApplication app(argc, argv);
    PrepareApplication(app);
    TestVolumes test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestVolumes.moc"
