// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/Timer.h"
#include "platform/widgets/BitBtn.h"

#include <cstdint>

namespace controls {

// One axis of the bounce after `ticks` timer ticks, worked out directly rather than tick by
// tick: `position` moves by `step` towards the sign of `delta` while it stays within
// [low, high]; the tick whose step would leave that range turns `delta` round instead.
void BounceAxis(int& position, int& delta, int step, int low, int high, std::uint64_t ticks);

// A bitmap button that wanders diagonally inside its parent's client area, one step per timer
// tick, bouncing off the edges. An error in a tick stops its timer for good.
class TMovingButton : public platform::TBitBtn {
    Q_OBJECT
public:
    explicit TMovingButton(QWidget* parent = nullptr);

    // The interval the timer is made with; the one set later applies from its first tick on.
    static constexpr int ConstructionInterval = 100;

    int MoveInterval() const { return FMoveInterval; }
    void SetMoveInterval(int value) { FMoveInterval = value; }
    int PixelsPerMove() const { return FPixelsPerMove; }
    void SetPixelsPerMove(int value) { FPixelsPerMove = value; }
    bool IsMoving() const { return FIsMoving; }
    void SetIsMoving(bool value) { FIsMoving = value; }

    int DeltaX() const { return FDeltaX; }
    int DeltaY() const { return FDeltaY; }
    platform::Timer& MoveTimer() { return *FMoveTimer; }

    void ButtonTimerTimer();

    // While the window is hidden the timer sleeps; on showing, the button is put where the
    // ticks it slept through would have taken it.
    void SuspendMoving();
    void ResumeMoving(std::uint64_t elapsedMilliseconds);
    // The effect of `ticks` ticks at once.
    void Advance(std::uint64_t ticks);

private:
    void normaliseSteps();
    void stop();

    int FMoveInterval = 100;
    int FPixelsPerMove = 1;
    bool FIsMoving = true;
    int FDeltaX = 1;
    int FDeltaY = 1;
    platform::Timer* FMoveTimer;
    bool FBroken = false;
    bool FTicked = false; // the timer's first tick, after the constructor's interval, is past
};

} // namespace controls
