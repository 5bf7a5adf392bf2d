// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/GameState.h"

namespace rules {

BoardCells Board{};
std::uint8_t Sliding = 0;
std::uint8_t SlideDirection = sdNone;
std::int32_t SlideTile = 0;
std::int32_t SlideCell = 0;
std::int32_t SlideDX = 0;
std::int32_t SlideDY = 0;
std::int32_t SlideStartLeft = 0;
std::int32_t SlideStartTop = 0;

std::int32_t TimeLeft = 0;
std::int32_t TimeUsed = 0;
std::int32_t IconFrame = 0;
std::string MarqueeText;

void ResetGameState() {
    Board.fill(0);
    Sliding = 0;
    SlideDirection = sdNone;
    SlideTile = SlideCell = SlideDX = SlideDY = SlideStartLeft = SlideStartTop = 0;
    TimeLeft = TimeUsed = IconFrame = 0;
    MarqueeText.clear();
}

} // namespace rules
