// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/PatternDatabase.h"

#include "app/rules/PatternSearch.h"

namespace rules {

std::vector<std::uint8_t> BuildPatternTable(const std::vector<std::uint8_t>& homes,
                                            const std::atomic<bool>& cancel,
                                            const BuildThreads& threads) {
    return PatternSearch(homes).Run(cancel, threads);
}

} // namespace rules
