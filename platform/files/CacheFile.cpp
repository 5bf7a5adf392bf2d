// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/CacheFile.h"

#include "platform/files/Files.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool makeFolders(const std::string& folder, std::string& reason) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            reason = part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos)
            return true;
    }
}

std::string failure(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

} // namespace

std::string CacheDirectory() {
    // Relative values are ignored, as the XDG base directory rules require.
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/')
        return withoutTrailingSlashes(xdg) + "/velmar";
    return withoutTrailingSlashes(HomeFolder()) + "/.cache/velmar";
}

ReadResult ReadCacheFile(const std::string& name, std::string& bytes) {
    const FolderFile file(CacheDirectory() + "/" + name);
    if (!file.Reachable())
        return ReadResult::Missing;
    return ReadFileBytes(file, bytes, nullptr, kCacheFileLimit);
}

bool WriteCacheFile(const std::string& name, std::string_view bytes, std::string& reason) {
    const std::string folder = CacheDirectory();
    if (!makeFolders(folder, reason))
        return false;
    const FolderFile file(folder + "/" + name);
    if (!file.Reachable()) {
        reason = file.Problem();
        return false;
    }
    // Unique per writer, so two writers at once never share a half-written sibling.
    static std::atomic<unsigned> counter{0};
    const std::string sibling =
        name + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = file.OpenSibling(sibling, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
    if (fd < 0) {
        reason = failure(folder + "/" + sibling);
        return false;
    }
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (!ok)
        reason = failure(folder + "/" + sibling);
    if (::close(fd) != 0 && ok) {
        reason = failure(folder + "/" + sibling);
        ok = false;
    }
    if (ok && !file.ReplaceWithSibling(sibling)) {
        reason = failure(folder + "/" + name);
        ok = false;
    }
    if (!ok) {
        file.RemoveSibling(sibling);
        return false;
    }
    file.SyncFolder();
    return true;
}

} // namespace platform
