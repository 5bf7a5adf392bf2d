// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/winmm/VolumeDevices.h"

#include "platform/audio/AudioDriver.h"
#include "platform/audio/AudioEngine.h"

#include <cstring>

namespace platform {

namespace {

constexpr MMVERSION kDriverVersion = 0x0100;

template <typename Caps> void fillName(Caps& caps, const char* name) {
    std::strncpy(caps.szPname, name, MAXPNAMELEN - 1);
    caps.szPname[MAXPNAMELEN - 1] = '\0';
}

// The checks every capability call makes, in the classic order: the device, then the record.
template <typename Caps> MMRESULT checkCaps(bool known, const Caps* caps, unsigned size) {
    if (!known)
        return MMSYSERR_BADDEVICEID;
    if (!caps || size < sizeof(Caps))
        return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}

MMRESULT readVolume(unsigned deviceId, unsigned mapper, std::uint32_t* volume,
                    std::uint32_t (AudioEngine::*get)() const) {
    if (deviceId == mapper)
        return MMSYSERR_NOTSUPPORTED;
    if (deviceId != 0)
        return MMSYSERR_BADDEVICEID;
    if (!volume)
        return MMSYSERR_INVALPARAM;
    *volume = (AudioEngine::Shared().*get)();
    return MMSYSERR_NOERROR;
}

MMRESULT writeVolume(unsigned deviceId, unsigned mapper, std::uint32_t volume,
                     void (AudioEngine::*set)(std::uint32_t)) {
    if (deviceId == mapper)
        return MMSYSERR_NOTSUPPORTED;
    if (deviceId != 0)
        return MMSYSERR_BADDEVICEID;
    (AudioEngine::Shared().*set)(volume);
    return MMSYSERR_NOERROR;
}

} // namespace

unsigned auxGetNumDevs() {
    return 0;
}

MMRESULT auxGetDevCapsA(unsigned, AUXCAPSA* caps, unsigned size) {
    return checkCaps(false, caps, size);
}

MMRESULT auxGetVolume(unsigned, std::uint32_t*) {
    return MMSYSERR_BADDEVICEID;
}

MMRESULT auxSetVolume(unsigned, std::uint32_t) {
    return MMSYSERR_BADDEVICEID;
}

unsigned waveOutGetNumDevs() {
    return 1;
}

MMRESULT waveOutGetDevCapsA(unsigned deviceId, WAVEOUTCAPSA* caps, unsigned size) {
    const bool mapper = deviceId == WAVE_MAPPER;
    if (const MMRESULT result = checkCaps(deviceId == 0 || mapper, caps, size))
        return result;
    *caps = {};
    caps->wMid = MM_UNMAPPED;
    caps->wPid = MM_UNMAPPED;
    caps->vDriverVersion = kDriverVersion;
    fillName(*caps, mapper ? "Velmar Wave Mapper" : "Velmar Wave Out");
    caps->dwFormats = WAVE_FORMAT_4S16;
    caps->wChannels = 2;
    caps->dwSupport = mapper ? 0 : WAVECAPS_VOLUME | WAVECAPS_LRVOLUME;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetVolume(unsigned deviceId, std::uint32_t* volume) {
    return readVolume(deviceId, WAVE_MAPPER, volume, &AudioEngine::WaveVolume);
}

MMRESULT waveOutSetVolume(unsigned deviceId, std::uint32_t volume) {
    return writeVolume(deviceId, WAVE_MAPPER, volume, &AudioEngine::SetWaveVolume);
}

unsigned midiOutGetNumDevs() {
    return 1;
}

MMRESULT midiOutGetDevCapsA(unsigned deviceId, MIDIOUTCAPSA* caps, unsigned size) {
    const bool mapper = deviceId == MIDI_MAPPER;
    if (const MMRESULT result = checkCaps(deviceId == 0 || mapper, caps, size))
        return result;
    *caps = {};
    caps->wMid = MM_UNMAPPED;
    caps->wPid = MM_UNMAPPED;
    caps->vDriverVersion = kDriverVersion;
    fillName(*caps, mapper ? "Velmar MIDI Mapper" : "Velmar Synthesizer");
    caps->wTechnology = MOD_SWSYNTH;
    caps->wVoices = kVelmarPolyphony;
    caps->wNotes = kVelmarPolyphony;
    caps->wChannelMask = 0xFFFF;
    caps->dwSupport = mapper ? 0 : MIDICAPS_VOLUME | MIDICAPS_LRVOLUME;
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutGetVolume(unsigned deviceId, std::uint32_t* volume) {
    return readVolume(deviceId, MIDI_MAPPER, volume, &AudioEngine::MidiVolume);
}

MMRESULT midiOutSetVolume(unsigned deviceId, std::uint32_t volume) {
    return writeVolume(deviceId, MIDI_MAPPER, volume, &AudioEngine::SetMidiVolume);
}

} // namespace platform
