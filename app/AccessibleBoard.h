// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/rules/GameState.h"

#include <QString>

class QWidget;

namespace app {

// Lets a screen reader speak the board: each tile is "Tile N", a push button that says where
// it stands, and the board says where the empty cell is, in the words of SetBoardReading; the
// platform's own widgets (status bar, track bar) come along. Installed once, before any window.
void InstallAccessibility();

// Tells assistive tools that the tiles of the board (the main window's board panel) stand
// elsewhere now. Does nothing while no tool listens.
void AnnounceBoardChanged(QWidget* board);

// Keeps a hint in the tile's description ("Tile 7, 42 moves to go") until ClearHint.
void AnnounceHint(QWidget* tile, const QString& text);
void ClearHint(QWidget* tile);

// The words the board reads in, in the player's language: "%d" takes a tile's number, "%1" and
// "%2" a cell's row and column; in the notices "%1" takes a level, a tile or the moves to go.
struct BoardReading {
    QString Tile;      // "Tile %d"
    QString Board;     // "Board"
    QString EmptyCell; // "Empty cell: row %1, column %2"
    QString NoTiles;   // "No tiles dealt"
    QString Cell;      // "Row %1, column %2"
    QString Deal;      // "New game: %1. Empty cell: row %2, column %3."
    QString Moved;     // "%1: row %2, column %3. Moves: %4."
    QString Stuck;     // "%1 cannot move. Moves: %2."
    QString Hint;      // "Hint: %1, row %2, column %3, %4."
};
BoardReading EnglishBoardReading();

// What a screen reader says at once of the game, from `board` as it stands now: a deal of
// `level` ("No time limit"), a tile that slid or could not, with the move count, and a hint
// with its moves to go ("42 moves to go").
QString DealNotice(const BoardReading& reading, const QString& level,
                   const rules::BoardCells& board);
QString MoveNotice(const BoardReading& reading, int tile, const rules::BoardCells& board,
                   const QString& moves);
QString StuckNotice(const BoardReading& reading, int tile, const QString& moves);
QString HintNotice(const BoardReading& reading, int tile, const rules::BoardCells& board,
                   const QString& movesToGo);

// Gives the board (the main window's board panel) new words to read in, and tells listening
// tools that the names and descriptions of the board and its tiles changed.
void SetBoardReading(QWidget* board, const BoardReading& reading);

} // namespace app
