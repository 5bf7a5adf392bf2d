// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Exception.h"
#include "platform/winmm/Mci.h"

#include <QObject>
#include <functional>
#include <memory>
#include <string>

namespace media {

class EMCIDeviceError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

enum TMPNotifyValues { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

// The main window's invisible music player: one MIDI file at a time through the media control
// interface. Stopping is closing; the next melody needs a new Open.
class TMediaPlayer : public QObject {
    Q_OBJECT
public:
    explicit TMediaPlayer(QObject* parent = nullptr);
    ~TMediaPlayer() override;

    std::string FileName;

    // Raises EMCIDeviceError with the device's error text when the file cannot be opened.
    void Open();
    // From the current position; returns at once. Raises only when no device is open.
    void Play();
    // Does nothing when no device is open; never raises.
    void Close();

    platform::MCIDEVICEID DeviceID() const { return FDeviceID; }
    bool Opened() const { return FOpened; }
    platform::MCIERROR Error() const { return FError; }
    TMPNotifyValues NotifyValue() const { return FNotifyValue; }

    std::function<void()> OnNotify;

protected:
    bool event(QEvent* event) override;

private:
    platform::MciCallback callbackWindow();
    std::uint32_t status(std::uint32_t item);

    platform::MCIDEVICEID FDeviceID = 0;
    bool FOpened = false;
    platform::MCIERROR FError = 0;
    TMPNotifyValues FNotifyValue = nvSuccessful;
};

} // namespace media
