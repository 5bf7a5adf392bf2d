// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's status bar panels. The counts live there as text: the move count is read
// back from its panel for the win message and the records.

namespace app {

constexpr int kMoveCaptionPanel = 0; // "Courses:"
constexpr int kMovePanel = 1;
constexpr int kRoundCaptionPanel = 2; // "Round:"
constexpr int kRoundPanel = 3;
constexpr int kClockPanel = 4;

} // namespace app
