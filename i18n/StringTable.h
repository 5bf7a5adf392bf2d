// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/CodePages.h"
#include "i18n/Plurals.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace i18n {

constexpr int LanguageCount = 4;
// The keys of the game's first texts, 1..31; the texts added since come after them.
constexpr int KeyCount = 31;

struct Language {
    const char* Section; // the section name, also the language chooser's caption
    CodePage Encoding;   // how the language file stores its values
    PluralRule Plurals;  // which form of a counted text a number takes
};

constexpr std::array<Language, LanguageCount> Languages = {{
    {"English", CodePage::Windows1252, PluralRule::OneOther},
    {"Russian", CodePage::Windows1251, PluralRule::EastSlavic},
    {"Ukrainian", CodePage::Windows1251, PluralRule::EastSlavic},
    {"French", CodePage::Windows1252, PluralRule::ZeroOneOther},
}};

// A text added after key 31, in the four languages in the order of Languages, in UTF-8.
struct AddedText {
    int Key;
    std::array<const char*, LanguageCount> Texts;
};

// The added texts, in ascending key order.
std::span<const AddedText> AddedTexts();

// Every key of the table in the order the language file holds it: 1..31, then the added ones.
std::vector<int> TableKeys();

// The text of a key in language 0..3, in UTF-8; empty for a key the table does not hold.
const char* StringTableText(int language, int key);

// The plural rule of a section name; English's for a section the table does not know.
PluralRule PluralRuleOfSection(const std::string& section);

// The code page of a section name; English's for a section the table does not know.
CodePage EncodingOfSection(const std::string& section);

// The ISO 639 code of a section's language ("ru"); "en" for a section the table does not know.
const char* LanguageCodeOfSection(const std::string& section);

} // namespace i18n
