// SPDX-License-Identifier: GPL-3.0-or-later
// The files layer: files, the private temporary folder, resources, INI profiles and TIniFile.
// It uses Qt and libc only, nothing else in platform/ but Exception.h.
#pragma once

#include "platform/files/FolderFile.h"

#include <cstddef>
#include <string>
#include <string_view>

// Plain file operations. A path inside the private temporary folder acts only while that
// folder is ours (see FolderFile): otherwise a read finds nothing, and a write or a deletion
// fails.
namespace platform {

// Creates `path` (truncating a file already there) and writes all of `bytes`. A symlink in its
// place is never written through. On failure `reason` gets the system's words.
bool CreateFileWithBytes(const std::string& path, std::string_view bytes, std::string& reason);

// Whether anything stands at `path` (a dangling symlink included).
bool FileExists(const std::string& path);

// Deletes a file; false when it could not be deleted.
bool DeleteFile(const std::string& path);

// $HOME, or the password database's home folder when it is unset or empty.
std::string HomeFolder();

// `path` without its trailing slashes; "/" stays "/".
std::string WithoutTrailingSlashes(std::string path);

// A base folder of the XDG rules: $`variable` when it is an absolute path (a relative value is
// ignored, as the rules require), else `underHome` in the home folder; never ends in '/'.
std::string XdgFolder(const char* variable, const char* underHome);

// Creates `folder` and the folders above it that are missing, each closed to others. False
// when it cannot, or when something else than a folder stands there; `reason`, when given,
// then names the path and the system's words.
bool MakeFolders(const std::string& folder, std::string* reason = nullptr);

enum class ReadResult { Ok, Missing, Failed };

// A text file from outside larger than this is refused unread: a damaged or runaway file must
// neither fill the memory nor hold up the start.
inline constexpr std::size_t kTextFileLimit = std::size_t{1} << 20;

// All of a regular file's bytes. Never blocks on a FIFO in the file's place. A file of more
// than `limit` bytes fails with errno EFBIG, whatever its size claims. `info`, when given, gets
// the status of the file read.
ReadResult ReadFileBytes(const std::string& path, std::string& bytes,
                         std::size_t limit = kTextFileLimit);
ReadResult ReadFileBytes(const FolderFile& file, std::string& bytes, struct stat* info = nullptr,
                         std::size_t limit = kTextFileLimit);

// Reads an open file from where it stands to its end, at most `limit` bytes (else EFBIG).
ReadResult ReadRest(int fd, std::string& bytes, std::size_t limit = kTextFileLimit);

// Replaces `file` with `bytes` so that a reader, or a crash, finds the old file or the new one:
// a sibling named ReplacementPrefix + "PID-N" is written (synced when `synced`) and renamed over
// it, then the folder is synced. The new file takes `kept`'s mode when given, else `mode` less
// the umask. On failure the sibling goes and `reason`, when given, names the entry and the
// system's words.
bool ReplaceFile(const FolderFile& file, std::string_view bytes, mode_t mode,
                 const struct stat* kept, bool synced, std::string* reason = nullptr);

// How the siblings of a replacement of `file` begin, so a writer can clear those a killed one
// left behind.
std::string ReplacementPrefix(const FolderFile& file);

// Writes all of `bytes`, going on after interruptions; false with errno set when it cannot.
bool WriteAll(int fd, std::string_view bytes);

// A regular file open for reading, or an invalid descriptor (errno says why).
UniqueFd OpenFileForReading(const std::string& path);
UniqueFd OpenFileForReading(const FolderFile& file, struct stat* info = nullptr);

// A name under which an open descriptor can be opened again by a reader that wants a path;
// the reopen reaches the very file that was opened, whatever its path names meanwhile.
std::string DescriptorPath(int fd);

} // namespace platform
