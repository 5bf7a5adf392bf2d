// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace i18n {

// The single-byte code pages the language file keeps its sections in.
enum class CodePage { Windows1251, Windows1252 };

// UTF-8 to the code page; a character the code page lacks becomes '?'.
std::string ToCodePage(std::string_view utf8, CodePage codePage);

// The code page's bytes to UTF-8.
std::string FromCodePage(std::string_view bytes, CodePage codePage);

} // namespace i18n
