// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TAboutBox.h"

#include "platform/files/Resources.h"
#include "platform/gdi/Pictures.h"
#include "platform/ui/Application.h"
#include "platform/ui/MemoryStatus.h"
#include "platform/ui/Timer.h"
#include "platform/widgets/WindowDrag.h"

#include <Version.h>

#include <QGuiApplication>
#include <QLocale>
#include <QMouseEvent>
#include <QScreen>
#include <cstdio>

namespace dialogs {

namespace {

controls::TXPLabel* label(QWidget* parent, const char* name, int x, int y, const char* caption,
                          platform::TColor color = controls::TXPLabel::DefaultForegroundColor) {
    auto* l = new controls::TXPLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(x, y);
    l->SetCaption(caption);
    l->SetForegroundColor(color);
    return l;
}

platform::TFont fontIn(platform::TColor color, unsigned style = 0) {
    platform::TFont font; // MS Sans Serif, 11 pixels
    font.Color = color;
    font.Style = style;
    return font;
}

} // namespace

std::string KilobytesText(std::uint64_t bytes) {
    // Rounded to whole kilobytes, as a real division formatted without decimals would be.
    const std::uint64_t kb = bytes / 1024u + (bytes % 1024u >= 512u ? 1u : 0u);
    const QString separator = QLocale().groupSeparator();
    QString digits = QString::number(kb);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, separator);
    return (digits + QStringLiteral(" KB")).toStdString();
}

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setModal(true);
    QPalette face = palette();
    face.setColor(QPalette::Window, platform::ToQColor(FormColor));
    setPalette(face);
    setAutoFillBackground(true);
    setFont(platform::ToQFont(platform::TFont{}));
    setFixedSize(ClientWidth, ClientHeight);
    createPanel();
    createFooter();
    FormCreate();
    // Hidden from the start: the moving button sleeps until the first showing.
    MovingButton1->SuspendMoving();
    FHiddenSince = platform::GetTickCount64();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TAboutBox::createPanel() {
    XPPanel1 = new controls::TXPPanel(this);
    XPPanel1->setObjectName(QStringLiteral("XPPanel1"));
    XPPanel1->setGeometry(8, 8, 337, 185);
    XPPanel1->SetFont(fontIn(PanelFontColor));
    XPPanel1->installEventFilter(this);

    ProgramIcon = new platform::TImage(XPPanel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(8, 8, 113, 169);
    ProgramIcon->SetPictureFrom(
        [] { return platform::LoadPng(platform::ResourcePath("PICTURE", "About")); });
    ProgramIcon->installEventFilter(this);

    const std::string version = std::string("Version ") + VELMAR_VERSION;
    XPLabel3 = label(XPPanel1, "XPLabel3", 136, 8, "Velmar Puzzle", platform::clYellow);
    XPLabel4 = label(XPPanel1, "XPLabel4", 240, 8, version.c_str(), platform::clYellow);
    XPLabel5 =
        label(XPPanel1, "XPLabel5", 136, 24, "(C) 2026 The Velmar developers", platform::clCream);
    XPLabel6 = label(XPPanel1, "XPLabel6", 136, 40, "Licensed under the GNU GPL 3 or later.",
                     platform::clCream);
    createMovingButton();
    XPLabel2 = label(XPPanel1, "XPLabel2", 136, 144, "System: Linux (X11, Wayland).");
    XPLabel1 = label(XPPanel1, "XPLabel1", 136, 160, "This program is freeware.");
}

void TAboutBox::createMovingButton() {
    XPPanel2 = new controls::TXPPanel(XPPanel1);
    XPPanel2->setObjectName(QStringLiteral("XPPanel2"));
    XPPanel2->setGeometry(136, 56, 193, 81);
    XPPanel2->SetFont(fontIn(PanelFontColor));

    MovingButton1 = new controls::TMovingButton(XPPanel2);
    MovingButton1->setObjectName(QStringLiteral("MovingButton1"));
    MovingButton1->setGeometry(30, 49, 80, 29);
    MovingButton1->SetCaption("Play Game");
    MovingButton1->setCursor(Qt::PointingHandCursor);
    MovingButton1->SetFont(fontIn(platform::clBlue, platform::fsBold));
    MovingButton1->SetLayout(platform::blGlyphRight);
    MovingButton1->SetSpacing(10);
    MovingButton1->SetMoveInterval(50);
    MovingButton1->SetIsMoving(true);
    MovingButton1->OnClick = [this](QObject*) { MovingButton1Click(); };
}

void TAboutBox::createFooter() {
    Label1 = label(this, "Label1", 8, 200, "Physical Memory Available to Linux:");
    Label2 = label(this, "Label2", 8, 216, "Memory in Use:");

    Button3d1 = new controls::TButton3d(this);
    Button3d1->setObjectName(QStringLiteral("Button3d1"));
    Button3d1->setGeometry(296, 200, 49, 25);
    Button3d1->SetCaption("OK");
    Button3d1->setCursor(Qt::PointingHandCursor);
    Button3d1->SetFont(fontIn(platform::clYellow));
    Button3d1->SetStyle(controls::bsShadowed);
    Button3d1->OnClick = [this](QObject*) { Button3d1Click(); };
}

void TAboutBox::FormCreate() {
    // Read once: a later language never reaches this caption.
    char caption[256];
    std::snprintf(caption, sizeof caption, "About  %s", platform::Application().Title().c_str());
    setWindowTitle(QString::fromUtf8(caption));
}

void TAboutBox::FormShow() {
    platform::MEMORYSTATUSEX status;
    if (!platform::GlobalMemoryStatusEx(status)) {
        Label1->SetCaption("Physical Memory Available to Linux: unknown");
        Label2->SetCaption("Memory in Use:   unknown");
        return;
    }
    Label1->SetCaption("Physical Memory Available to Linux: " + KilobytesText(status.ullTotalPhys));
    char load[32];
    std::snprintf(load, sizeof load, "%u %%", static_cast<unsigned>(status.dwMemoryLoad));
    Label2->SetCaption(std::string("Memory in Use:   ") + load);
}

void TAboutBox::Button3d1Click() {
    close();
}

void TAboutBox::MovingButton1Click() {
    close();
}

void TAboutBox::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
        MovingButton1->ResumeMoving(platform::GetTickCount64() - FHiddenSince);
    }
    QDialog::showEvent(event);
}

void TAboutBox::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        MovingButton1->SuspendMoving();
        FHiddenSince = platform::GetTickCount64();
    }
    QDialog::hideEvent(event);
}

void TAboutBox::startDrag() {
    platform::BeginWindowDrag(this);
}

void TAboutBox::mousePressEvent(QMouseEvent*) {
    startDrag(); // FormMouseDown: any button
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    // XPPanel1MouseDown and ProgramIconMouseDown; presses on the panel's other children stay
    // with them.
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == XPPanel1 || watched == ProgramIcon)) {
        startDrag();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace dialogs
