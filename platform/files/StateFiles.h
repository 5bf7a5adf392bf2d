// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Files the game keeps between runs that are neither settings nor caches: where they live,
// reading one without trusting it, and setting a file aside instead of losing it.

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// $XDG_STATE_HOME when it is an absolute path, else ~/.local/state; never ends in '/'.
std::string StateDirectory();

// Creates `folder` and the folders above it that are missing, each closed to others.
bool MakeFolders(const std::string& folder);

enum class BoundedReadResult { Ok, Missing, Unreadable, TooLarge };

// All bytes of a regular file of at most `maxBytes`; Missing also when a folder on the way is
// not one. Never blocks and never reads more than
// maxBytes + 1: a folder, a FIFO or a device in the file's place is Unreadable, a longer file
// TooLarge.
BoundedReadResult ReadFileBounded(const std::string& path, std::size_t maxBytes,
                                  std::string& bytes);

// Renames whatever stands at `path` (a file, a folder, a link) to `path` + `suffix`, or, when
// that name is taken, to the first free one of `path` + `suffix` + ".2", ".3" and so on;
// nothing is ever replaced. The path it now has, or nothing when it could not be moved.
std::optional<std::string> MoveAside(const std::string& path, const std::string& suffix);

} // namespace platform
