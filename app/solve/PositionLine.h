// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One line of velmar-solve's input: 16 numbers, the cells row by row, 16 for the empty cell.

#include "app/rules/GameState.h"

#include <string>
#include <string_view>

namespace solve {

struct PositionLine {
    rules::BoardCells Board{};
    std::string Problem; // empty when the line holds a board
};

// The board on the line, or what is wrong with it; whether it can be won is not checked here.
PositionLine ReadPositionLine(std::string_view line);

} // namespace solve
