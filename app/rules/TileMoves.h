// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/rules/GameState.h"

#include <optional>

namespace rules {

constexpr int TileSize = 49;
constexpr int CellPitch = 50;
constexpr int GridOrigin = 2;
constexpr int SlideStep = 5;

struct TilePlace {
    int Left = 0;
    int Top = 0;
};

// Where a tile stands on cell 1..16, relative to the board panel.
TilePlace CellPosition(int cell);

// The cell 1..16 of `board` holding `tile`, or 0 when no cell does.
int CellOfTile(const BoardCells& board, int tile);

// The direction towards the empty cell of `board` next to `cell`, or sdNone.
std::uint8_t DirectionToEmpty(const BoardCells& board, int cell);

// The decision of a tile click once it has been counted: true when `tile`, standing at
// `left`/`top`, starts sliding. A click during a slide changes nothing.
bool BeginSlide(GameState& state, int tile, int left, int top);

struct SlideStepResult {
    int Tile = 0;
    TilePlace Place;       // where the tile now stands
    bool Finished = false; // the tenth step: the board has been updated
    bool Solved = false;   // and it is now in order
};

// One 5-pixel step of the slide under way; nothing when no slide runs.
std::optional<SlideStepResult> StepSlide(GameState& state);

// Abandons a slide under way; returns the tile and the place it started from, so the window
// can put it back. The board is untouched, since it only changes at a slide's last step.
std::optional<SlideStepResult> CancelSlide(GameState& state);

// The board as it will stand once the slide under way has ended; the board itself when none
// runs.
BoardCells BoardAfterSlide(const GameState& state);

// Tiles 1..15 in order with the empty cell at the bottom right.
bool IsSolved(const BoardCells& board);

// Each of 1..16 exactly once.
bool IsConsistent(const BoardCells& board);

} // namespace rules
