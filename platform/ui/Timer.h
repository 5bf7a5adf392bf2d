// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

namespace platform {

// A message-loop timer with the classic interface. An interval below 10 ms runs at 10 ms, as
// classic window timers do, so a slide of ten steps stays visible.
class Timer : public QObject {
    Q_OBJECT
public:
    static constexpr int MinimumInterval = 10;

    explicit Timer(QObject* parent = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int Interval() const { return interval_; }
    // The period the timer really runs at.
    int EffectiveInterval() const { return timer_.interval(); }
    bool Running() const { return timer_.isActive(); }
    // Changing the interval of a running timer restarts its period.
    void SetInterval(int milliseconds);

    // Runs the handler as a tick would; tests drive time with it.
    void Tick();

    std::function<void()> OnTimer;

private:
    void update();

    QTimer timer_;
    bool enabled_ = true;
    int interval_ = 1000;
};

// Milliseconds on a steady clock; windows measure how long they were hidden with it.
std::uint64_t GetTickCount64();
// Replaces the clock, so a test can drive time; an empty function restores the real one.
void SetTickCountSource(std::function<std::uint64_t()> source);

} // namespace platform
