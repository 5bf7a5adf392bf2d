// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/Files.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool CreateFileWithBytes(const std::string& path, std::string_view bytes, std::string& reason) {
    const FolderFile file(path);
    if (!file.Reachable()) {
        reason = file.Problem();
        return false;
    }
    UniqueFd fd(file.Open(O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0600));
    if (!fd.Valid() || !WriteAll(fd.Get(), bytes)) {
        reason = std::strerror(errno);
        return false;
    }
    if (::close(fd.Release()) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    return true;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return FolderFile(path).Stat(info);
}

bool DeleteFile(const std::string& path) {
    return FolderFile(path).Remove();
}

UniqueFd OpenFileForReading(const FolderFile& file, struct stat* info) {
    // Non-blocking, so a FIFO in the file's place cannot hang the game.
    UniqueFd fd(file.Open(O_RDONLY | O_NONBLOCK));
    if (!fd.Valid())
        return fd;
    struct stat own {};
    struct stat& status = info ? *info : own;
    if (::fstat(fd.Get(), &status) != 0)
        return UniqueFd();
    if (!S_ISREG(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        return UniqueFd();
    }
    return fd;
}

UniqueFd OpenFileForReading(const std::string& path) {
    return OpenFileForReading(FolderFile(path));
}

ReadResult ReadFileBytes(const FolderFile& file, std::string& bytes, struct stat* info,
                         std::size_t limit) {
    bytes.clear();
    struct stat own {};
    struct stat& status = info ? *info : own;
    const UniqueFd fd = OpenFileForReading(file, &status);
    if (!fd.Valid())
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    // Refused before a byte is read; the bounded read below still catches a file that grows.
    if (static_cast<std::uintmax_t>(status.st_size) > limit) {
        errno = EFBIG;
        return ReadResult::Failed;
    }
    return ReadRest(fd.Get(), bytes, limit);
}

ReadResult ReadFileBytes(const std::string& path, std::string& bytes, std::size_t limit) {
    return ReadFileBytes(FolderFile(path), bytes, nullptr, limit);
}

ReadResult ReadRest(int fd, std::string& bytes, std::size_t limit) {
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadResult::Failed;
        if (n == 0)
            return ReadResult::Ok;
        if (static_cast<std::size_t>(n) > limit - bytes.size()) {
            bytes.clear();
            errno = EFBIG;
            return ReadResult::Failed;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string DescriptorPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace platform
