// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/StateFiles.h"

#include "platform/files/Files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kMaxAsideNames = 100;

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
    return XdgFolder("XDG_STATE_HOME", ".local/state");
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
