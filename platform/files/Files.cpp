// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/Files.h"

#include <atomic>
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

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string XdgFolder(const char* variable, const char* underHome) {
    if (const char* value = std::getenv(variable); value && value[0] == '/')
        return WithoutTrailingSlashes(value);
    return WithoutTrailingSlashes(HomeFolder()) + "/" + underHome;
}

bool MakeFolders(const std::string& folder, std::string* reason) {
    const auto fail = [reason](const std::string& path) {
        if (reason)
            *reason = path + ": " + std::strerror(errno);
        return false;
    };
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return fail(part);
        if (slash == std::string::npos)
            break;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return fail(folder);
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return fail(folder);
    }
    return true;
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

std::string ReplacementPrefix(const FolderFile& file) {
    return file.Name() + ".tmp-";
}

namespace {

// Unique per writer and per write, so two writers at once never share a half-written sibling.
int createSibling(const FolderFile& file, mode_t mode, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name =
            ReplacementPrefix(file) + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const int fd = file.OpenSibling(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool failed(std::string* reason, const std::string& name) {
    if (reason)
        *reason = name + ": " + std::strerror(errno);
    return false;
}

} // namespace

bool ReplaceFile(const FolderFile& file, std::string_view bytes, mode_t mode,
                 const struct stat* kept, bool synced, std::string* reason) {
    std::string sibling;
    const int fd = createSibling(file, kept ? kept->st_mode & 07777 : mode, sibling);
    if (fd < 0)
        return failed(reason, sibling);
    if (kept)
        ::fchmod(fd, kept->st_mode & 07777); // the umask must not narrow a kept file's mode
    const bool written = WriteAll(fd, bytes) && (!synced || ::fsync(fd) == 0);
    const int writeErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || !file.ReplaceWithSibling(sibling)) {
        if (!written)
            errno = writeErrno;
        failed(reason, written && closed ? file.Name() : sibling);
        file.RemoveSibling(sibling);
        return false;
    }
    if (synced)
        file.SyncFolder();
    return true;
}

std::string DescriptorPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace platform
