// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game's module-level state, all in one place: the board, the slide under way and the
// clocks' counters. The main window and the rules read and write these directly.

#include <array>
#include <cstdint>
#include <string>

namespace rules {

constexpr int CellCount = 16;
constexpr std::uint8_t EmptyCell = 16;

// Cells 1..16 row by row from the top left; index 0 is unused. A cell holds the tile number
// 1..15 standing on it or 16 for the empty cell; all 0 until the first deal.
using BoardCells = std::array<std::uint8_t, CellCount + 1>;

enum SlideDirections : std::uint8_t { sdNone = 0, sdLeft = 1, sdRight = 2, sdUp = 3, sdDown = 4 };

extern BoardCells Board;
extern std::uint8_t Sliding;
extern std::uint8_t SlideDirection;
extern std::int32_t SlideTile;
extern std::int32_t SlideCell;
extern std::int32_t SlideDX;
extern std::int32_t SlideDY;
extern std::int32_t SlideStartLeft;
extern std::int32_t SlideStartTop;

extern std::int32_t TimeLeft;
extern std::int32_t TimeUsed;
extern std::int32_t IconFrame;
extern std::string MarqueeText; // UTF-8

// Back to the state at start-up: no board, no slide, counters at 0, no marquee text.
void ResetGameState();

} // namespace rules
