// SPDX-License-Identifier: GPL-3.0-or-later
// The board, the rounds and the clocks as the main window shows them.
#include "app/TForm1.h"

#include "app/AccessibleBoard.h"
#include "app/Forms.h"
#include "app/StatusPanels.h"
#include "app/rules/Clock.h"
#include "app/rules/Deal.h"
#include "app/rules/GameState.h"
#include "app/rules/Records.h"
#include "app/rules/TileMoves.h"
#include "dialogs/TControllPanel.h"
#include "media/SoundEffects.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/widgets/AccessibleWidgets.h"

namespace app {

rules::GameState Game;

namespace {

constexpr int kEndMessageHeight = 122;

std::string labelText(QLabel* dialogs::TControllPanel::*label) {
    return ControllPanel ? dialogs::TextOf(ControllPanel->*label) : std::string();
}

void setLabelText(QLabel* dialogs::TControllPanel::*label, const std::string& text) {
    if (ControllPanel)
        dialogs::SetText(ControllPanel->*label, text);
}

} // namespace

int TForm1::tileNumberOf(QObject* sender) const {
    for (int n = 1; n <= TileCount; ++n)
        if (Buttons[static_cast<std::size_t>(n - 1)] == sender)
            return n;
    return 0;
}

void TForm1::raiseCount(int panel) {
    StatusBar1->SetPanelText(panel, rules::RaisedCount(StatusBar1->PanelText(panel)));
}

void TForm1::Button15Click(QObject* sender) {
    media::StartSound("MOVE");
    raiseCount(kMovePanel);
    const int tile = tileNumberOf(sender);
    if (tile == 0)
        return;
    const auto* button = Tile(tile);
    const bool sliding = Game.Sliding == 1;
    if (rules::BeginSlide(Game, tile, button->x(), button->y()))
        Move();
    else if (!sliding)
        announce(StuckNotice(boardReading_, tile, movesText()));
}

QString TForm1::movesText() const {
    return QString::fromStdString(StatusBar1->PanelText(kMovePanel));
}

void TForm1::announce(const QString& text) {
    platform::AnnounceNotice(StatusBar1, text);
}

void TForm1::Move() {
    const auto step = rules::StepSlide(Game);
    if (!step) {
        Timer1.SetEnabled(false);
        return;
    }
    Timer1.SetEnabled(true);
    Tile(step->Tile)->move(step->Place.Left, step->Place.Top);
    if (!step->Finished)
        return;
    Timer1.SetEnabled(false);
    hintBoardChanged();
    AnnounceBoardChanged(Panel2);
    announce(MoveNotice(boardReading_, step->Tile, Game.Board, movesText()));
    if (step->Solved)
        FinnalyGames->trigger();
}

void TForm1::PlaceTiles() {
    for (int cell = 1; cell <= rules::CellCount; ++cell) {
        const int tile = Game.Board[static_cast<std::size_t>(cell)];
        if (tile < 1 || tile > TileCount)
            continue;
        const rules::TilePlace place = rules::CellPosition(cell);
        Tile(tile)->move(place.Left, place.Top);
    }
    AnnounceBoardChanged(Panel2);
}

// A deal must never meet a slide half done: its last step would write into the new board.
void TForm1::cancelSlide() {
    Timer1.SetEnabled(false);
    if (const auto cancelled = rules::CancelSlide(Game))
        Tile(cancelled->Tile)->move(cancelled->Place.Left, cancelled->Place.Top);
}

void TForm1::stopClocks() {
    Timer2.SetEnabled(false);
    Timer3.SetEnabled(false);
    TimerST.SetEnabled(false);
    TimerSTR.SetEnabled(false);
}

void TForm1::StartGame(Level level) {
    media::StartSound("CLICK");
    cancelHint();
    cancelSlide();
    stopClocks();
    Timer5.SetEnabled(false);
    Panel2->SetCaption("");
    StatusBar1->SetPanelText(kClockPanel, rules::ClockStartText);
    if (level != Level::Simple)
        Game.TimeLeft = rules::LevelTimeLimit(static_cast<int>(level) + 1);
    Game.TimeUsed = 0;
    StatusBar1->SetPanelText(kMovePanel, "0");
    raiseCount(kRoundPanel);
    switch (level) {
    case Level::Simple:
        TimerST.SetEnabled(true);
        break;
    case Level::Minutes15:
        Timer2.SetEnabled(true);
        TimerSTR.SetEnabled(true);
        break;
    case Level::Minutes10:
    case Level::Minutes5:
        Timer3.SetEnabled(true);
        TimerSTR.SetEnabled(true);
        break;
    }
    for (auto* tile : Buttons)
        tile->show();
    rules::ShuffleBoard(Game, seedSource_());
    PlaceTiles();
    countDeal(level);
    const auto levelIndex = static_cast<std::size_t>(level);
    announce(DealNotice(boardReading_, QString::fromStdString(recordsTexts_.LevelNames[levelIndex]),
                        Game.Board));
}

void TForm1::PlayClick() {
    StartGame(Level::Simple);
}
void TForm1::Play1Click() {
    StartGame(Level::Minutes15);
}
void TForm1::Play2Click() {
    StartGame(Level::Minutes10);
}
void TForm1::Play3Click() {
    StartGame(Level::Minutes5);
}

void TForm1::Timer2Timer() {
    const rules::CountdownTick tick = rules::TickCountdown(Game);
    StatusBar1->SetPanelText(kClockPanel, tick.Text);
    if (tick.Expired)
        GameOver->trigger();
}

void TForm1::Timer3Timer() {
    Timer2Timer();
}

void TForm1::TimerSTRTimer() {
    setLabelText(&dialogs::TControllPanel::LabelTime, rules::TickTimeUsed(Game));
}

void TForm1::TimerSTTimer() {
    const std::string text = rules::TickTimeUsed(Game);
    StatusBar1->SetPanelText(kClockPanel, text);
    setLabelText(&dialogs::TControllPanel::LabelTime, text);
}

void TForm1::Timer4Timer() {
    platform::Application().SetIcon(
        ImageList1[static_cast<std::size_t>(rules::NextIconFrame(Game))]);
}

void TForm1::Timer5Timer() {
    Panel2->SetCaption(Game.MarqueeText);
    rules::RotateMarquee(Game);
}

void TForm1::showEndMessage(const std::string& text) {
    platform::InformationBox(text, platform::Application().Title(), platform::clWhite,
                             kEndMessageHeight);
}

void TForm1::FinnalyGamesClick() {
    media::StartSound("FINALLY");
    stopClocks();
    const RecordMarks marks = countWin();
    const std::string message = labelText(&dialogs::TControllPanel::Label1) + "\r\n" +
                                labelText(&dialogs::TControllPanel::ZATTIME) + ": " +
                                labelText(&dialogs::TControllPanel::LabelTime) + "\r\n" +
                                StatusBar1->PanelText(kMoveCaptionPanel) + " " +
                                StatusBar1->PanelText(kMovePanel);
    showEndMessage(message);
    if (marks.Level != 0)
        showRecords(marks);
}

void TForm1::GameOverClick() {
    media::StartSound("GAMEOVER");
    stopClocks();
    PlayerRecords.CountTimeOut();
    showEndMessage(labelText(&dialogs::TControllPanel::Label2));
}

} // namespace app
