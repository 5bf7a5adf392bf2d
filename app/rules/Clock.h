// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/rules/GameState.h"

#include <cstdint>
#include <limits>
#include <string>

namespace rules {

constexpr const char* ClockStartText = "00:00";

// Seconds as "%d : %2d" of minutes and seconds: 65 gives "1 :  5".
std::string TimeText(int seconds);

// The status bar keeps its counts (moves, rounds) as text. A count stops at the largest value a
// record can hold, so the text, the win message and the records always agree.
constexpr std::int32_t kCountLimit = std::numeric_limits<std::int32_t>::max();

// The count a text shows: its leading decimal number within 0..kCountLimit, 0 for none.
std::int32_t CountOf(const std::string& text);

// A count shown as decimal text, raised by one up to kCountLimit.
std::string RaisedCount(const std::string& text);

struct CountdownTick {
    std::string Text; // what the clock shows at this tick
    bool Expired = false;
};

// One second of a timed level: shows TimeLeft, then counts it down; expired below 0.
CountdownTick TickCountdown(GameState& state);

// One second of time used: the text of TimeUsed before the tick, which then counts up.
std::string TickTimeUsed(GameState& state);

// Rotates MarqueeText left by one character (a whole UTF-8 sequence).
void RotateMarquee(GameState& state);

// The icon frame to show now; IconFrame then moves on, 0 to 4 and round again.
int NextIconFrame(GameState& state);

} // namespace rules
