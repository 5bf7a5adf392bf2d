// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/rules/GameState.h"

#include <string>

namespace rules {

constexpr const char* ClockStartText = "00:00";

// Seconds as "%d : %2d" of minutes and seconds: 65 gives "1 :  5".
std::string TimeText(int seconds);

// A count shown as decimal text, raised by one.
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
