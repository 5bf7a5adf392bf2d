// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/Volumes.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/TrackBar.h"

#include <QDialog>

namespace dialogs {

// The volume window: one vertical slider for the music's loudness, with the wedge of a
// louder-upward scale to its left. While hidden it polls nothing; shown, it reads the device
// once and polls again.
class TVolimesDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignClientWidth = 104;
    static constexpr int ClientHeight = 81;
    static constexpr int OuterWidth = 66;
    // The classic dialog frame on each side, which the outer width includes.
    static constexpr int DialogFrame = 3;

    explicit TVolimesDialog(QWidget* parent = nullptr);

    platform::TImage* Image1;
    platform::TTrackBar* TrackBar1;
    media::TVolumeControl* VolumeControl1;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormCreate();
};

} // namespace dialogs
