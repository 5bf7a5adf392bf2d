// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TForm1.h"

#include "app/Forms.h"
#include "app/StatusPanels.h"
#include "app/rules/Clock.h"
#include "app/rules/Deal.h"
#include "app/rules/TileMoves.h"
#include "dialogs/TAboutBox.h"
#include "dialogs/TControllPanel.h"
#include "dialogs/TVolimesDialog.h"
#include "i18n/LanguageFile.h"
#include "media/SoundEffects.h"
#include "media/TempFiles.h"
#include "platform/Exception.h"
#include "platform/files/Files.h"
#include "platform/files/Resources.h"
#include "platform/gdi/Pictures.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Shell.h"
#include "platform/widgets/Cursors.h"
#include "platform/widgets/WindowDrag.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <optional>

namespace app {

namespace {

constexpr const char* kProgramName = "Velmar";

} // namespace

TForm1::TForm1()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      seedSource_(&rules::ClockSeed), hintTexts_(EnglishHintTexts()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kProgramName));
    setFocusPolicy(Qt::StrongFocus);
    createControls();
    createMenu();
    createTimers();
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::FormDestroy() {
    MenuPainter.reset();
    hintSearch_.reset(); // the worker ends with the window
}

void TForm1::createControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The window sizes itself to the board and the status bar; it cannot be resized.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Panel1 = new platform::TPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedSize(BoardFrameSize, BoardFrameSize);
    Panel2 = new platform::TPanel(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    platform::TFont boardFont;
    boardFont.Height = 16;
    boardFont.Style = platform::fsBold;
    boardFont.Color = platform::clWhite;
    Panel2->SetFont(boardFont);

    // The tiles take the board panel's font.
    const platform::TFont tileFont = Panel2->Font();
    for (int n = 1; n <= TileCount; ++n) {
        auto* tile = new controls::TColorButton(Panel2);
        tile->setObjectName(QStringLiteral("Button%1").arg(n));
        tile->setText(QString::number(n));
        tile->SetButtonColor(platform::clTeal);
        tile->SetFont(tileFont);
        tile->setFixedSize(rules::TileSize, rules::TileSize);
        tile->hide();
        connect(tile, &QPushButton::clicked, this, [this, tile] { Button15Click(tile); });
        Buttons[static_cast<std::size_t>(n - 1)] = tile;
    }

    StatusBar1 = new platform::TStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedWidth(BoardFrameSize);
    StatusBar1->SetPanels({{"", 50, platform::taCenter},
                           {"", 44, platform::taLeftJustify},
                           {"", 50, platform::taCenter},
                           {"", 22, platform::taLeftJustify},
                           {"", 50, platform::taCenter}});
    StatusBar1->OnMouseDown = [this] { StatusBar1MouseDown(); };

    layout->addWidget(Panel1);
    layout->addWidget(StatusBar1);

    for (int i = 0; i < static_cast<int>(ImageList1.size()); ++i)
        ImageList1[static_cast<std::size_t>(i)] =
            platform::LoadPngIcon(platform::ResourcePath("ICON", "Frame" + std::to_string(i)));
}

void TForm1::createTimers() {
    Timer1.OnTimer = [this] { Move(); };
    Timer2.OnTimer = [this] { Timer2Timer(); };
    Timer3.OnTimer = [this] { Timer3Timer(); };
    Timer4.OnTimer = [this] { Timer4Timer(); };
    Timer5.OnTimer = [this] { Timer5Timer(); };
    TimerST.OnTimer = [this] { TimerSTTimer(); };
    TimerSTR.OnTimer = [this] { TimerSTRTimer(); };
    TimerHint.OnTimer = [this] { TimerHintTimer(); };
    TimerHint.SetEnabled(false);
    TimerST.SetEnabled(false);
    TimerSTR.SetEnabled(false);
}

