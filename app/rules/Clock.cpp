// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/Clock.h"

#include "app/rules/GameState.h"

#include <charconv>
#include <cstdio>

namespace rules {

std::string TimeText(int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d : %2d", seconds / 60, seconds % 60);
    return text;
}

std::string RaisedCount(const std::string& text) {
    long long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return std::to_string(value + 1);
}

CountdownTick TickCountdown() {
    CountdownTick tick;
    tick.Text = TimeText(TimeLeft);
    --TimeLeft;
    tick.Expired = TimeLeft < 0;
    return tick;
}

std::string TickTimeUsed() {
    std::string text = TimeText(TimeUsed);
    ++TimeUsed;
    return text;
}

void RotateMarquee() {
    if (MarqueeText.empty())
        return;
    std::size_t length = 1;
    while (length < MarqueeText.size() &&
           (static_cast<unsigned char>(MarqueeText[length]) & 0xC0) == 0x80)
        ++length;
    MarqueeText = MarqueeText.substr(length) + MarqueeText.substr(0, length);
}

int NextIconFrame() {
    const int frame = IconFrame;
    ++IconFrame;
    if (IconFrame > 4)
        IconFrame = 0;
    return frame;
}

} // namespace rules
