// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Movbut.h"

#include "platform/Exception.h"

#include <algorithm>
#include <limits>

namespace controls {

namespace {

// Moves as far as the range allows in the current direction, then spends one tick turning;
// returns whether it turned.
bool runToEdge(long long& position, int& delta, int step, int low, int high, std::uint64_t& ticks) {
    const long long room = delta > 0 ? high - position : position - low;
    const std::uint64_t moves = room >= step ? static_cast<std::uint64_t>(room / step) : 0;
    const std::uint64_t taken = std::min(moves, ticks);
    position += (delta > 0 ? 1 : -1) * static_cast<long long>(taken) * step;
    ticks -= taken;
    if (ticks == 0)
        return false;
    delta = -delta;
    --ticks;
    return true;
}

// One tick on one axis, as the timer runs it.
void tickAxis(long long& position, int& delta, int step, int low, int high) {
    delta = delta > 0 ? step : -step;
    if (delta > 0) {
        if (position + delta <= high)
            position += delta;
        else
            delta = -delta;
    } else if (position + delta >= low) {
        position += delta;
    } else {
        delta = -delta;
    }
}

} // namespace

void BounceAxis(int& position, int& delta, int step, int low, int high, std::uint64_t ticks) {
    long long pos = position;
    if (step < 0) {
        // A negative step reverses the direction at every normalisation, so within a few
        // ticks the button settles into going back and forth, a lap of two ticks.
        const std::uint64_t settle = 4;
        const std::uint64_t plain = ticks <= settle ? ticks : settle + (ticks - settle) % 2;
        for (std::uint64_t i = 0; i < plain; ++i)
            tickAxis(pos, delta, step, low, high);
        position = static_cast<int>(pos);
        return;
    }
    if (ticks == 0)
        return;
    delta = delta > 0 ? step : -step;
    if (step == 0)
        return; // a zero step stands still; only the normalised sign changes
    bool reduced = false;
    int turns = 0;
    while (ticks > 0) {
        // Two turns in, the path repeats: one lap of it from here says how long a lap is.
        if (!reduced && turns >= 2) {
            long long lapPos = pos;
            int lapDelta = delta;
            std::uint64_t budget = std::numeric_limits<std::uint64_t>::max();
            runToEdge(lapPos, lapDelta, step, low, high, budget);
            runToEdge(lapPos, lapDelta, step, low, high, budget);
            if (lapPos == pos && lapDelta == delta) {
                ticks %= std::numeric_limits<std::uint64_t>::max() - budget;
                reduced = true;
                continue;
            }
        }
        if (runToEdge(pos, delta, step, low, high, ticks))
            ++turns;
    }
    position = static_cast<int>(pos);
}

TMovingButton::TMovingButton(QWidget* parent)
    : TBitBtn(parent), FMoveTimer(new platform::Timer(this)) {
    resize(127, height());
    SetSpacing(10);
    platform::TFont font = Font();
    font.Color = platform::clBtnText;
    SetFont(font);
    FMoveTimer->SetInterval(ConstructionInterval);
    FMoveTimer->OnTimer = [this] { ButtonTimerTimer(); };
    FMoveTimer->SetEnabled(true);
}

void TMovingButton::normaliseSteps() {
    FDeltaX = FDeltaX > 0 ? FPixelsPerMove : -FPixelsPerMove;
    FDeltaY = FDeltaY > 0 ? FPixelsPerMove : -FPixelsPerMove;
}

void TMovingButton::stop() {
    FBroken = true;
    FMoveTimer->SetEnabled(false);
}

void TMovingButton::ButtonTimerTimer() {
    try {
        FTicked = true;
        FMoveTimer->SetInterval(FMoveInterval);
        const QWidget* owner = parentWidget();
        if (!FIsMoving || !owner) {
            normaliseSteps();
            if (!FIsMoving)
                return;
            throw platform::Exception("The moving button has no parent to move in.");
        }
        // The same step the catching-up runs, so both land alike.
        long long left = x();
        long long top = y();
        tickAxis(left, FDeltaX, FPixelsPerMove, 0, owner->width() - width());
        tickAxis(top, FDeltaY, FPixelsPerMove, 0, owner->height() - height());
        move(static_cast<int>(left), static_cast<int>(top));
    } catch (...) {
        // A broken tick would fail the same way every 50 ms; the button stays where it is.
        stop();
    }
}

void TMovingButton::Advance(std::uint64_t ticks) {
    if (ticks == 0 || FBroken)
        return;
    FTicked = true;
    FMoveTimer->SetInterval(FMoveInterval);
    if (!FIsMoving) {
        normaliseSteps();
        return;
    }
    const QWidget* owner = parentWidget();
    if (!owner) {
        stop();
        return;
    }
    int left = x();
    int top = y();
    BounceAxis(left, FDeltaX, FPixelsPerMove, 0, owner->width() - width(), ticks);
    BounceAxis(top, FDeltaY, FPixelsPerMove, 0, owner->height() - height(), ticks);
    move(left, top);
}

void TMovingButton::SuspendMoving() {
    FMoveTimer->SetEnabled(false);
}

void TMovingButton::ResumeMoving(std::uint64_t elapsedMilliseconds) {
    if (FBroken)
        return;
    // The first tick comes after the constructor's interval, the later ones after
    // MoveInterval; a timer without a positive interval ticks no more.
    const auto intervalOf = [](int ms) {
        return static_cast<std::uint64_t>(std::max(ms, platform::Timer::MinimumInterval));
    };
    const std::uint64_t first = intervalOf(FTicked ? FMoveInterval : ConstructionInterval);
    if ((FTicked ? FMoveInterval : ConstructionInterval) > 0 && elapsedMilliseconds >= first) {
        const std::uint64_t later =
            FMoveInterval > 0 ? (elapsedMilliseconds - first) / intervalOf(FMoveInterval) : 0;
        Advance(1 + later);
    }
    FMoveTimer->SetEnabled(true);
}

} // namespace controls
