// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Application.h"

#include "platform/gdi/Colors.h"
#include "platform/gdi/Fonts.h"
#include "platform/ui/Dialogs.h"

#include <QDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QPlatformSurfaceEvent>
#include <QStyleFactory>
#include <QTranslator>
#include <QWindow>

namespace platform {

namespace {

// The toolkit ties the focus window's focus-object signal to the application when the window is
// activated, and unties it when another window is activated after it. A window closed while it
// has the focus loses its platform window and, with it, the focus without notice, so it stays
// tied, and every opening of a long-lived dialog would add one more tie. The tie goes here
// with the platform window instead.
class FocusTies : public QObject {
public:
    explicit FocusTies(QGuiApplication& app) : QObject(&app), app_(app) {
        connect(&app, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
            if (now)
                now->installEventFilter(this);
        });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::PlatformSurface &&
            static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
            if (auto* window = qobject_cast<QWindow*>(watched))
                disconnect(window, &QWindow::focusObjectChanged, &app_, nullptr);
        return false;
    }

private:
    QGuiApplication& app_;
};

} // namespace

TApplication& Application() {
    static TApplication application;
    return application;
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
}

void TApplication::SetIcon(const QIcon& icon) {
    icon_ = icon;
    QApplication::setWindowIcon(icon);
}

void TApplication::Minimize() {
    if (mainForm_)
        mainForm_->showMinimized();
}

int TApplication::Run() {
    running_ = true;
    const int result = QApplication::exec();
    running_ = false;
    return result;
}

void TApplication::Terminate() {
    terminated_ = true;
    if (running_) {
        QCoreApplication::exit(0);
        return;
    }
    // Before Run (a box shown while the game starts) only the boxes' own loops stand; an exit
    // would make every later modal loop return at once, so each box is answered as Esc would.
    for (int stacked = 0; stacked < 16; ++stacked) {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            break;
        box->reject();
    }
}

void TApplication::ProcessMessages() {
    QCoreApplication::processEvents();
}

void TApplication::ShowException(const std::exception& error) {
    ShowErrorBox(error.what(), title_);
}

void TApplication::HandleException(const std::exception& error) {
    if (onException_)
        onException_(error);
    else
        ShowException(error);
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        Application().HandleException(error);
    } catch (...) {
        Application().HandleException(std::runtime_error("Unknown error"));
    }
    return false;
}

void PrepareProcess() {
    // The game draws its own fixed look; a desktop theme plugin (GTK inside GNOME) would only
    // cost memory and start-up time.
    qunsetenv("QT_QPA_PLATFORMTHEME");
    qunsetenv("QT_STYLE_OVERRIDE");
    QApplication::setDesktopSettingsAware(false);
    // Qt finds a Wayland session by XDG_SESSION_TYPE; a compositor alone (no X server, no
    // session) is Wayland too, where the X11 default could only fail.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "wayland");
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

bool WindowIconShown() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void PrepareApplication(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette;
    const QColor face = ToQColor(clBtnFace);
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::Base, ToQColor(clWindow));
    palette.setColor(QPalette::AlternateBase, face);
    palette.setColor(QPalette::WindowText, ToQColor(clWindowText));
    palette.setColor(QPalette::Text, ToQColor(clWindowText));
    palette.setColor(QPalette::ButtonText, ToQColor(clBtnText));
    palette.setColor(QPalette::Light, ToQColor(clBtnHighlight));
    palette.setColor(QPalette::Midlight, ToQColor(cl3DLight));
    palette.setColor(QPalette::Mid, ToQColor(clBtnShadow));
    palette.setColor(QPalette::Dark, ToQColor(clBtnShadow));
    palette.setColor(QPalette::Shadow, ToQColor(cl3DDkShadow));
    palette.setColor(QPalette::Highlight, ToQColor(clHighlight));
    palette.setColor(QPalette::HighlightedText, ToQColor(clHighlightText));
    palette.setColor(QPalette::ToolTipBase, ToQColor(clInfoBk));
    palette.setColor(QPalette::ToolTipText, ToQColor(clInfoText));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, ToQColor(clGrayText));
    palette.setColor(QPalette::Disabled, QPalette::Text, ToQColor(clGrayText));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, ToQColor(clGrayText));
    QApplication::setPalette(palette);
    RegisterFonts();
    QApplication::setFont(ToQFont(TFont{}));
    new FocusTies(app);
    // The platform's own texts, such as a message box's OK, follow the desktop's language; the
    // game's own texts follow the language chosen in the game. Without Qt's translations they
    // stay English.
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace platform
