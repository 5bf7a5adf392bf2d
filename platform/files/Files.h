// SPDX-License-Identifier: GPL-3.0-or-later
// The files layer: files, the private temporary folder, resources, INI profiles and TIniFile.
// It uses Qt and libc only, nothing else in platform/ but Exception.h.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Creates `path` (truncating a file already there) and writes all of `bytes`. A symlink in its
// place is never written through. On failure `reason` gets the system's words.
bool CreateFileWithBytes(const std::string& path, std::string_view bytes, std::string& reason);

// Whether anything stands at `path` (a dangling symlink included).
bool FileExists(const std::string& path);

// Deletes a file; false when it could not be deleted.
bool DeleteFile(const std::string& path);

} // namespace platform