// The timers' first state: only the icon and the scrolling text run.
void TForm1::startTimers() {
    Timer1.SetEnabled(false);
    Timer2.SetEnabled(false);
    Timer3.SetEnabled(false);
    Timer4.SetInterval(700);
    // Where the icon is never seen, its animation would only wake the program for nothing.
    Timer4.SetEnabled(platform::WindowIconShown());
    Timer5.SetInterval(500);
    Timer5.SetEnabled(true);
    Timer1.SetInterval(1);
    Timer2.SetInterval(1000);
    Timer3.SetInterval(1000);
    TimerST.SetInterval(1000);
    TimerSTR.SetInterval(1000);
}

// The board before the first game, with the cursors and the status bar's first texts.
void TForm1::setUpBoardAndStatusBar() {
    Panel1->SetCaption("");
    Panel1->SetBevelInner(platform::bvLowered);
    Panel1->SetBevelOuter(platform::bvLowered);
    Panel2->setGeometry(2, 2, BoardFrameSize - 4, BoardFrameSize - 4);
    Panel2->SetCaption("");
    Panel2->SetBevelInner(platform::bvLowered);
    Panel2->SetBevelOuter(platform::bvRaised);
    Panel2->SetColor(platform::clBlack);
    Panel2->SetCaption("Play Game");
    platform::TFont boardFont = Panel2->Font();
    boardFont.Color = platform::clWhite;
    Panel2->SetFont(boardFont);

    Panel1->setCursor(platform::ScreenCursor(33));
    Panel2->setCursor(platform::ScreenCursor(33));
    StatusBar1->setCursor(platform::ScreenCursor(66));

    StatusBar1->SetPanelText(kMoveCaptionPanel, "Courses:");
    StatusBar1->SetPanelText(kMovePanel, "0");
    StatusBar1->SetPanelText(kRoundCaptionPanel, "Round:");
    StatusBar1->SetPanelText(kRoundPanel, "0");
    StatusBar1->SetPanelText(kClockPanel, rules::ClockStartText);
}

void TForm1::FormCreate() {
    using platform::SetScreenCursor;
    SetScreenCursor(22, platform::LoadCursor("ORV_22"));
    SetScreenCursor(66, platform::LoadCursor("ORV_66"));
    SetScreenCursor(33, platform::LoadCursor("ORV_33"));

    // The first failing write skips the rest; it is reported once the window is set up.
    std::optional<std::string> failure;
    try {
        i18n::WriteStringTable();
        media::ExtractMediaFiles();
    } catch (const std::exception& error) {
        failure = error.what();
    }

    Game.IconFrame = 0;
    platform::Application().SetIcon(ImageList1[0]);

    startTimers();

    platform::Application().SetTitle(windowTitle().toStdString());
    setUpBoardAndStatusBar();

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // A melody that cannot be opened is the error shown, also when an earlier write failed.
    try {
        playMelody("Music.mid");
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (failure)
        platform::Application().ShowException(platform::Exception(*failure));
}

void TForm1::playMelody(const std::string& file) {
    MediaPlayer1.FileName = media::TempFolderPath() + file;
    MediaPlayer1.Open();
    MediaPlayer1.Play();
}

// Another copy of the game closing removes the shared melody files; the menu writes a missing
// one again instead of ending the game through the unhandled-error path.
void TForm1::playMelodyFromMenu(const std::string& file) {
    media::RestoreMediaFile(file);
    playMelody(file);
}

void TForm1::PlayMusic1Click() {
    playMelodyFromMenu("Music.mid");
}

void TForm1::PlayMusic2Click() {
    playMelodyFromMenu("Music2.mid");
}

void TForm1::PlayMusic3Click() {
    playMelodyFromMenu("Music3.mid");
}

void TForm1::StopedClick() {
    MediaPlayer1.Close();
}

void TForm1::FormShow() {
    if (!ControllPanel) {
        attachMenuPainter();
        return;
    }
    ControllPanel->ComboBox1->SetItemIndex(dialogs::TControllPanel::StoredLanguage());
    ControllPanel->OnLanguageChanged = [this](const i18n::LanguageTexts& texts) {
        ApplyLanguage(texts);
    };
    ControllPanel->OnBoardColorChanged = [this](platform::TColor color) {
        Panel2->SetColor(color);
    };
    const i18n::LanguageTexts texts = i18n::ReadLanguage(
        ControllPanel->ComboBox1->currentText().toStdString(), i18n::Pass::StartUp);
    ApplyLanguage(texts);
    ControllPanel->ApplyLanguage(texts);
    Panel2->SetColor(ControllPanel->BoardColor());
    attachMenuPainter();
}

void TForm1::FormActivate() {
    platform::Application().SetOnException(
        [this](const std::exception& error) { AppException(error); });
    const platform::TColor textColor =
        ControllPanel ? ControllPanel->TileTextColor() : platform::clYellow;
    for (auto* tile : Buttons) {
        tile->setFixedSize(rules::TileSize, rules::TileSize);
        platform::TFont font = tile->Font();
        font.Style |= platform::fsBold;
        font.Color = textColor;
        tile->SetFont(font);
        tile->setCursor(platform::ScreenCursor(22));
        tile->hide();
    }
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
    // Activation follows the first show; it runs once, whatever the window manager does.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (activated_)
                return;
            activated_ = true;
            FormActivate();
        },
        Qt::QueuedConnection);
}

