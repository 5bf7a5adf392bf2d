// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Volumes.h"

#include "platform/winmm/VolumeDevices.h"

namespace media {

using namespace platform;

namespace {

constexpr int kMaxVolume = 255;

bool validKind(int kind) {
    return kind >= 0 && kind < TVolumeControl::KindCount;
}

// The first device of the kind whose capabilities have the volume bit, or NoDevice.
template <typename Caps>
int firstWithVolume(unsigned count, MMRESULT (*getCaps)(unsigned, Caps*, unsigned),
                    std::uint32_t volumeBit) {
    for (unsigned id = 0; id < count; ++id) {
        Caps caps{}; // a failed call leaves no support bits
        getCaps(id, &caps, sizeof(Caps));
        if (caps.dwSupport & volumeBit)
            return static_cast<int>(id);
    }
    return TVolumeControl::NoDevice;
}

} // namespace

TVolumeControl::TVolumeControl(QObject* owner) : QObject(owner), FTimer(std::make_unique<Timer>()) {
    FTimer->OnTimer = [this] { UpdateTrackBars(); };
    FTimer->SetInterval(500);
    FindVolumeDevices();
}

TVolumeControl::~TVolumeControl() {
    FTimer.reset();
    for (const auto& bar : FTrackBars)
        if (bar)
            bar->OnChange = nullptr;
}

void TVolumeControl::FindVolumeDevices() {
    FDevices[0] = firstWithVolume(auxGetNumDevs(), &auxGetDevCapsA, AUXCAPS_VOLUME);
    FDevices[1] = firstWithVolume(waveOutGetNumDevs(), &waveOutGetDevCapsA, WAVECAPS_VOLUME);
    FDevices[2] = firstWithVolume(midiOutGetNumDevs(), &midiOutGetDevCapsA, MIDICAPS_VOLUME);
}

int TVolumeControl::DeviceNumber(int kind) const {
    return validKind(kind) ? FDevices[static_cast<std::size_t>(kind)] : NoDevice;
}

std::uint8_t TVolumeControl::GetVolume(int kind) const {
    std::uint32_t word = 0;
    const int device = DeviceNumber(kind);
    if (device != NoDevice) {
        const auto id = static_cast<unsigned>(device);
        if (kind == 0)
            auxGetVolume(id, &word);
        else if (kind == 1)
            waveOutGetVolume(id, &word);
        else
            midiOutGetVolume(id, &word);
    }
    // The mean of the two channels, in the high byte of a channel's range.
    return static_cast<std::uint8_t>(((word & 0xFFFFu) + (word >> 16)) >> 9);
}

void TVolumeControl::SetVolume(int kind, std::uint8_t value) {
    const int device = DeviceNumber(kind);
    if (device == NoDevice)
        return;
    const std::uint32_t channel = std::uint32_t{value} << 8;
    const std::uint32_t word = channel | (channel << 16);
    const auto id = static_cast<unsigned>(device);
    if (kind == 0)
        auxSetVolume(id, word);
    else if (kind == 1)
        waveOutSetVolume(id, word);
    else
        midiOutSetVolume(id, word);
}

void TVolumeControl::SetTrackBar(int kind, TTrackBar* bar) {
    if (!validKind(kind) || FTrackBars[static_cast<std::size_t>(kind)] == bar)
        return;
    FTrackBars[static_cast<std::size_t>(kind)] = bar;
    UpdateTrackBars();
}

void TVolumeControl::UpdateTrackBars() {
    for (int kind = 0; kind < KindCount; ++kind) {
        TTrackBar* bar = FTrackBars[static_cast<std::size_t>(kind)];
        if (!bar)
            continue;
        bar->SetMin(0);
        bar->SetMax(kMaxVolume);
        const int volume = GetVolume(kind);
        // A vertical bar has its minimum at the top: loudest is up.
        bar->SetPosition(bar->Orientation() == trVertical ? kMaxVolume - volume : volume);
        bar->OnChange = [this](QObject* sender) { TrackBarChange(sender); };
    }
}

void TVolumeControl::TrackBarChange(QObject* sender) {
    for (int kind = 0; kind < KindCount; ++kind) {
        TTrackBar* bar = FTrackBars[static_cast<std::size_t>(kind)];
        if (!bar || bar != sender)
            continue;
        const int position = bar->Position();
        SetVolume(kind, static_cast<std::uint8_t>(
                            bar->Orientation() == trVertical ? kMaxVolume - position : position));
    }
}

} // namespace media
