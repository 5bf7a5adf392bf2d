// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The solver's tables: the seven-tile set installed with the game, or else the six-tile set,
// kept between runs in the user's cache folder.

#include "app/rules/SolverTables.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace app {

// The file's name inside platform::CacheDirectory().
inline constexpr const char* SolverTablesFile = "solver-tables.bin";
// The seven-tile set's file, made when the game is built and installed as a private file (see
// platform/files/PrivateFiles.h).
inline constexpr const char* SevenTablesFile = "solver-tables-7.bin";

// How the game builds the tables: the calling thread and one helper, which takes the second
// core at a lower priority than the window's thread, so the window stays responsive.
rules::BuildThreads SolverBuildThreads();

// The installed seven-tile set when its file is there and sound (a damaged one is reported on
// standard error); otherwise the cached six-tile set when that file is there and sound;
// otherwise builds the six-tile set with SolverBuildThreads and tries to store it (a cache that
// cannot be written leaves the tables in memory only). nullptr only when `cancel` was raised.
// The environment's VELMAR_SEVEN_TABLES names the seven-tile set's file instead, or none when
// empty (for checks of the six-tile set in a built tree).
std::shared_ptr<const rules::SolverTables> LoadSolverTables(const std::atomic<bool>& cancel);
// The same, looking for the seven-tile set at `installed` in turn.
std::shared_ptr<const rules::SolverTables>
LoadSolverTables(const std::atomic<bool>& cancel, const std::vector<std::string>& installed);

} // namespace app
