// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The solver's tables, kept between runs in the user's cache folder.

#include "app/rules/SolverTables.h"

#include <atomic>
#include <memory>

namespace app {

// The file's name inside platform::CacheDirectory().
inline constexpr const char* SolverTablesFile = "solver-tables.bin";

// The cached tables when the file is there and sound; otherwise builds them and tries to store
// them (a cache that cannot be written leaves the tables in memory only). nullptr only when
// `cancel` was raised.
std::shared_ptr<const rules::SolverTables> LoadSolverTables(const std::atomic<bool>& cancel);

} // namespace app
