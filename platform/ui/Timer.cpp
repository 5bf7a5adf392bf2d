// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Timer.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace platform {

Timer::Timer(QObject* parent) : QObject(parent) {
    connect(&timer_, &QTimer::timeout, this, &Timer::Tick);
    // Classic timers are created enabled; start on the first loop turn, after the owner set up
    // the handler and interval.
    QTimer::singleShot(0, this, &Timer::update);
}

void Timer::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    update();
}

void Timer::SetInterval(int milliseconds) {
    if (interval_ == milliseconds)
        return;
    interval_ = milliseconds;
    update();
}

void Timer::Tick() {
    if (OnTimer)
        OnTimer();
}

void Timer::update() {
    timer_.stop();
    if (enabled_ && interval_ > 0)
        timer_.start(std::max(interval_, MinimumInterval));
}

namespace {

std::function<std::uint64_t()>& tickSource() {
    static std::function<std::uint64_t()> source;
    return source;
}

} // namespace

std::uint64_t GetTickCount64() {
    if (tickSource())
        return tickSource()();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SetTickCountSource(std::function<std::uint64_t()> source) {
    tickSource() = std::move(source);
}

} // namespace platform
