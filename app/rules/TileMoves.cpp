// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/TileMoves.h"

#include <cstdlib>

namespace rules {

TilePlace CellPosition(int cell) {
    const int row = (cell - 1) / 4;
    const int column = (cell - 1) % 4;
    return {GridOrigin + CellPitch * column, GridOrigin + CellPitch * row};
}

int CellOfTile(int tile) {
    int found = 0;
    for (int cell = 1; cell <= CellCount; ++cell)
        if (Board[static_cast<std::size_t>(cell)] == tile)
            found = cell;
    return found;
}

std::uint8_t DirectionToEmpty(int cell) {
    auto empty = [](int c) { return Board[static_cast<std::size_t>(c)] == EmptyCell; };
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

bool BeginSlide(int tile, int left, int top) {
    if (Sliding == 1)
        return false;
    SlideDirection = sdNone;
    SlideTile = tile;
    SlideCell = CellOfTile(tile);
    if (SlideCell == 0)
        return false;
    SlideDirection = DirectionToEmpty(SlideCell);
    if (SlideDirection == sdNone)
        return false;
    Sliding = 1;
    SlideStartLeft = left;
    SlideStartTop = top;
    SlideDX = 0;
    SlideDY = 0;
    return true;
}

std::optional<SlideStepResult> StepSlide() {
    if (Sliding != 1)
        return std::nullopt;
    switch (SlideDirection) {
    case sdLeft:
        SlideDX -= SlideStep;
        break;
    case sdRight:
        SlideDX += SlideStep;
        break;
    case sdUp:
        SlideDY -= SlideStep;
        break;
    case sdDown:
        SlideDY += SlideStep;
        break;
    default:
        break;
    }
    SlideStepResult result;
    result.Tile = SlideTile;
    result.Place = {SlideStartLeft + SlideDX, SlideStartTop + SlideDY};
    if (std::abs(SlideDX) != CellPitch && std::abs(SlideDY) != CellPitch)
        return result;

    SlideDX = 0;
    SlideDY = 0;
    Sliding = 0;
    static constexpr int offsets[] = {0, -1, +1, -4, +4};
    const int target = SlideCell + offsets[SlideDirection];
    Board[static_cast<std::size_t>(target)] = Board[static_cast<std::size_t>(SlideCell)];
    Board[static_cast<std::size_t>(SlideCell)] = EmptyCell;
    result.Finished = true;
    result.Solved = IsSolved(Board);
    return result;
}

std::optional<SlideStepResult> CancelSlide() {
    if (Sliding != 1)
        return std::nullopt;
    SlideStepResult result;
    result.Tile = SlideTile;
    result.Place = {SlideStartLeft, SlideStartTop};
    Sliding = 0;
    SlideDX = 0;
    SlideDY = 0;
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
