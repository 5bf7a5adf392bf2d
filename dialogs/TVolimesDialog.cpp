// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TVolimesDialog.h"

#include "i18n/LanguagePasses.h"
#include "platform/files/Resources.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Pictures.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace dialogs {

TVolimesDialog::TVolimesDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Image1(new platform::TImage(this)), TrackBar1(new platform::TTrackBar(this)),
      VolumeControl1(nullptr) {
    setObjectName(QStringLiteral("VolimesDialog"));
    setWindowTitle(QStringLiteral("Volime"));
    setModal(true);
    QPalette face = palette();
    face.setColor(QPalette::Window, platform::ToQColor(platform::clBtnFace));
    setPalette(face);
    setFont(platform::ToQFont(platform::TFont{})); // MS Sans Serif, 11 pixels
    setFixedSize(DesignClientWidth, ClientHeight);

    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 8, 97, 73);
    Image1->SetPictureFrom(
        [] { return platform::LoadPng(platform::ResourcePath("PICTURE", "VolumeWedge")); });
    Image1->SetTransparent(true);

    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    // A language pass names it in the player's language.
    TrackBar1->setAccessibleName(
        QString::fromUtf8(i18n::EnglishText(i18n::CaptionTarget::MusicVolume)));
    TrackBar1->setGeometry(16, 0, 41, 81);
    TrackBar1->SetMax(255);
    TrackBar1->SetOrientation(platform::trVertical);
    TrackBar1->SetThumbLength(22);
    TrackBar1->SetTickMarks(platform::tmBoth);
    TrackBar1->SetTickStyle(platform::tsManual);
    // Drawn above the picture, whose box reaches under it.
    TrackBar1->raise();

    VolumeControl1 = new media::TVolumeControl(this);
    VolumeControl1->setObjectName(QStringLiteral("VolumeControl1"));
    VolumeControl1->SetInterval(200);
    VolumeControl1->SetMidiTrackBar(TrackBar1);

    FormCreate();
    // Hidden from the start, so no poll until the first showing.
    VolumeControl1->PollTimer().SetEnabled(false);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TVolimesDialog::FormCreate() {
    // The layout is designed 104 pixels wide; narrowed to 66 outside, the window still holds
    // the slider and the wedge beside it.
    setFixedSize(OuterWidth - 2 * DialogFrame, ClientHeight);
}

void TVolimesDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        VolumeControl1->UpdateTrackBars();
        VolumeControl1->PollTimer().SetEnabled(true);
    }
    QDialog::showEvent(event);
}

void TVolimesDialog::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        VolumeControl1->PollTimer().SetEnabled(false);
    QDialog::hideEvent(event);
}

} // namespace dialogs
