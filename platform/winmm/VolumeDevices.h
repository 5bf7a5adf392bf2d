// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// The volume devices of the classic multimedia interface. The audio engine is wave-out device 0
// (its clips) and MIDI-out device 0 (its synthesizer); there is no auxiliary (CD) device.
// Volume words hold the left channel in the low 16 bits and the right channel in the high ones.
using MMRESULT = std::uint32_t;
using MMVERSION = std::uint32_t;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;

constexpr unsigned MAXPNAMELEN = 32;
// The mappers route to device 0 and have no volume of their own.
constexpr unsigned WAVE_MAPPER = 0xFFFFFFFFu;
constexpr unsigned MIDI_MAPPER = 0xFFFFFFFFu;

constexpr std::uint32_t AUXCAPS_VOLUME = 0x0001;
constexpr std::uint32_t AUXCAPS_LRVOLUME = 0x0002;
constexpr std::uint32_t WAVECAPS_VOLUME = 0x0004;
constexpr std::uint32_t WAVECAPS_LRVOLUME = 0x0008;
constexpr std::uint32_t MIDICAPS_VOLUME = 0x0001;
constexpr std::uint32_t MIDICAPS_LRVOLUME = 0x0002;

constexpr std::uint16_t MM_UNMAPPED = 0xFFFF; // no registered manufacturer or product
constexpr std::uint16_t MOD_SWSYNTH = 7;
constexpr std::uint32_t WAVE_FORMAT_4S16 = 0x00000800; // 44.1 kHz, stereo, 16 bit

struct AUXCAPSA {
    std::uint16_t wMid;
    std::uint16_t wPid;
    MMVERSION vDriverVersion;
    char szPname[MAXPNAMELEN];
    std::uint16_t wTechnology;
    std::uint16_t wReserved1;
    std::uint32_t dwSupport;
};

struct WAVEOUTCAPSA {
    std::uint16_t wMid;
    std::uint16_t wPid;
    MMVERSION vDriverVersion;
    char szPname[MAXPNAMELEN];
    std::uint32_t dwFormats;
    std::uint16_t wChannels;
    std::uint16_t wReserved1;
    std::uint32_t dwSupport;
};

struct MIDIOUTCAPSA {
    std::uint16_t wMid;
    std::uint16_t wPid;
    MMVERSION vDriverVersion;
    char szPname[MAXPNAMELEN];
    std::uint16_t wTechnology;
    std::uint16_t wVoices;
    std::uint16_t wNotes;
    std::uint16_t wChannelMask;
    std::uint32_t dwSupport;
};

// Callers pass these records by size, as the classic interface does.
static_assert(sizeof(AUXCAPSA) == 48 && offsetof(AUXCAPSA, dwSupport) == 44);
static_assert(sizeof(WAVEOUTCAPSA) == 52 && offsetof(WAVEOUTCAPSA, dwSupport) == 48);
static_assert(sizeof(MIDIOUTCAPSA) == 52 && offsetof(MIDIOUTCAPSA, dwSupport) == 48);

unsigned auxGetNumDevs();
MMRESULT auxGetDevCapsA(unsigned deviceId, AUXCAPSA* caps, unsigned size);
MMRESULT auxGetVolume(unsigned deviceId, std::uint32_t* volume);
MMRESULT auxSetVolume(unsigned deviceId, std::uint32_t volume);

unsigned waveOutGetNumDevs();
MMRESULT waveOutGetDevCapsA(unsigned deviceId, WAVEOUTCAPSA* caps, unsigned size);
MMRESULT waveOutGetVolume(unsigned deviceId, std::uint32_t* volume);
MMRESULT waveOutSetVolume(unsigned deviceId, std::uint32_t volume);

unsigned midiOutGetNumDevs();
MMRESULT midiOutGetDevCapsA(unsigned deviceId, MIDIOUTCAPSA* caps, unsigned size);
MMRESULT midiOutGetVolume(unsigned deviceId, std::uint32_t* volume);
MMRESULT midiOutSetVolume(unsigned deviceId, std::uint32_t volume);

} // namespace platform
