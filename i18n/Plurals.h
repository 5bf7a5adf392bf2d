// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

namespace i18n {

// How a language picks the form of a word that follows a number.
enum class PluralRule {
    OneOther,     // English: 1 move, 2 moves
    ZeroOneOther, // French: 0 and 1 coup, 2 coups
    EastSlavic,   // Russian, Ukrainian: 1, 21 ход; 2..4, 22..24 хода; 5..20, 25 ходов
};

// 0 for the one form, 1 for the few form, 2 for the many form. Only the Slavic rule uses few.
int PluralForm(PluralRule rule, long long count);

// The form `count` takes, with its first "%d" replaced by the number. A form is text from the
// language file, so it is never used as a format string.
std::string CountText(const std::array<std::string, 3>& forms, PluralRule rule, long long count);

} // namespace i18n
