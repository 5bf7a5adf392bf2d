// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/TMediaPlayer.h"

#include <QEvent>

namespace media {

using namespace platform;

TMediaPlayer::TMediaPlayer(QObject* parent) : QObject(parent) {}

TMediaPlayer::~TMediaPlayer() {
    if (FDeviceID == 0)
        return;
    MCI_GENERIC_PARMS generic;
    mciSendCommand(FDeviceID, MCI_CLOSE, MCI_WAIT, &generic);
}

MciCallback TMediaPlayer::callbackWindow() {
    return this;
}

std::uint32_t TMediaPlayer::status(std::uint32_t item) {
    MCI_STATUS_PARMS parms;
    parms.dwItem = item;
    FError = mciSendCommand(FDeviceID, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, &parms);
    return parms.dwReturn;
}

void TMediaPlayer::Open() {
    MCI_OPEN_PARMS parms;
    if (FOpened)
        Close();
    parms.dwCallback = callbackWindow();
    parms.lpstrElementName = FileName;
    const std::uint32_t flags = MCI_WAIT | MCI_OPEN_ELEMENT;
    FError = mciSendCommand(0, MCI_OPEN, flags, &parms);
    if (FError != 0) {
        std::string text;
        if (!mciGetErrorString(FError, text))
            text = "Unknown error code";
        throw EMCIDeviceError(text);
    }
    FOpened = true;
    FDeviceID = parms.wDeviceID;
}

void TMediaPlayer::Play() {
    if (!FOpened)
        throw EMCIDeviceError("No MCI device open");
    // Rewinds a device that stands at its end before playing.
    if (status(MCI_STATUS_POSITION) == status(MCI_STATUS_LENGTH)) {
        MCI_SEEK_PARMS seek;
        mciSendCommand(FDeviceID, MCI_SEEK, MCI_WAIT | MCI_SEEK_TO_START, &seek);
    }
    MCI_PLAY_PARMS parms;
    parms.dwCallback = callbackWindow();
    FError = mciSendCommand(FDeviceID, MCI_PLAY, MCI_NOTIFY, &parms);
}

void TMediaPlayer::Close() {
    if (FDeviceID == 0)
        return;
    MCI_GENERIC_PARMS parms;
    parms.dwCallback = callbackWindow();
    FError = mciSendCommand(FDeviceID, MCI_CLOSE, MCI_WAIT, &parms);
    if (FError == 0) {
        FOpened = false;
        FDeviceID = 0;
    }
}

bool TMediaPlayer::event(QEvent* e) {
    if (e->type() != MciNotifyEvent::EventType())
        return QObject::event(e);
    switch (static_cast<const MciNotifyEvent*>(e)->Code) {
    case MCI_NOTIFY_SUPERSEDED:
        FNotifyValue = nvSuperseded;
        break;
    case MCI_NOTIFY_ABORTED:
        FNotifyValue = nvAborted;
        break;
    case MCI_NOTIFY_FAILURE:
        FNotifyValue = nvFailure;
        break;
    default:
        FNotifyValue = nvSuccessful;
        break;
    }
    if (OnNotify)
        OnNotify();
    return true;
}

} // namespace media
