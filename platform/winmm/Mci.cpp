// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/winmm/Mci.h"

#include "platform/audio/AudioEngine.h"
#include "platform/audio/MidiFile.h"
#include "platform/files/Files.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <sys/stat.h>

namespace platform {

namespace {

// A sequencer device plays through the audio engine's synthesizer, which is silent, with the
// same results, where there is no sound device.
class EngineSequencer : public MciSequencer {
public:
    bool Load(const std::string& path) override {
        loaded_ = AudioEngine::Shared().OpenMidi(path);
        return loaded_;
    }
    void Play(std::function<void()> onEnd) override {
        AudioEngine::Shared().PlayMidi(std::move(onEnd));
        started_ = std::chrono::steady_clock::now();
        playing_ = true;
    }
    void Stop() override {
        if (loaded_)
            AudioEngine::Shared().CloseMidi();
        playing_ = false;
    }
    std::uint32_t LengthMs() const override {
        return loaded_
                   ? static_cast<std::uint32_t>(AudioEngine::Shared().MidiLengthSeconds() * 1000)
                   : 0;
    }
    std::uint32_t PositionMs() const override {
        if (!playing_)
            return 0;
        const auto played = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - started_);
        return std::min(LengthMs(), static_cast<std::uint32_t>(played.count()));
    }
    bool Playing() const override { return playing_ && AudioEngine::Shared().MidiPlaying(); }

private:
    bool loaded_ = false;
    bool playing_ = false;
    std::chrono::steady_clock::time_point started_;
};

struct Device {
    std::unique_ptr<MciSequencer> sequencer;
};

struct State {
    std::map<MCIDEVICEID, Device> devices;
    MCIDEVICEID next = 1;
    std::function<std::unique_ptr<MciSequencer>()> factory;
    std::function<void(const MciCommandRecord&)> observer;
};

State& state() {
    static State s;
    return s;
}

// Completion may be seen on the audio thread, where the window may be going at that moment:
// the guard is taken on the UI thread when the play starts, and only read there.
void postNotice(const QPointer<QObject>& target, MCIDEVICEID device, unsigned code) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [target, device, code] {
            if (target)
                QCoreApplication::postEvent(target, new MciNotifyEvent(device, code));
        },
        Qt::QueuedConnection);
}

MCIERROR play(MciSequencer& sequencer, MCIDEVICEID id, std::uint32_t flags,
              const MCI_PLAY_PARMS* params) {
    const MciCallback callback = params ? params->dwCallback : nullptr;
    if (!(flags & MCI_NOTIFY) || !callback) {
        sequencer.Play([] {});
        return 0;
    }
    sequencer.Play([target = QPointer<QObject>(callback), id] {
        postNotice(target, id, MCI_NOTIFY_SUCCESSFUL);
    });
    return 0;
}

MCIERROR open(std::uint32_t flags, MCI_OPEN_PARMS* p) {
    if (!p || !(flags & MCI_OPEN_ELEMENT))
        return MCIERR_UNRECOGNIZED_COMMAND;
    // The file is opened once here, through its checked folder; the sequencer reads that very
    // file, so a temporary folder swapped meanwhile cannot hand it another one.
    struct stat info {};
    const UniqueFd file = OpenFileForReading(FolderFile(p->lpstrElementName), &info);
    if (!file.Valid())
        return MCIERR_FILE_NOT_FOUND;
    // Checked before the reader sees it, so a huge file never reaches the memory.
    if (static_cast<std::uintmax_t>(info.st_size) > kMidiFileLimit)
        return MCIERR_INVALID_FILE;
    State& s = state();
    auto sequencer = s.factory ? s.factory() : std::make_unique<EngineSequencer>();
    if (!sequencer->Load(DescriptorPath(file.Get())))
        return MCIERR_INVALID_FILE;
    const MCIDEVICEID id = s.next++;
    if (s.next == 0)
        s.next = 1;
    s.devices[id] = {std::move(sequencer)};
    p->wDeviceID = id;
    return 0;
}

