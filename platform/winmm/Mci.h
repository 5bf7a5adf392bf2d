// SPDX-License-Identifier: GPL-3.0-or-later
// The winmm layer: the classic multimedia front (PlaySound, the media control interface,
// the volume devices). It may use audio, files and Qt.
#pragma once

#include <QEvent>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QObject;

namespace platform {

// The media control interface, as far as the game's music player uses it: "sequencer"
// devices that play one standard MIDI file each.
using MCIERROR = std::uint32_t;
using MCIDEVICEID = std::uint16_t;

constexpr unsigned MCI_OPEN = 0x0803;
constexpr unsigned MCI_CLOSE = 0x0804;
constexpr unsigned MCI_PLAY = 0x0806;
constexpr unsigned MCI_SEEK = 0x0807;
constexpr unsigned MCI_STATUS = 0x0814;
constexpr unsigned MCI_GETDEVCAPS = 0x080B;

constexpr std::uint32_t MCI_NOTIFY = 0x1;
constexpr std::uint32_t MCI_WAIT = 0x2;
constexpr std::uint32_t MCI_OPEN_ELEMENT = 0x200;
constexpr std::uint32_t MCI_SEEK_TO_START = 0x100;
constexpr std::uint32_t MCI_STATUS_ITEM = 0x100;
constexpr std::uint32_t MCI_GETDEVCAPS_ITEM = 0x100;

constexpr std::uint32_t MCI_GETDEVCAPS_CAN_RECORD = 1;
constexpr std::uint32_t MCI_GETDEVCAPS_HAS_AUDIO = 2;
constexpr std::uint32_t MCI_GETDEVCAPS_HAS_VIDEO = 3;
constexpr std::uint32_t MCI_GETDEVCAPS_DEVICE_TYPE = 4;
constexpr std::uint32_t MCI_GETDEVCAPS_USES_FILES = 5;
constexpr std::uint32_t MCI_GETDEVCAPS_COMPOUND_DEVICE = 6;
constexpr std::uint32_t MCI_GETDEVCAPS_CAN_EJECT = 7;
constexpr std::uint32_t MCI_GETDEVCAPS_CAN_PLAY = 8;
constexpr std::uint32_t MCI_GETDEVCAPS_CAN_SAVE = 9;
constexpr std::uint32_t MCI_DEVTYPE_SEQUENCER = 523;

constexpr std::uint32_t MCI_STATUS_LENGTH = 1;
constexpr std::uint32_t MCI_STATUS_POSITION = 2;
constexpr std::uint32_t MCI_STATUS_MODE = 4;
constexpr std::uint32_t MCI_MODE_STOP = 525;
constexpr std::uint32_t MCI_MODE_PLAY = 526;

constexpr unsigned MM_MCINOTIFY = 0x03B9;
constexpr unsigned MCI_NOTIFY_SUCCESSFUL = 1;
constexpr unsigned MCI_NOTIFY_SUPERSEDED = 2;
constexpr unsigned MCI_NOTIFY_ABORTED = 4;
constexpr unsigned MCI_NOTIFY_FAILURE = 8;

constexpr MCIERROR MCIERR_BASE = 256;
constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
constexpr MCIERROR MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
constexpr MCIERROR MCIERR_INVALID_FILE = MCIERR_BASE + 40;

// The window that receives completion notices; none when null.
using MciCallback = QObject*;

struct MCI_OPEN_PARMS {
    MciCallback dwCallback = nullptr;
    MCIDEVICEID wDeviceID = 0;
    std::string lpstrDeviceType;
    std::string lpstrElementName;
    std::string lpstrAlias;
};

struct MCI_GENERIC_PARMS {
    MciCallback dwCallback = nullptr;
};

struct MCI_PLAY_PARMS {
    MciCallback dwCallback = nullptr;
    std::uint32_t dwFrom = 0;
    std::uint32_t dwTo = 0;
};

struct MCI_SEEK_PARMS {
    MciCallback dwCallback = nullptr;
    std::uint32_t dwTo = 0;
};

struct MCI_STATUS_PARMS {
    MciCallback dwCallback = nullptr;
    std::uint32_t dwReturn = 0;
    std::uint32_t dwItem = 0;
    std::uint32_t dwTrack = 0;
};

struct MCI_GETDEVCAPS_PARMS {
    MciCallback dwCallback = nullptr;
    std::uint32_t dwReturn = 0;
    std::uint32_t dwItem = 0;
};

// Sends one command; `params` points at the command's parameter block (or is null).
MCIERROR mciSendCommand(MCIDEVICEID device, unsigned command, std::uint32_t flags, void* params);

// The text of an error; false for a code without one.
bool mciGetErrorString(MCIERROR error, std::string& text);

// A completion notice (MM_MCINOTIFY), posted to the callback window on the UI thread. A window
// destroyed before the notice arrives is left out.
class MciNotifyEvent : public QEvent {
public:
    MciNotifyEvent(MCIDEVICEID device, unsigned code);
    static QEvent::Type EventType();

    MCIDEVICEID Device;
    unsigned Code; // MCI_NOTIFY_...
};

// What plays a sequencer device's file; the audio engine's synthesizer unless a test installs
// its own, so it can end a melody when it likes.
class MciSequencer {
public:
    virtual ~MciSequencer() = default;
    // False when the file cannot be read as a standard MIDI file. `path` may name an open
    // descriptor (see DescriptorPath); it is read before Load returns.
    virtual bool Load(const std::string& path) = 0;
    virtual void Play(std::function<void()> onEnd) = 0; // onEnd may come from any thread
    virtual void Stop() = 0;
    virtual std::uint32_t LengthMs() const = 0;
    virtual std::uint32_t PositionMs() const = 0;
    virtual bool Playing() const = 0;
};
void SetMciSequencerFactory(std::function<std::unique_ptr<MciSequencer>()> factory);

// Tests watch the commands the game sends through this seam.
struct MciCommandRecord {
    MCIDEVICEID Device;
    unsigned Command;
    std::uint32_t Flags;
    std::string Element; // the file of an open
    MCIERROR Result;
};
void SetMciObserver(std::function<void(const MciCommandRecord&)> observer);

} // namespace platform
