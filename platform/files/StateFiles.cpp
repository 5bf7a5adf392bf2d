// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/StateFiles.h"

#include "platform/files/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kMaxAsideNames = 100;

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// Never replaces the target; where the file system cannot promise that, a look first.
bool renameWithoutReplacing(int folder, const std::string& from, const std::string& to) {
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    struct stat taken {};
    if (::fstatat(folder, to.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::renameat(folder, from.c_str(), folder, to.c_str()) == 0;
}

} // namespace

std::string StateDirectory() {
    // Relative values are ignored, as the XDG base directory rules require.
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && xdg[0] == '/')
        return withoutTrailingSlashes(xdg);
    return withoutTrailingSlashes(HomeFolder()) + "/.local/state";
}

bool MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

BoundedReadResult ReadFileBounded(const std::string& path, std::size_t maxBytes,
                                  std::string& bytes) {
    bytes.clear();
    struct stat info {};
    const UniqueFd fd = OpenFileForReading(FolderFile(path), &info);
    if (!fd.Valid())
        return errno == ENOENT || errno == ENOTDIR ? BoundedReadResult::Missing
                                                   : BoundedReadResult::Unreadable;
    if (info.st_size < 0 || static_cast<std::size_t>(info.st_size) > maxBytes)
        return BoundedReadResult::TooLarge;
    // The size may still grow while we read, so the read itself stops one byte past the limit.
    char buffer[65536];
    for (;;) {
        const std::size_t room = maxBytes + 1 - bytes.size();
        const ssize_t n = ::read(fd.Get(), buffer, room < sizeof buffer ? room : sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return BoundedReadResult::Unreadable;
        if (n == 0)
            return BoundedReadResult::Ok;
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > maxBytes) {
            bytes.clear();
            return BoundedReadResult::TooLarge;
        }
    }
}

std::optional<std::string> MoveAside(const std::string& path, const std::string& suffix) {
    const FolderFile file(path);
    if (!file.Reachable())
        return std::nullopt;
    for (int n = 1; n <= kMaxAsideNames; ++n) {
        const std::string name = file.Name() + suffix + (n == 1 ? "" : "." + std::to_string(n));
        if (renameWithoutReplacing(file.Folder(), file.Name(), name)) {
            file.SyncFolder();
            const std::size_t slash = path.rfind('/');
            return (slash == std::string::npos ? "" : path.substr(0, slash + 1)) + name;
        }
        if (errno != EEXIST && errno != ENOTEMPTY)
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace platform