// What a sequencer can do: play files, with sound and nothing else.
MCIERROR deviceCaps(std::uint32_t flags, MCI_GETDEVCAPS_PARMS* caps) {
    if (!caps || !(flags & MCI_GETDEVCAPS_ITEM))
        return MCIERR_UNRECOGNIZED_COMMAND;
    switch (caps->dwItem) {
    case MCI_GETDEVCAPS_HAS_AUDIO:
    case MCI_GETDEVCAPS_USES_FILES:
    case MCI_GETDEVCAPS_COMPOUND_DEVICE:
    case MCI_GETDEVCAPS_CAN_PLAY:
        caps->dwReturn = 1;
        return 0;
    case MCI_GETDEVCAPS_CAN_RECORD:
    case MCI_GETDEVCAPS_HAS_VIDEO:
    case MCI_GETDEVCAPS_CAN_EJECT:
    case MCI_GETDEVCAPS_CAN_SAVE:
        caps->dwReturn = 0;
        return 0;
    case MCI_GETDEVCAPS_DEVICE_TYPE:
        caps->dwReturn = MCI_DEVTYPE_SEQUENCER;
        return 0;
    default:
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
}

MCIERROR command(MCIDEVICEID id, unsigned cmd, std::uint32_t flags, void* params) {
    State& s = state();
    const auto found = s.devices.find(id);
    if (found == s.devices.end())
        return MCIERR_INVALID_DEVICE_ID;
    MciSequencer& sequencer = *found->second.sequencer;
    switch (cmd) {
    case MCI_CLOSE:
        sequencer.Stop();
        s.devices.erase(found);
        return 0;
    case MCI_PLAY:
        return play(sequencer, id, flags, static_cast<MCI_PLAY_PARMS*>(params));
    case MCI_SEEK:
        return 0; // every play starts from the beginning
    case MCI_STATUS: {
        auto* status = static_cast<MCI_STATUS_PARMS*>(params);
        if (!status || !(flags & MCI_STATUS_ITEM))
            return MCIERR_UNRECOGNIZED_COMMAND;
        switch (status->dwItem) {
        case MCI_STATUS_LENGTH:
            status->dwReturn = sequencer.LengthMs();
            return 0;
        case MCI_STATUS_POSITION:
            status->dwReturn = sequencer.PositionMs();
            return 0;
        case MCI_STATUS_MODE:
            status->dwReturn = sequencer.Playing() ? MCI_MODE_PLAY : MCI_MODE_STOP;
            return 0;
        default:
            return MCIERR_UNRECOGNIZED_COMMAND;
        }
    }
    case MCI_GETDEVCAPS:
        return deviceCaps(flags, static_cast<MCI_GETDEVCAPS_PARMS*>(params));
    default:
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
}

} // namespace

MCIERROR mciSendCommand(MCIDEVICEID device, unsigned cmd, std::uint32_t flags, void* params) {
    const MCIERROR result = cmd == MCI_OPEN ? open(flags, static_cast<MCI_OPEN_PARMS*>(params))
                                            : command(device, cmd, flags, params);
    if (state().observer) {
        const std::string element = cmd == MCI_OPEN && params
                                        ? static_cast<MCI_OPEN_PARMS*>(params)->lpstrElementName
                                        : std::string();
        state().observer({device, cmd, flags, element, result});
    }
    return result;
}

bool mciGetErrorString(MCIERROR error, std::string& text) {
    switch (error) {
    case MCIERR_INVALID_DEVICE_ID:
        text = "Invalid MCI device ID. Use the ID returned when opening the MCI device.";
        return true;
    case MCIERR_UNRECOGNIZED_COMMAND:
        text = "The driver cannot recognize the specified command.";
        return true;
    case MCIERR_FILE_NOT_FOUND:
        text = "The specified file was not found. Make sure the path and filename are correct.";
        return true;
    case MCIERR_INVALID_FILE:
        text = "The specified file cannot be played on the specified MCI device. The file may "
               "be corrupt, or not in the correct format.";
        return true;
    default:
        return false;
    }
}

MciNotifyEvent::MciNotifyEvent(MCIDEVICEID device, unsigned code)
    : QEvent(EventType()), Device(device), Code(code) {}

QEvent::Type MciNotifyEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void SetMciSequencerFactory(std::function<std::unique_ptr<MciSequencer>()> factory) {
    state().factory = std::move(factory);
}

void SetMciObserver(std::function<void(const MciCommandRecord&)> observer) {
    state().observer = std::move(observer);
}

} // namespace platform
