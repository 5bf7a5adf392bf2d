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

// Writes all of `bytes`, going on after interruptions; false with errno set when it cannot.
bool WriteAll(int fd, std::string_view bytes);

// A regular file open for reading, or an invalid descriptor (errno says why).
UniqueFd OpenFileForReading(const std::string& path);
UniqueFd OpenFileForReading(const FolderFile& file, struct stat* info = nullptr);

// A name under which an open descriptor can be opened again by a reader that wants a path;
// the reopen reaches the very file that was opened, whatever its path names meanwhile.
std::string DescriptorPath(int fd);

} // namespace platform
