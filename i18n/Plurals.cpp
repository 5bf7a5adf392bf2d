// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/Plurals.h"

namespace i18n {

int PluralForm(PluralRule rule, long long count) {
    const long long n = count < 0 ? -count : count;
    switch (rule) {
    case PluralRule::OneOther:
        return n == 1 ? 0 : 2;
    case PluralRule::ZeroOneOther:
        return n <= 1 ? 0 : 2;
    case PluralRule::EastSlavic:
        if (n % 10 == 1 && n % 100 != 11)
            return 0;
        if (n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14))
            return 1;
        return 2;
    }
    return 2;
}

std::string CountText(const std::array<std::string, 3>& forms, PluralRule rule, long long count) {
    std::string text = forms[static_cast<std::size_t>(PluralForm(rule, count))];
    if (const auto at = text.find("%d"); at != std::string::npos)
        text.replace(at, 2, std::to_string(count));
    return text;
}

} // namespace i18n
