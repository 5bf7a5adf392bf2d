// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Files the game keeps between runs that are neither settings nor caches: where they live, and
// setting a file aside instead of losing it. They are read with ReadFileBytes (Files.h).

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// $XDG_STATE_HOME when it is an absolute path, else ~/.local/state; never ends in '/'.
std::string StateDirectory();

// Renames whatever stands at `path` (a file, a folder, a link) to `path` + `suffix`, or, when
// that name is taken, to the first free one of `path` + `suffix` + ".2", ".3" and so on;
// nothing is ever replaced. The path it now has, or nothing when it could not be moved.
std::optional<std::string> MoveAside(const std::string& path, const std::string& suffix);

} // namespace platform
