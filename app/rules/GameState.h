// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game's state, all in one place: the board, the slide under way and the clocks'
// counters. The rules take it as an argument; the main window keeps one module-level
// instance, and a test builds a fresh one for each case.

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

// A fresh object is the state at start-up: no board, no slide, counters at 0, no marquee text.
struct GameState {
    BoardCells Board{};
    std::uint8_t Sliding = 0;
    std::uint8_t SlideDirection = sdNone;
    std::int32_t SlideTile = 0;
    std::int32_t SlideCell = 0;
    std::int32_t SlideDX = 0;
    std::int32_t SlideDY = 0;
    std::int32_t SlideStartLeft = 0;
    std::int32_t SlideStartTop = 0;

    std::int32_t TimeLeft = 0;
    std::int32_t TimeUsed = 0;
    std::int32_t IconFrame = 0;
    std::string MarqueeText; // UTF-8

    // The round was shown a hint; a deal clears it.
    bool HintUsed = false;
};

} // namespace rules
