// SPDX-License-Identifier: GPL-3.0-or-later
// The hint: a shortest solution searched off the UI thread, its first tile blinked and the
// number of its moves shown in the window's title while the tile blinks.
#include "app/TForm1.h"

#include "app/AccessibleBoard.h"
#include "app/rules/TileMoves.h"
#include "i18n/StringTable.h"
#include "media/SoundEffects.h"
#include "platform/ui/Dialogs.h"

#include <exception>
#include <utility>

namespace app {

namespace {

// Pressed and released three times in about a second.
constexpr int kBlinkPhases = 6;
constexpr int kBlinkInterval = 167;

// Dealt and not yet in order: only then can a hint help.
bool hintable(const rules::BoardCells& board) {
    return rules::IsConsistent(board) && !rules::IsSolved(board);
}

std::string numbered(const std::string& text, int number) {
    return i18n::CountText({text, text, text}, i18n::PluralRule::OneOther, number);
}

} // namespace

HintTexts EnglishHintTexts() {
    HintTexts texts;
    using T = i18n::CaptionTarget;
    texts.Moves = {i18n::EnglishText(T::HintMovesOne), i18n::EnglishText(T::HintMovesFew),
                   i18n::EnglishText(T::HintMovesMany)};
    texts.Unsolvable = i18n::EnglishText(T::HintUnsolvable);
    texts.Tile = i18n::EnglishText(T::HintTile);
    texts.Working = i18n::EnglishText(T::HintWorking);
    return texts;
}

void TForm1::SetHintSolver(HintSearch::Search search) {
    cancelHint();
    hintSearch_.reset();
    hintSolver_ = std::move(search);
}

void TForm1::HintClick() {
    // A slide under way has already decided the board the player will see next.
    const rules::BoardCells board = rules::BoardAfterSlide(Game);
    if (!hintable(board) || HintSearching())
        return;
    media::StartSound("KEY");
    endBlink();
    try {
        if (!hintSearch_)
            hintSearch_ = std::make_unique<HintSearch>(
                [this](const HintSearch::Outcome& outcome) { hintFound(outcome); }, hintSolver_);
        hintSearch_->Start(board);
        noteHintAtWork();
    } catch (const std::exception& error) {
        platform::ShowMessage(std::string("The hint cannot be searched for: ") + error.what());
    }
}

void TForm1::hintFound(const HintSearch::Outcome& outcome) {
    endHintAtWork();
    if (!outcome.Error.empty()) {
        platform::ShowMessage(outcome.Error);
        return;
    }
    const rules::BoardCells board = rules::BoardAfterSlide(Game);
    if (board != outcome.Board) {
        // The player moved while the search ran: the hint is for the board as it is now.
        if (hintable(board)) {
            hintSearch_->Start(board);
            noteHintAtWork();
        }
        return;
    }
    if (outcome.Result.Status == rules::SolveStatus::Unsolvable) {
        platform::ShowMessage(hintTexts_.Unsolvable);
        return;
    }
    if (outcome.Result.Status != rules::SolveStatus::Solved || outcome.Result.Tiles.empty())
        return;
    Game.HintUsed = true;
    hintBoard_ = board;
    showHint(outcome.Result.Tiles.front(), static_cast<int>(outcome.Result.Tiles.size()));
}

void TForm1::showHint(int tile, int moves) {
    endBlink();
    clearHintNote();
    const std::string movesText = i18n::CountText(hintTexts_.Moves, hintTexts_.Plurals, moves);
    hintTile_ = tile;
    blinking_ = true;
    blinkPhase_ = 0;
    titleBeforeBlink_ = windowTitle();
    setWindowTitle(QString::fromStdString(movesText));
    Tile(tile)->SetHinted(true);
    Tile(tile)->SetDrawnDown(true);
    TimerHint.SetInterval(kBlinkInterval);
    TimerHint.SetEnabled(true);
    AnnounceHint(Tile(tile),
                 QString::fromStdString(numbered(hintTexts_.Tile, tile) + ", " + movesText));
    announce(HintNotice(boardReading_, tile, Game.Board, QString::fromStdString(movesText)));
}

void TForm1::TimerHintTimer() {
    if (!blinking_) {
        TimerHint.SetEnabled(false);
        return;
    }
    if (++blinkPhase_ >= kBlinkPhases) {
        endBlink();
        return;
    }
    Tile(hintTile_)->SetDrawnDown(blinkPhase_ % 2 == 0);
}

void TForm1::endBlink() {
    TimerHint.SetEnabled(false);
    if (!blinking_)
        return;
    blinking_ = false;
    Tile(hintTile_)->SetDrawnDown(false);
    Tile(hintTile_)->SetHinted(false);
    setWindowTitle(titleBeforeBlink_);
}

void TForm1::clearHintNote() {
    if (hintTile_ != 0)
        ClearHint(Tile(hintTile_));
    hintTile_ = 0;
}

// A board the hint was not for makes it wrong: the blink and the screen reader's note go.
void TForm1::hintBoardChanged() {
    if (hintTile_ != 0 && Game.Board != hintBoard_) {
        endBlink();
        clearHintNote();
    }
}

// The first search builds the solver's tables for seconds: the title says a hint is coming.
void TForm1::noteHintAtWork() {
    if (!titleBeforeSearch_)
        titleBeforeSearch_ = windowTitle();
    setWindowTitle(*titleBeforeSearch_ + QStringLiteral(" - ") +
                   QString::fromStdString(hintTexts_.Working));
}

void TForm1::endHintAtWork() {
    if (titleBeforeSearch_)
        setWindowTitle(*std::exchange(titleBeforeSearch_, std::nullopt));
}

void TForm1::cancelHint() {
    if (hintSearch_)
        hintSearch_->Cancel();
    endHintAtWork();
    endBlink();
    clearHintNote();
}

} // namespace app
