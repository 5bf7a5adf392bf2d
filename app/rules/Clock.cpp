// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/Clock.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace rules {

std::string TimeText(int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d : %2d", seconds / 60, seconds % 60);
    return text;
}

std::int32_t CountOf(const std::string& text) {
    long long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return static_cast<std::int32_t>(std::clamp<long long>(value, 0, kCountLimit));
}

std::string RaisedCount(const std::string& text) {
    const std::int32_t count = CountOf(text);
    return std::to_string(count < kCountLimit ? count + 1 : count);
}

CountdownTick TickCountdown(GameState& state) {
    CountdownTick tick;
    tick.Text = TimeText(state.TimeLeft);
    --state.TimeLeft;
    tick.Expired = state.TimeLeft < 0;
    return tick;
}

std::string TickTimeUsed(GameState& state) {
    std::string text = TimeText(state.TimeUsed);
    ++state.TimeUsed;
    return text;
}

void RotateMarquee(GameState& state) {
    std::string& text = state.MarqueeText;
    if (text.empty())
        return;
    std::size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        ++length;
    text = text.substr(length) + text.substr(0, length);
}

int NextIconFrame(GameState& state) {
    const int frame = state.IconFrame;
    ++state.IconFrame;
    if (state.IconFrame > 4)
        state.IconFrame = 0;
    return frame;
}

} // namespace rules
