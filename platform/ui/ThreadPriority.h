// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {

// How many nice steps below the others a background helper runs: the window's thread wins the
// core whenever it wants it, yet a helper still gets a share on a busy machine.
inline constexpr int BackgroundNiceSteps = 10;

// Moves the calling thread, and no other, BackgroundNiceSteps further down (at most to 19).
// False when the system refuses; the thread then runs as it was.
bool LowerThisThreadPriority();

} // namespace platform
