// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

// Lets a screen reader hear a hint: the tile's description becomes `text` ("Tile 7, 42 moves to
// go") until ClearHint.
void AnnounceHint(QWidget* tile, const QString& text);
void ClearHint(QWidget* tile);

// The words the board reads in, in the player's language: "%d" takes a tile's number, "%1" and
// "%2" a cell's row and column.
struct BoardReading {
    QString Tile;      // "Tile %d"
    QString Board;     // "Board"
    QString EmptyCell; // "Empty cell: row %1, column %2"
    QString NoTiles;   // "No tiles dealt"
    QString Cell;      // "Row %1, column %2"
};
BoardReading EnglishBoardReading();

// Gives the board (the main window's board panel) new words to read in, and tells listening
// tools that the names and descriptions of the board and its tiles changed.
void SetBoardReading(QWidget* board, const BoardReading& reading);

} // namespace app
