// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/CodePages.h"

#include <array>
#include <string>

namespace i18n {

constexpr int LanguageCount = 4;
constexpr int KeyCount = 31;

struct Language {
    const char* Section; // the section name, also the language chooser's caption
    CodePage Encoding;   // how the language file stores its values
};

constexpr std::array<Language, LanguageCount> Languages = {{
    {"English", CodePage::Windows1252},
    {"Russian", CodePage::Windows1251},
    {"Ukrainian", CodePage::Windows1251},
    {"French", CodePage::Windows1252},
}};

// The text of key 1..31 in language 0..3, in UTF-8.
const char* StringTableText(int language, int key);

// The code page of a section name; English's for a section the table does not know.
CodePage EncodingOfSection(const std::string& section);

// The ISO 639 code of a section's language ("ru"); "en" for a section the table does not know.
const char* LanguageCodeOfSection(const std::string& section);

} // namespace i18n
