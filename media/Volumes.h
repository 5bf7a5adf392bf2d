// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/Timer.h"
#include "platform/widgets/TrackBar.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <cstdint>
#include <memory>

namespace media {

// Finds one volume-capable output device of each kind (0 CD, 1 wave, 2 MIDI) once, reads and
// sets their volumes as bytes 0..255, and keeps up to three track bars in step with them both
// ways: a slider move sets the device at once, and every poll moves the sliders to what the
// devices say, so a volume changed elsewhere shows within one Interval.
class TVolumeControl : public QObject {
    Q_OBJECT
public:
    static constexpr int KindCount = 3;
    static constexpr int NoDevice = -1;

    explicit TVolumeControl(QObject* owner = nullptr);
    ~TVolumeControl() override;

    // The kind's volume; 0 for a kind without a device.
    std::uint8_t GetVolume(int kind) const;
    // Both channels at value * 256; ignored for a kind without a device.
    void SetVolume(int kind, std::uint8_t value);

    int Interval() const { return FTimer->Interval(); }
    void SetInterval(int milliseconds) { FTimer->SetInterval(milliseconds); }

    std::uint8_t CDVolume() const { return GetVolume(0); }
    void SetCDVolume(std::uint8_t value) { SetVolume(0, value); }
    std::uint8_t WaveVolume() const { return GetVolume(1); }
    void SetWaveVolume(std::uint8_t value) { SetVolume(1, value); }
    std::uint8_t MidiVolume() const { return GetVolume(2); }
    void SetMidiVolume(std::uint8_t value) { SetVolume(2, value); }

    platform::TTrackBar* CDTrackBar() const { return FTrackBars[0]; }
    void SetCDTrackBar(platform::TTrackBar* bar) { SetTrackBar(0, bar); }
    platform::TTrackBar* WaveTrackBar() const { return FTrackBars[1]; }
    void SetWaveTrackBar(platform::TTrackBar* bar) { SetTrackBar(1, bar); }
    platform::TTrackBar* MidiTrackBar() const { return FTrackBars[2]; }
    void SetMidiTrackBar(platform::TTrackBar* bar) { SetTrackBar(2, bar); }

    // Stores a different bar and brings it up to date at once; the same bar again does nothing.
    void SetTrackBar(int kind, platform::TTrackBar* bar);
    // The poll: every stored bar to its kind's volume, with this control as its change handler.
    void UpdateTrackBars();
    void TrackBarChange(QObject* sender);

    // The platform device chosen for a kind, or NoDevice.
    int DeviceNumber(int kind) const;
    platform::Timer& PollTimer() { return *FTimer; }

private:
    void FindVolumeDevices();

    std::array<int, KindCount> FDevices{NoDevice, NoDevice, NoDevice};
    // Not owned: the bars belong to the same window. A bar destroyed first is forgotten.
    std::array<QPointer<platform::TTrackBar>, KindCount> FTrackBars;
    std::unique_ptr<platform::Timer> FTimer;
};

} // namespace media
