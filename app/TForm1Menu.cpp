// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TForm1.h"

#include "platform/gdi/Fonts.h"

#include <QKeySequence>
#include <QLayout>

namespace app {

namespace {

QAction* item(QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut,
              std::function<void()> handler) {
    auto* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    if (handler)
        QObject::connect(action, &QAction::triggered, menu, [handler] { handler(); });
    return action;
}

// Items that never show: the game triggers them itself.
QAction* hiddenItem(QMenu* menu, const char* name, std::function<void()> handler) {
    QAction* action = item(menu, name, "", {}, std::move(handler));
    action->setVisible(false);
    return action;
}

} // namespace

void TForm1::createMenu() {
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->setFont(platform::ToQFont(platform::TFont{}));
    layout()->setMenuBar(MainMenu1);

    Files = MainMenu1->addMenu(QStringLiteral("&Game"));
    Files->setObjectName(QStringLiteral("Files"));
    Play = item(Files, "Play", "&Pley New Game", Qt::Key_F5, [this] { PlayClick(); });
    Files->addSeparator();
    Play1 = item(Files, "Play1", "&Level 2 - time 15 min.", Qt::Key_F6, [this] { Play1Click(); });
    Play2 = item(Files, "Play2", "&Level 3 - time 10 min.", Qt::Key_F7, [this] { Play2Click(); });
    Play3 = item(Files, "Play3", "&Level 4 - time 5 min.", Qt::Key_F8, [this] { Play3Click(); });
    Hint = item(Files, "Hint", "&Hint", Qt::Key_H, [this] { HintClick(); });
    Records = item(Files, "Records", "&Records", QKeySequence(Qt::CTRL | Qt::Key_R),
                   [this] { RecordsClick(); });
    Files->addSeparator();
    Music = Files->addMenu(QStringLiteral("&Music"));
    Music->setObjectName(QStringLiteral("Music"));
    PlayMusic1 =
        item(Music, "PlayMusic1", "Play Melody 1", Qt::Key_F2, [this] { PlayMusic1Click(); });
    PlayMusic2 =
        item(Music, "PlayMusic2", "Play Melody 2", Qt::Key_F3, [this] { PlayMusic2Click(); });
    PlayMusic3 =
        item(Music, "PlayMusic3", "Play Melody 3", Qt::Key_F4, [this] { PlayMusic3Click(); });
    Music->addSeparator();
    Stoped = item(Music, "Stoped", "&Stop Melody", QKeySequence(Qt::CTRL | Qt::Key_S),
                  [this] { StopedClick(); });
    Files->addSeparator();
    Minimisets = item(Files, "Minimisets", "&Minimize", Qt::Key_F11, [this] { MinimisetsClick(); });
    Files->addSeparator();
    ExitGame = item(Files, "ExitGame", "&Exit    Esc", {}, [this] { SpeedButton3Click(); });

    Parameters = MainMenu1->addMenu(QStringLiteral("&Parameters"));
    Parameters->setObjectName(QStringLiteral("Parameters"));
    ParametersGame = item(Parameters, "ParametersGame", "&Parameters Game", Qt::Key_F12,
                          [this] { ParametersGameClick(); });
    Parameters->addSeparator();
    Volime1 = item(Parameters, "Volime1", "&Volime", QKeySequence(Qt::CTRL | Qt::Key_V),
                   [this] { Volime1Click(); });
    Parameters->addSeparator();
    VisibeStatBar = item(Parameters, "VisibeStatBar", "&Status bar", Qt::Key_F9,
                         [this] { VisibeStatBarClick(); });
    GameOver = hiddenItem(Parameters, "GameOver", [this] { GameOverClick(); });
    FinnalyGames = hiddenItem(Parameters, "FinnalyGames", [this] { FinnalyGamesClick(); });

    Helps = MainMenu1->addMenu(QStringLiteral("&Help"));
    Helps->setObjectName(QStringLiteral("Helps"));
    HelpGame = item(Helps, "HelpGame", "&About", {}, [this] { SpeedButton2Click(); });
    Helps->addSeparator();
    HelpOnHelp =
        item(Helps, "HelpOnHelp", "&Help on the game", Qt::Key_F1, [this] { HelpOnHelpClick(); });

    RyMenu1 = new controls::TRyMenu(this);
    RyMenu1->setObjectName(QStringLiteral("RyMenu1"));
}

// Made once the captions are set, so the items are measured in their shown language.
void TForm1::attachMenuPainter() {
    MenuPainter = std::make_unique<controls::TRyMenu>();
    MenuPainter->SetSelectedColor(platform::clGradientActiveCaption);
    MenuPainter->MenuColor = platform::clTeal;
    MenuPainter->GutterColor = platform::clBlue;
    MenuPainter->Font.Name = "Comic Sans MS";
    MenuPainter->Font.Height = 0;
    MenuPainter->Font.Size = 10;
    MenuPainter->Attach(MainMenu1, nullptr);
}

} // namespace app
