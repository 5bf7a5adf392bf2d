// SPDX-License-Identifier: GPL-3.0-or-later
// The volume devices: which exist, what their capability records say, and that their volume
// words are the audio engine's.
#include "platform/audio/AudioEngine.h"
#include "platform/winmm/VolumeDevices.h"

#include <QTest>
#include <cstring>

using namespace platform;

class TestVolumeDevices : public QObject {
    Q_OBJECT
private slots:
    void theEngineIsOneWaveAndOneMidiDeviceWithoutACdDevice() {
        QCOMPARE(auxGetNumDevs(), 0u);
        QCOMPARE(waveOutGetNumDevs(), 1u);
        QCOMPARE(midiOutGetNumDevs(), 1u);
        AUXCAPSA aux{};
        QCOMPARE(auxGetDevCapsA(0, &aux, sizeof aux), MMSYSERR_BADDEVICEID);
        std::uint32_t word = 7;
        QCOMPARE(auxGetVolume(0, &word), MMSYSERR_BADDEVICEID);
        QCOMPARE(word, 7u);
        QCOMPARE(auxSetVolume(0, 0), MMSYSERR_BADDEVICEID);
    }

    void deviceZeroHasStereoVolume() {
        WAVEOUTCAPSA wave;
        std::memset(&wave, 0xAB, sizeof wave);
        QCOMPARE(waveOutGetDevCapsA(0, &wave, sizeof wave), MMSYSERR_NOERROR);
        QCOMPARE(wave.dwSupport, WAVECAPS_VOLUME | WAVECAPS_LRVOLUME);
        QCOMPARE(wave.wChannels, std::uint16_t(2));
        QCOMPARE(QByteArray(wave.szPname), QByteArray("Velmar Wave Out"));

        MIDIOUTCAPSA midi;
        std::memset(&midi, 0xAB, sizeof midi);
        QCOMPARE(midiOutGetDevCapsA(0, &midi, sizeof midi), MMSYSERR_NOERROR);
        QCOMPARE(midi.dwSupport, MIDICAPS_VOLUME | MIDICAPS_LRVOLUME);
        QCOMPARE(midi.wTechnology, MOD_SWSYNTH);
        QCOMPARE(QByteArray(midi.szPname), QByteArray("Velmar Synthesizer"));
    }

    void badCallsAreRefusedWithTheirCodes_data() {
        QTest::addColumn<bool>("midi");
        QTest::addColumn<unsigned>("device");
        QTest::addColumn<bool>("withRecord");
        QTest::addColumn<int>("sizeShort");
        QTest::addColumn<MMRESULT>("caps");
        QTest::addColumn<MMRESULT>("volume");
        for (const bool midi : {false, true}) {
            const QByteArray kind = midi ? "midi: " : "wave: ";
            QTest::newRow(kind + "device 1")
                << midi << 1u << true << 0 << MMSYSERR_BADDEVICEID << MMSYSERR_BADDEVICEID;
            QTest::newRow(kind + "no record")
                << midi << 0u << false << 0 << MMSYSERR_INVALPARAM << MMSYSERR_INVALPARAM;
            QTest::newRow(kind + "record a byte short")
                << midi << 0u << true << 1 << MMSYSERR_INVALPARAM << MMSYSERR_NOERROR;
            QTest::newRow(kind + "the mapper")
                << midi << 0xFFFFFFFFu << true << 0 << MMSYSERR_NOERROR << MMSYSERR_NOTSUPPORTED;
        }
    }
    void badCallsAreRefusedWithTheirCodes() {
        QFETCH(bool, midi);
        QFETCH(unsigned, device);
        QFETCH(bool, withRecord);
        QFETCH(int, sizeShort);
        QFETCH(MMRESULT, caps);
        QFETCH(MMRESULT, volume);
        std::uint32_t word = 0;
        std::uint32_t support = 1;
        if (midi) {
            MIDIOUTCAPSA record{};
            QCOMPARE(midiOutGetDevCapsA(device, withRecord ? &record : nullptr,
                                        unsigned(sizeof record) - unsigned(sizeShort)),
                     caps);
            support = record.dwSupport;
            QCOMPARE(midiOutGetVolume(device, withRecord ? &word : nullptr), volume);
        } else {
            WAVEOUTCAPSA record{};
            QCOMPARE(waveOutGetDevCapsA(device, withRecord ? &record : nullptr,
                                        unsigned(sizeof record) - unsigned(sizeShort)),
                     caps);
            support = record.dwSupport;
            QCOMPARE(waveOutGetVolume(device, withRecord ? &word : nullptr), volume);
        }
        QCOMPARE(support, 0u); // a refused record, and the mapper's, offer no volume
    }

    void volumeWordsAreTheEnginesAndEachDeviceKeepsItsOwn() {
        AudioEngine& engine = AudioEngine::Shared();
        QCOMPARE(waveOutSetVolume(0, 0x12345678), MMSYSERR_NOERROR);
        QCOMPARE(midiOutSetVolume(0, 0x0000FFFF), MMSYSERR_NOERROR);
        QCOMPARE(engine.WaveVolume(), 0x12345678u);
        QCOMPARE(engine.MidiVolume(), 0x0000FFFFu);
        engine.SetMidiVolume(0xFF000100);
        std::uint32_t word = 0;
        QCOMPARE(midiOutGetVolume(0, &word), MMSYSERR_NOERROR);
        QCOMPARE(word, 0xFF000100u);
        QCOMPARE(waveOutGetVolume(0, &word), MMSYSERR_NOERROR);
        QCOMPARE(word, 0x12345678u);
        QCOMPARE(midiOutSetVolume(1, 0), MMSYSERR_BADDEVICEID);
        QCOMPARE(waveOutSetVolume(WAVE_MAPPER, 0), MMSYSERR_NOTSUPPORTED);
        QCOMPARE(engine.MidiVolume(), 0xFF000100u);
        QCOMPARE(engine.WaveVolume(), 0x12345678u);
    }
};

QTEST_GUILESS_MAIN(TestVolumeDevices)
#include "TestVolumeDevices.moc"
