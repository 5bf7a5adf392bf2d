// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/TileMoves.h"

#include <cstdlib>

namespace rules {

TilePlace CellPosition(int cell) {
    const int row = (cell - 1) / 4;
    const int column = (cell - 1) % 4;
    return {GridOrigin + CellPitch * column, GridOrigin + CellPitch * row};
}

int CellOfTile(const BoardCells& board, int tile) {
    int found = 0;
    for (int cell = 1; cell <= CellCount; ++cell)
        if (board[static_cast<std::size_t>(cell)] == tile)
            found = cell;
    return found;
}

std::uint8_t DirectionToEmpty(const BoardCells& board, int cell) {
    auto empty = [&board](int c) { return board[static_cast<std::size_t>(c)] == EmptyCell; };
    std::uint8_t direction = sdNone;
    if (cell - 1 > 0 && cell != 5 && cell != 9 && cell != 13 && empty(cell - 1))
        direction = sdLeft;
    if (cell + 1 < 17 && cell != 4 && cell != 8 && cell != 12 && empty(cell + 1))
        direction = sdRight;
    if (cell - 4 > 0 && empty(cell - 4))
        direction = sdUp;
    if (cell + 4 < 17 && empty(cell + 4))
        direction = sdDown;
    return direction;
}

bool BeginSlide(GameState& state, int tile, int left, int top) {
    if (state.Sliding == 1)
        return false;
    state.SlideDirection = sdNone;
    state.SlideTile = tile;
    state.SlideCell = CellOfTile(state.Board, tile);
    if (state.SlideCell == 0)
        return false;
    state.SlideDirection = DirectionToEmpty(state.Board, state.SlideCell);
    if (state.SlideDirection == sdNone)
        return false;
    state.Sliding = 1;
    state.SlideStartLeft = left;
    state.SlideStartTop = top;
    state.SlideDX = 0;
    state.SlideDY = 0;
    return true;
}

std::optional<SlideStepResult> StepSlide(GameState& state) {
    if (state.Sliding != 1)
        return std::nullopt;
    switch (state.SlideDirection) {
    case sdLeft:
        state.SlideDX -= SlideStep;
        break;
    case sdRight:
        state.SlideDX += SlideStep;
        break;
    case sdUp:
        state.SlideDY -= SlideStep;
        break;
    case sdDown:
        state.SlideDY += SlideStep;
        break;
    default:
        break;
    }
    SlideStepResult result;
    result.Tile = state.SlideTile;
    result.Place = {state.SlideStartLeft + state.SlideDX, state.SlideStartTop + state.SlideDY};
    if (std::abs(state.SlideDX) != CellPitch && std::abs(state.SlideDY) != CellPitch)
        return result;

    state.SlideDX = 0;
    state.SlideDY = 0;
    state.Board = BoardAfterSlide(state);
    state.Sliding = 0;
    result.Finished = true;
    result.Solved = IsSolved(state.Board);
    return result;
}

BoardCells BoardAfterSlide(const GameState& state) {
    BoardCells board = state.Board;
    if (state.Sliding != 1 || state.SlideDirection < sdLeft || state.SlideDirection > sdDown)
        return board;
    static constexpr int offsets[] = {0, -1, +1, -4, +4};
    const int target = state.SlideCell + offsets[state.SlideDirection];
    board[static_cast<std::size_t>(target)] = board[static_cast<std::size_t>(state.SlideCell)];
    board[static_cast<std::size_t>(state.SlideCell)] = EmptyCell;
    return board;
}

std::optional<SlideStepResult> CancelSlide(GameState& state) {
    if (state.Sliding != 1)
        return std::nullopt;
    SlideStepResult result;
    result.Tile = state.SlideTile;
    result.Place = {state.SlideStartLeft, state.SlideStartTop};
    state.Sliding = 0;
    state.SlideDX = 0;
    state.SlideDY = 0;
    return result;
}

bool IsSolved(const BoardCells& board) {
    for (int i = 1; i <= CellCount; ++i)
        if (board[static_cast<std::size_t>(i)] != i)
            return false;
    return true;
}

bool IsConsistent(const BoardCells& board) {
    unsigned seen = 0;
    for (int i = 1; i <= CellCount; ++i) {
        const int v = board[static_cast<std::size_t>(i)];
        if (v < 1 || v > CellCount || (seen & (1u << v)))
            return false;
        seen |= 1u << v;
    }
    return true;
}

} // namespace rules
