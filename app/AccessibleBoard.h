// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace app {

// Lets a screen reader speak the board: each tile is "Tile N", a push button that says where
// it stands, and the board says where the empty cell is; the platform's own widgets (status
// bar, track bar) come along. Installed once, before any window.
void InstallAccessibility();

// Tells assistive tools that the tiles of the board (the main window's board panel) stand
// elsewhere now. Does nothing while no tool listens.
void AnnounceBoardChanged(QWidget* board);

// Lets a screen reader hear a hint: the tile's description becomes `text` ("Tile 7, 42 moves to
// go") until ClearHint.
void AnnounceHint(QWidget* tile, const QString& text);
void ClearHint(QWidget* tile);

// "Row 2, column 3" for cell 1..16; empty for any other number.
QString CellText(int cell);

} // namespace app
