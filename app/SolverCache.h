// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The solver's tables, kept between runs in the user's cache folder.

#include "app/rules/SolverTables.h"

#include <atomic>
#include <memory>

namespace app {

// The file's name inside platform::CacheDirectory().
inline constexpr const char* SolverTablesFile = "solver-tables.bin";

// How the game builds the tables: the calling thread and one helper, which takes the second
// core at a lower priority than the window's thread, so the window stays responsive.
rules::BuildThreads SolverBuildThreads();

// The cached tables when the file is there and sound; otherwise builds them with
// SolverBuildThreads and tries to store them (a cache that cannot be written leaves the
// tables in memory only). nullptr only when `cancel` was raised.
std::shared_ptr<const rules::SolverTables> LoadSolverTables(const std::atomic<bool>& cancel);

} // namespace app
