// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/LanguagePasses.h"

#include "i18n/LanguageFile.h"
#include "i18n/StringTable.h"
#include "platform/files/IniFile.h"

#include <array>
#include <stdexcept>

namespace i18n {

namespace {

using T = CaptionTarget;

// What keys 1 to 31 label; key 17 is read twice, for the title and then the caption.
constexpr std::array<CaptionTarget, KeyCount> kTargets = {
    T::Files,
    T::Play,
    T::Play1,
    T::Play2,
    T::ExitGame,
    T::Parameters,
    T::ParametersGame,
    T::Helps,
    T::HelpGame,
    T::StatusPanel0,
    T::StatusPanel2,
    T::Label1,
    T::Label2,
    T::Buttondefault,
    T::XPGroupBox1,
    T::LanguageBox,
    T::ApplicationTitle,
    T::DialogCaption,
    T::Label3,
    T::XPGroupBox3,
    T::Play3,
    T::VisibeStatBar,
    T::ZATTIME,
    T::Music,
    T::PlayMusic1,
    T::PlayMusic2,
    T::PlayMusic3,
    T::Stoped,
    T::Minimisets,
    T::HelpOnHelp,
    T::Volime1,
};

constexpr std::array<int, 32> kStartUpOrder = {1,  2,  3,  4,  21, 29, 5,  24, 25, 26, 27,
                                               28, 6,  7,  22, 8,  9,  30, 17, 17, 18, 10,
                                               11, 14, 15, 20, 16, 12, 13, 19, 23, 31};

constexpr std::array<int, 32> kChangeOrder = {1,  2,  3,  4,  21, 29, 5,  24, 25, 26, 27,
                                              28, 6,  31, 7,  8,  9,  30, 17, 17, 18, 10,
                                              11, 22, 14, 15, 20, 16, 12, 13, 19, 23};

// What the keys after 31 label, ascending.
struct AddedTarget {
    int Key;
    CaptionTarget Target;
};
constexpr std::array<AddedTarget, 35> kAddedTargets = {{
    {32, T::Hint},
    {33, T::HintMovesOne},
    {34, T::HintMovesFew},
    {35, T::HintMovesMany},
    {36, T::HintUnsolvable},
    {37, T::HintTile},
    {40, T::Records},
    {41, T::RecordsCaption},
    {42, T::RecordsLevelHeader},
    {43, T::RecordsBestTimeHeader},
    {44, T::RecordsFewestMovesHeader},
    {45, T::RecordsWonPlayedHeader},
    {46, T::RecordsClose},
    {47, T::RecordsLevel1},
    {48, T::RecordsLevel2},
    {49, T::RecordsLevel3},
    {50, T::RecordsLevel4},
    {51, T::RecordsNewRecord},
    {52, T::RecordsNoRecord},
    {53, T::RecordsBestTimeDetails},
    {54, T::RecordsBestMovesDetails},
    {55, T::RecordsSetAside},
    {56, T::RecordsNotSetAside},
    {57, T::RecordsNotSaved},
    {60, T::BoardName},
    {61, T::BoardEmptyCell},
    {62, T::BoardNoTiles},
    {63, T::BoardCell},
    {64, T::MusicVolume},
    {65, T::SoundStreamName},
    {66, T::HintWorking},
    {80, T::NoticeDeal},
    {81, T::NoticeMoved},
    {82, T::NoticeStuck},
    {83, T::NoticeHint},
}};

CaptionTarget targetOf(int key, bool secondRead) {
    if (key == 17 && secondRead)
        return T::MainCaption;
    if (key <= KeyCount)
        return kTargets[static_cast<std::size_t>(key - 1)];
    for (const AddedTarget& added : kAddedTargets)
        if (added.Key == key)
            return added.Target;
    throw std::logic_error("string key " + std::to_string(key) + " labels nothing");
}

} // namespace

int KeyOf(CaptionTarget target) {
    if (target == T::MainCaption)
        return 17;
    for (std::size_t i = 0; i < kTargets.size(); ++i)
        if (kTargets[i] == target)
            return static_cast<int>(i) + 1;
    for (const AddedTarget& added : kAddedTargets)
        if (added.Target == target)
            return added.Key;
    throw std::logic_error("no string key labels caption target " +
                           std::to_string(static_cast<int>(target)));
}

const char* TableText(int language, CaptionTarget target) {
    return StringTableText(language, KeyOf(target));
}

namespace {

// The pass's order of keys 1..31, then every added key.
std::vector<int> readOrder(Pass pass) {
    const auto& design = pass == Pass::StartUp ? kStartUpOrder : kChangeOrder;
    std::vector<int> order(design.begin(), design.end());
    for (const AddedText& added : AddedTexts())
        order.push_back(added.Key);
    return order;
}

// The text shown when a key cannot be read.
std::string defaultOf(int key, Pass pass) {
    switch (key) {
    case 5:
        return "&Exit Game";
    case 15:
        return pass == Pass::StartUp ? " Panel Color " : "Panel Color";
    case 16:
        return pass == Pass::StartUp ? " Language " : "Language";
    case 20:
        return "Buttons";
    case 28:
        return "&Stop";
    case 19:
        return "You really want to abandon the game";
    default:
        return StringTableText(0, key);
    }
}

std::string composed(int key, const std::string& value) {
    if (key == 15 || key == 16 || key == 20)
        return " " + value + " ";
    if (key == 19)
        return value + " ?";
    return value;
}

} // namespace

LanguageTexts ReadLanguage(const std::string& section, Pass pass) {
    // One read of the file for the whole pass, not one for each of its keys.
    const platform::TMemIniFile file(LanguageFilePath());
    const CodePage encoding = EncodingOfSection(section);
    LanguageTexts texts;
    texts.Section = section;
    texts.MarqueeText =
        FromCodePage(file.ReadString("MainDialog", "Caption", "Start Game"), encoding) +
        (pass == Pass::StartUp ? "      " : "   ");
    texts.Plurals = PluralRuleOfSection(section);
    const std::vector<int> order = readOrder(pass);
    texts.Captions.reserve(order.size());
    bool titleRead = false;
    for (const int key : order) {
        const std::string bytes =
            file.ReadString(section, std::to_string(key), defaultOf(key, pass));
        texts.Captions.push_back(
            {targetOf(key, key == 17 && titleRead), composed(key, FromCodePage(bytes, encoding))});
        titleRead = titleRead || key == 17;
    }
    return texts;
}

void ApplyCaptions(const LanguageTexts& texts, std::span<const CaptionSetter> setters) {
    for (const Caption& caption : texts.Captions)
        for (const CaptionSetter& setter : setters)
            if (setter.Target == caption.Target)
                setter.Set(caption.Text);
}

} // namespace i18n
