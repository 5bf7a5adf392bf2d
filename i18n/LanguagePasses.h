// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/Plurals.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace i18n {

// Every element a language pass labels.
enum class CaptionTarget {
    Files,
    Play,
    Play1,
    Play2,
    Play3,
    Minimisets,
    ExitGame,
    Music,
    PlayMusic1,
    PlayMusic2,
    PlayMusic3,
    Stoped,
    Parameters,
    ParametersGame,
    Volime1,
    VisibeStatBar,
    Helps,
    HelpGame,
    HelpOnHelp,
    ApplicationTitle,
    MainCaption,
    DialogCaption,
    StatusPanel0,
    StatusPanel2,
    Buttondefault,
    XPGroupBox1,
    XPGroupBox3,
    LanguageBox,
    Label1,
    Label2,
    Label3,
    ZATTIME,
    // Texts added after key 31.
    Hint,
    HintMovesOne,
    HintMovesFew,
    HintMovesMany,
    HintUnsolvable,
    HintTile,
    Records,
    RecordsCaption,
    RecordsLevelHeader,
    RecordsBestTimeHeader,
    RecordsFewestMovesHeader,
    RecordsWonPlayedHeader,
    RecordsClose,
    RecordsLevel1,
    RecordsLevel2,
    RecordsLevel3,
    RecordsLevel4,
    RecordsNewRecord,
    RecordsNoRecord,
    RecordsBestTimeDetails,
    RecordsBestMovesDetails,
    RecordsSetAside,
    RecordsNotSetAside,
    RecordsNotSaved,
    BoardName,
    BoardEmptyCell,
    BoardNoTiles,
    BoardCell,
    MusicVolume,
    SoundStreamName,
    HintWorking,
    NoticeDeal,
    NoticeMoved,
    NoticeStuck,
    NoticeHint,
};

struct Caption {
    CaptionTarget Target;
    std::string Text; // UTF-8, composed as the element shows it
};

struct LanguageTexts {
    std::string Section; // the language file's section they were read from
    std::string MarqueeText;
    std::vector<Caption> Captions;             // in the order the pass reads them
    PluralRule Plurals = PluralRule::OneOther; // for the counted texts among them
};

// The start-up pass runs when the main window shows; the change pass when the player picks a
// language. They differ in their key order, two defaults and the marquee's blanks.
enum class Pass { StartUp, Change };

// The string table's key of a target's text; the code names texts by their target, never by
// the bare number.
int KeyOf(CaptionTarget target);

// A target's text in language 0..3 (UTF-8), as the string table holds it.
const char* TableText(int language, CaptionTarget target);

// A target's English text: what shows before any language pass has run.
inline const char* EnglishText(CaptionTarget target) {
    return TableText(0, target);
}

// Reads the language file's `section` as `pass` does, keys 1..31 in the pass's own order and
// then the added keys in ascending order; a missing file, section or key gives that key's
// English default.
LanguageTexts ReadLanguage(const std::string& section, Pass pass);

// Where a window puts the caption of one element it owns.
struct CaptionSetter {
    CaptionTarget Target;
    std::function<void(const std::string& text)> Set;
};

// Hands each caption of `texts`, in the pass's order, to the setter of its target; captions
// of elements `setters` does not name belong to another window.
void ApplyCaptions(const LanguageTexts& texts, std::span<const CaptionSetter> setters);

} // namespace i18n
