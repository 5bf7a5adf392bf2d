// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/LanguagePasses.h"

#include "i18n/LanguageFile.h"
#include "i18n/StringTable.h"
#include "platform/IniFile.h"

#include <array>

namespace i18n {

namespace {

using T = CaptionTarget;

struct KeyUse {
    int Key;
    CaptionTarget Target;
};

constexpr std::array<KeyUse, 32> kStartUpOrder = {{
    {1, T::Files},
    {2, T::Play},
    {3, T::Play1},
    {4, T::Play2},
    {21, T::Play3},
    {29, T::Minimisets},
    {5, T::ExitGame},
    {24, T::Music},
    {25, T::PlayMusic1},
    {26, T::PlayMusic2},
    {27, T::PlayMusic3},
    {28, T::Stoped},
    {6, T::Parameters},
    {7, T::ParametersGame},
    {22, T::VisibeStatBar},
    {8, T::Helps},
    {9, T::HelpGame},
    {30, T::HelpOnHelp},
    {17, T::ApplicationTitle},
    {17, T::MainCaption},
    {18, T::DialogCaption},
    {10, T::StatusPanel0},
    {11, T::StatusPanel2},
    {14, T::Buttondefault},
    {15, T::XPGroupBox1},
    {20, T::XPGroupBox3},
    {16, T::LanguageBox},
    {12, T::Label1},
    {13, T::Label2},
    {19, T::Label3},
    {23, T::ZATTIME},
    {31, T::Volime1},
}};

constexpr std::array<KeyUse, 32> kChangeOrder = {{
    {1, T::Files},
    {2, T::Play},
    {3, T::Play1},
    {4, T::Play2},
    {21, T::Play3},
    {29, T::Minimisets},
    {5, T::ExitGame},
    {24, T::Music},
    {25, T::PlayMusic1},
    {26, T::PlayMusic2},
    {27, T::PlayMusic3},
    {28, T::Stoped},
    {6, T::Parameters},
    {31, T::Volime1},
    {7, T::ParametersGame},
    {8, T::Helps},
    {9, T::HelpGame},
    {30, T::HelpOnHelp},
    {17, T::ApplicationTitle},
    {17, T::MainCaption},
    {18, T::DialogCaption},
    {10, T::StatusPanel0},
    {11, T::StatusPanel2},
    {22, T::VisibeStatBar},
    {14, T::Buttondefault},
    {15, T::XPGroupBox1},
    {20, T::XPGroupBox3},
    {16, T::LanguageBox},
    {12, T::Label1},
    {13, T::Label2},
    {19, T::Label3},
    {23, T::ZATTIME},
}};

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
    const platform::TIniFile file(LanguageFilePath());
    const CodePage encoding = EncodingOfSection(section);
    LanguageTexts texts;
    texts.MarqueeText =
        FromCodePage(file.ReadString("MainDialog", "Caption", "Start Game"), encoding) +
        (pass == Pass::StartUp ? "      " : "   ");
    const auto& order = pass == Pass::StartUp ? kStartUpOrder : kChangeOrder;
    texts.Captions.reserve(order.size());
    for (const KeyUse& use : order) {
        const std::string bytes =
            file.ReadString(section, std::to_string(use.Key), defaultOf(use.Key, pass));
        texts.Captions.push_back({use.Target, composed(use.Key, FromCodePage(bytes, encoding))});
    }
    return texts;
}

} // namespace i18n