bool TForm1::FormCloseQuery() {
    media::StartSound("GAMEOVER");
    const std::string question = ControllPanel ? dialogs::TextOf(ControllPanel->Label3) : "?";
    return platform::MessageDlg(question, platform::mtConfirmation,
                                {platform::mbYes, platform::mbNo}) == platform::mrYes;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (ended_ || FormCloseQuery()) {
        EndProgram();
        event->accept();
    } else {
        event->ignore();
    }
}

// Other windows of the game (the help viewer) must not keep the process alive, and the timers
// must not go on in a game nobody sees: the message loop ends here, nested loops included.
void TForm1::EndProgram() {
    if (ended_)
        return;
    ended_ = true;
    cancelHint();
    for (platform::Timer* timer :
         {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5, &TimerST, &TimerSTR, &TimerHint})
        timer->SetEnabled(false);
    FormClose();
    hide();
    platform::Application().Terminate();
}

void TForm1::FormClose() {
    MediaPlayer1.Close();
    platform::DeleteFile(i18n::LanguageFilePath());
    media::DeleteMediaFiles();
}

void TForm1::FormKeyDown(int& key) {
    constexpr int VK_ESCAPE = 27;
    if (key != VK_ESCAPE)
        return;
    key = 0;
    close();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // A focused tile keeps its own keys, so only the window's own arrive here.
    int key = event->key() == Qt::Key_Escape ? 27 : 0;
    FormKeyDown(key);
    if (key == 0 && event->key() == Qt::Key_Escape)
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void TForm1::AppException(const std::exception& error) {
    platform::Application().ShowException(error);
    platform::Application().Terminate();
}

void TForm1::MinimisetsClick() {
    MediaPlayer1.Close();
    platform::Application().Minimize();
}

void TForm1::VisibeStatBarClick() {
    media::StartSound("KEY");
    StatusBar1->setVisible(StatusBar1->isHidden());
}

void TForm1::StatusBar1MouseDown() {
    platform::BeginWindowDrag(StatusBar1);
}

void TForm1::SpeedButton2Click() {
    media::StartSound("KEY");
    if (AboutBox)
        AboutBox->exec();
}

void TForm1::SpeedButton3Click() {
    close();
}

void TForm1::ParametersGameClick() {
    media::StartSound("KEY");
    if (ControllPanel)
        ControllPanel->exec();
}

void TForm1::Volime1Click() {
    if (VolimesDialog)
        VolimesDialog->exec();
}

void TForm1::HelpOnHelpClick() {
    media::ShellOpenFile(media::TempFolderPath() + "VELMAR.hlp", "", "", platform::SW_SHOW);
}

} // namespace app
