// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Project1.h"

#include "app/AccessibleBoard.h"
#include "app/Forms.h"
#include "app/TForm1.h"
#include "dialogs/TControllPanel.h"
#include "dialogs/TLogotip.h"
#include "i18n/LanguagePasses.h"
#include "platform/audio/AudioEngine.h"
#include "platform/audio/OutputNames.h"
#include "platform/gdi/FontConfigWarmUp.h"
#include "platform/ui/Application.h"
#include "platform/ui/Display.h"
#include "platform/ui/EndSignals.h"
#include "platform/ui/FirstPaint.h"
#include "platform/ui/PrevInstance.h"

#include <Version.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace app {

namespace {

bool hasDisplay() {
    const char* platformName = std::getenv("QT_QPA_PLATFORM");
    if (platformName && *platformName)
        return true;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

// The session's one game: a second start brings it forward and ends before it shows, plays or
// writes anything. Returns the exit status of a start that ends here.
std::optional<int> claimSession(platform::PrevInstance& session,
                                const platform::StartTokens& tokens) {
    switch (session.Claim(tokens)) {
    case platform::PrevInstance::Outcome::First:
        return std::nullopt;
    case platform::PrevInstance::Outcome::Raised:
        return 0;
    case platform::PrevInstance::Outcome::Alone:
        if (!session.Problem().empty())
            std::fprintf(stderr, "velmar: %s; a second start will open a second game.\n",
                         session.Problem().c_str());
        return std::nullopt;
    case platform::PrevInstance::Outcome::Unanswered:
        break;
    }
    std::fprintf(stderr, "velmar: %s.\n", session.Problem().c_str());
    return 1;
}

// Splash, the four windows in their order, the message loop.
int runGame(QGuiApplication& qtApp) {
    auto splash = std::make_unique<dialogs::TLogotip>();
    splash->show();
    splash->repaint();
    platform::Application().ProcessMessages();

    // The sound module and the soundfont load on a worker, which on two cores would slow the
    // main window's first paint down; they load right after it instead (within a second, should
    // it never paint), which starts the first melody a few milliseconds later.
    platform::AudioEngine* sound = &platform::AudioEngine::Shared(std::chrono::seconds(1));
    const std::unique_ptr<TForm1> form = CreateForms();
    platform::FirstPaint::Then(*form, [sound] { sound->ReleaseWork(); });

    splash->hide();
    splash.reset();

    form->show();
    QObject::connect(&qtApp, &QGuiApplication::commitDataRequest, form.get(),
                     [&form](QSessionManager& manager) {
                         if (!manager.allowsInteraction())
                             return;
                         const bool mayClose = form->CloseQuery();
                         manager.release();
                         if (!mayClose)
                             manager.cancel();
                     });
    // An end signal during the start-up found no window to close; it ends the program now.
    if (platform::Application().Terminated())
        form->EndProgram();
    const int result = platform::Application().Terminated() ? 0 : platform::Application().Run();
    ClearForms();
    return result;
}

} // namespace

void EndOnSignals() {
    platform::OnEndSignals([](int) {
        if (Form1)
            Form1->EndProgram();
        else
            platform::Application().Terminate();
    });
}

int Project1(int argc, char** argv) {
    if (!hasDisplay()) {
        std::fprintf(stderr, "velmar: no display found. Velmar is a desktop game: start it "
                             "inside a graphical session (DISPLAY or WAYLAND_DISPLAY unset).\n");
        return 1;
    }
    // While the process has one thread: what the desktop handed this start (the toolkit takes
    // it out of the environment), and the icon's name, which goes through the environment. The
    // stream takes the stored language's name, as the first sound may open the output before
    // the main window has read its language; from then on the language passes rename it.
    const platform::StartTokens tokens = platform::StartTokens::FromEnvironment();
    const int language = dialogs::TControllPanel::StoredLanguage();
    platform::NameSoundOutput({"Velmar",
                               i18n::TableText(language, i18n::CaptionTarget::SoundStreamName),
                               "game", VELMAR_APP_ID});
    platform::PrepareProcess();
    platform::FontConfigWarmUp fontConfig; // the environment is final from here on
    // The display's answer takes a round trip, which the font configuration's load now fills.
    if (const auto problem = platform::UnreachableDisplay()) {
        std::fprintf(stderr, "velmar: %s. Start it inside a graphical session.\n",
                     problem->c_str());
        return 1;
    }
    platform::ExitCleanlyOnDisplayFailure(); // what the check above could not foresee
    platform::GuardedApplication qtApp(argc, argv);
    platform::ForgetDisplayFailure();
    QGuiApplication::setApplicationName(QStringLiteral(VELMAR_APP_ID));
    QGuiApplication::setApplicationVersion(QStringLiteral(VELMAR_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMAR_APP_ID));
    // Released when the game has ended and deleted its temporary files, not before.
    platform::PrevInstance session(QStringLiteral(VELMAR_APP_ID));
    if (const std::optional<int> status = claimSession(session, tokens))
        return *status;
    fontConfig.Wait();
    platform::PrepareApplication(qtApp);
    EndOnSignals(); // before the audio module starts, so its library leaves the signals alone
    InstallAccessibility();
    return runGame(qtApp);
}

} // namespace app
