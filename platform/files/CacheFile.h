// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Files the program can make again whenever they are lost: they live in the user's cache
// folder and are replaced atomically, so a reader finds either the old file or the new one.

#include "platform/files/Files.h"

#include <string>
#include <string_view>

namespace platform {

// $XDG_CACHE_HOME/velmar when that is an absolute path, else ~/.cache/velmar; no trailing '/'.
std::string CacheDirectory();

// The largest cache file read: the solver's tables take 8 MiB.
inline constexpr std::size_t kCacheFileLimit = std::size_t{32} << 20;

// All of `name`'s bytes from the cache folder, up to kCacheFileLimit.
ReadResult ReadCacheFile(const std::string& name, std::string& bytes);

// Creates the cache folder if needed and replaces `name` there with `bytes` (a sibling written
// and synced, then renamed over it). On failure `reason` gets the system's words.
bool WriteCacheFile(const std::string& name, std::string_view bytes, std::string& reason);

} // namespace platform
