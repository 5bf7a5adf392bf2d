// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's share of a language pass: menus, caption, title, status bar labels, and
// the words a screen reader hears of the board and the volume slider, and the name the desktop's
// sound settings give the game's output.
#include "app/TForm1.h"

#include "app/Forms.h"
#include "app/StatusPanels.h"
#include "dialogs/CaptionSetters.h"
#include "dialogs/TVolimesDialog.h"
#include "i18n/StringTable.h"
#include "platform/audio/OutputNames.h"
#include "platform/ui/Application.h"

#include <QLocale>
#include <iterator>

namespace app {

i18n::CaptionSetter TForm1::readsAs(i18n::CaptionTarget target, QString BoardReading::*words) {
    return {target, [this, words](const std::string& text) {
                boardReading_.*words = QString::fromStdString(text);
            }};
}

std::vector<i18n::CaptionSetter> TForm1::CaptionSetters() {
    using T = i18n::CaptionTarget;
    using dialogs::SetsText;
    using dialogs::SetsTitle;
    std::vector<i18n::CaptionSetter> setters{
        SetsTitle(T::Files, Files),
        SetsText(T::Play, Play),
        SetsText(T::Play1, Play1),
        SetsText(T::Play2, Play2),
        SetsText(T::Play3, Play3),
        SetsText(T::Minimisets, Minimisets),
        SetsText(T::ExitGame, ExitGame),
        SetsTitle(T::Music, Music),
        SetsText(T::PlayMusic1, PlayMusic1),
        SetsText(T::PlayMusic2, PlayMusic2),
        SetsText(T::PlayMusic3, PlayMusic3),
        SetsText(T::Stoped, Stoped),
        SetsTitle(T::Parameters, Parameters),
        SetsText(T::ParametersGame, ParametersGame),
        SetsText(T::Volime1, Volime1),
        SetsText(T::VisibeStatBar, VisibeStatBar),
        SetsTitle(T::Helps, Helps),
        SetsText(T::HelpGame, HelpGame),
        SetsText(T::HelpOnHelp, HelpOnHelp),
        {T::ApplicationTitle,
         [](const std::string& text) { platform::Application().SetTitle(text); }},
        dialogs::SetsWindowTitle(T::MainCaption, this),
        {T::StatusPanel0,
         [this](const std::string& text) { StatusBar1->SetPanelText(kMoveCaptionPanel, text); }},
        {T::StatusPanel2,
         [this](const std::string& text) { StatusBar1->SetPanelText(kRoundCaptionPanel, text); }},
        SetsText(T::Hint, Hint),
    };
    const auto append = [&setters](std::vector<i18n::CaptionSetter> more) {
        std::move(more.begin(), more.end(), std::back_inserter(setters));
    };
    append(spokenCaptionSetters());
    append(recordsCaptionSetters());
    return setters;
}

// What the hint says, and what screen readers and the sound settings hear.
std::vector<i18n::CaptionSetter> TForm1::spokenCaptionSetters() {
    using T = i18n::CaptionTarget;
    return {
        {T::HintMovesOne, [this](const std::string& text) { hintTexts_.Moves[0] = text; }},
        {T::HintMovesFew, [this](const std::string& text) { hintTexts_.Moves[1] = text; }},
        {T::HintMovesMany, [this](const std::string& text) { hintTexts_.Moves[2] = text; }},
        {T::HintUnsolvable, [this](const std::string& text) { hintTexts_.Unsolvable = text; }},
        {T::HintWorking, [this](const std::string& text) { hintTexts_.Working = text; }},
        {T::HintTile,
         [this](const std::string& text) {
             hintTexts_.Tile = text;
             boardReading_.Tile = QString::fromStdString(text);
         }},
        readsAs(T::BoardName, &BoardReading::Board),
        readsAs(T::BoardEmptyCell, &BoardReading::EmptyCell),
        readsAs(T::BoardNoTiles, &BoardReading::NoTiles),
        readsAs(T::BoardCell, &BoardReading::Cell),
        readsAs(T::NoticeDeal, &BoardReading::Deal),
        readsAs(T::NoticeMoved, &BoardReading::Moved),
        readsAs(T::NoticeStuck, &BoardReading::Stuck),
        readsAs(T::NoticeHint, &BoardReading::Hint),
        {T::MusicVolume,
         [](const std::string& text) {
             if (VolimesDialog)
                 VolimesDialog->TrackBar1->setAccessibleName(QString::fromStdString(text));
         }},
        // Taken when the output next opens: it closes when quiet, so a new language is heard
        // by name at the next melody or clip.
        {T::SoundStreamName, [](const std::string& text) { platform::NameSoundStream(text); }},
    };
}

void TForm1::ApplyLanguage(const i18n::LanguageTexts& texts) {
    // A search or blink in another language would answer in the wrong words.
    cancelHint();
    Game.MarqueeText = texts.MarqueeText;
    hintTexts_.Plurals = texts.Plurals;
    i18n::ApplyCaptions(texts, CaptionSetters());
    SetBoardReading(Panel2, boardReading_);
    // The window's locale names its language, so the help viewer opens the page in it.
    setLocale(QLocale(QString::fromLatin1(i18n::LanguageCodeOfSection(texts.Section))));
    applyRecordsLanguage();
}

} // namespace app
