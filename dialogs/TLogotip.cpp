// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TLogotip.h"

#include <QGuiApplication>
#include <QScreen>

namespace dialogs {

TLogotip::TLogotip(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      Panel1(new platform::TPanel(this)) {
    setWindowTitle(QStringLiteral("Loading"));
    setFixedSize(ClientWidth, ClientHeight);
    Panel1->setGeometry(0, 0, ClientWidth, ClientHeight);
    Panel1->SetBevelOuter(platform::bvRaised);
    Panel1->SetBevelInner(platform::bvLowered);
    Panel1->SetColor(platform::clBlack);
    platform::TFont font;
    font.Height = 11;
    font.Style = platform::fsBold;
    font.Color = platform::clRed;
    Panel1->SetFont(font);
    Panel1->SetCaption("Loading Game ...");
    Panel1->OnClick = [this] { Panel1Click(); };
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TLogotip::Panel1Click() {
    close();
}

} // namespace dialogs
