// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace i18n {

constexpr const char* LanguageFileName = "Language_Velmar.lng";

// Where the language file lives: the private temporary folder.
std::string LanguageFilePath();

// Writes every entry of the string table, each section in its own code page and keys 1..31
// first, replacing entries in place and keeping everything else the file holds. A refused write
// raises platform::Exception "Unable to write to <path>".
void WriteStringTable();

} // namespace i18n
