// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AccessibleBoard.h"
#include "app/GameRecords.h"
#include "app/HintSearch.h"
#include "app/RecordsView.h"
#include "app/rules/GameState.h"
#include "controls/ColorButtons.h"
#include "controls/RyMenus.h"
#include "i18n/LanguagePasses.h"
#include "media/TMediaPlayer.h"
#include "platform/ui/Timer.h"
#include "platform/widgets/Panel.h"
#include "platform/widgets/StatusBar.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace app {

// The game's state lives in the main window's unit, not in the window object.
extern rules::GameState Game;

// The hint's texts in the player's language, as the language passes read them.
struct HintTexts {
    std::array<std::string, 3> Moves; // one, few and many moves to go, each with "%d"
    std::string Unsolvable;
    std::string Tile;    // "Tile %d", for screen readers
    std::string Working; // after the title while a search runs
    i18n::PluralRule Plurals = i18n::PluralRule::OneOther;
};

// The hint's texts before any language pass has run.
HintTexts EnglishHintTexts();

// The main game window: the board, its menu, the status bar and the game's timers.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int BoardFrameSize = 207;
    static constexpr int TileCount = 15;

    TForm1();
    ~TForm1() override;

    platform::TPanel* Panel1;
    platform::TPanel* Panel2;
    std::array<controls::TColorButton*, TileCount> Buttons{};
    platform::TStatusBar* StatusBar1;
    QMenuBar* MainMenu1;

    QMenu* Files;
    QAction* Play;
    QAction* Play1;
    QAction* Play2;
    QAction* Play3;
    QAction* Hint;
    QAction* Records;
    QMenu* Music;
    QAction* PlayMusic1;
    QAction* PlayMusic2;
    QAction* PlayMusic3;
    QAction* Stoped;
    QAction* Minimisets;
    QAction* ExitGame;
    QMenu* Parameters;
    QAction* ParametersGame;
    QAction* Volime1;
    QAction* VisibeStatBar;
    QAction* GameOver;
    QAction* FinnalyGames;
    QMenu* Helps;
    QAction* HelpGame;
    QAction* HelpOnHelp;

    platform::Timer Timer1;    // slide steps
    platform::Timer Timer2;    // countdown of the 15-minute level
    platform::Timer Timer3;    // countdown of the 10- and 5-minute levels
    platform::Timer Timer4;    // icon animation
    platform::Timer Timer5;    // scrolling text on the empty board
    platform::Timer TimerST;   // clock of the simple game
    platform::Timer TimerSTR;  // time used in a timed level
    platform::Timer TimerHint; // the hinted tile's blink

    std::array<QIcon, 5> ImageList1;
    controls::TRyMenu* RyMenu1; // a painter of the layout, never attached
    // Draws every item of MainMenu1 from the first show until the window is destroyed.
    std::unique_ptr<controls::TRyMenu> MenuPainter;
    media::TMediaPlayer MediaPlayer1;
    // The player's records, kept in the records file; the window that shows them is made at
    // its first opening.
    GameRecords PlayerRecords;
    dialogs::TRecordsDialog* RecordsDialog = nullptr;

    // Handlers, named as the design names them.
    void Button15Click(QObject* sender);
    void Move();
    void PlaceTiles();
    void FormKeyDown(int& key);
    void PlayClick();
    void Play1Click();
    void Play2Click();
    void Play3Click();
    void Timer2Timer();
    void Timer3Timer();
    void TimerSTTimer();
    void TimerSTRTimer();
    void Timer4Timer();
    void Timer5Timer();
    void GameOverClick();
    void FinnalyGamesClick();
    void MinimisetsClick();
    void VisibeStatBarClick();
    void StatusBar1MouseDown();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void ParametersGameClick();
    void Volime1Click();
    void HelpOnHelpClick();
    void PlayMusic1Click();
    void PlayMusic2Click();
    void PlayMusic3Click();
    void StopedClick();
    void HintClick();
    void TimerHintTimer();
    void RecordsClick();
    void AppException(const std::exception& error);

    // Puts the main window's share of a language pass on its menus, caption and status bar.
    void ApplyLanguage(const i18n::LanguageTexts& texts);
    // Where each caption of that share goes.
    std::vector<i18n::CaptionSetter> CaptionSetters();

    // Asks whether the window may close, as any attempt to close it does; also answers the
    // session manager before a log-off.
    bool CloseQuery() { return FormCloseQuery(); }

    // Ends the program as a confirmed close does, without the question: the session is ending
    // or the user asked from the terminal. Also the end of every confirmed close.
    void EndProgram();

    // Where new deals take their seed; the clock unless a test says otherwise.
    void SetSeedSource(std::function<std::uint32_t()> source) { seedSource_ = std::move(source); }

    // Where hints come from; the game's solver unless a test says otherwise. Ends any search
    // under way.
    void SetHintSolver(HintSearch::Search search);
    // A hint was asked for and its search has not answered yet.
    bool HintSearching() const { return hintSearch_ && hintSearch_->Busy(); }
    // Whether a worker thread for hints exists.
    bool HasHintWorker() const { return hintSearch_ && hintSearch_->HasWorker(); }
    // The tile the last hint marks, 0 for none.
    int HintedTile() const { return hintTile_; }

    // The tile of number 1..15.
    controls::TColorButton* Tile(int number) const { return Buttons[number - 1]; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy();
    void attachMenuPainter();

    void createControls();
    void createMenu();
    void createTimers();
    void startTimers();
    void setUpBoardAndStatusBar();

    enum class Level { Simple, Minutes15, Minutes10, Minutes5 };
    void StartGame(Level level);
    void stopClocks();
    void playMelody(const std::string& file);
    void playMelodyFromMenu(const std::string& file);
    void cancelSlide();
    void raiseCount(int panel);
    int tileNumberOf(QObject* sender) const;
    void showEndMessage(const std::string& text);
    // Says `text` to a listening screen reader at once.
    void announce(const QString& text);
    QString movesText() const;
    void countDeal(Level level);
    RecordMarks countWin();
    void showRecords(const RecordMarks& marks);
    std::vector<i18n::CaptionSetter> spokenCaptionSetters();
    std::vector<i18n::CaptionSetter> recordsCaptionSetters();
    // Where a language pass puts one of the words the board reads in.
    i18n::CaptionSetter readsAs(i18n::CaptionTarget target, QString BoardReading::*words);
    void applyRecordsLanguage();

    void hintFound(const HintSearch::Outcome& outcome);
    void showHint(int tile, int moves);
    void endBlink();
    void cancelHint();
    void clearHintNote();
    void hintBoardChanged();
    void noteHintAtWork();
    void endHintAtWork();

    std::function<std::uint32_t()> seedSource_;
    app::HintTexts hintTexts_;
    app::BoardReading boardReading_ = EnglishBoardReading();
    HintSearch::Search hintSolver_ = HintSearch::GameSolver();
    std::unique_ptr<HintSearch> hintSearch_; // made by the first hint
    rules::BoardCells hintBoard_{};          // the board the last hint is for
    int hintTile_ = 0;                       // the tile it marks, 0 for none
    bool blinking_ = false;
    int blinkPhase_ = 0;
    QString titleBeforeBlink_;
    std::optional<QString> titleBeforeSearch_; // while a search runs with its note shown
    bool shown_ = false;
    bool activated_ = false;
    bool ended_ = false;
    dialogs::RecordsTexts recordsTexts_;
    RecordsMessages recordsMessages_;
    RecordMarks recordMarks_; // what the records window marks while it is open
};

} // namespace app
