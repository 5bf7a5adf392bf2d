// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/CacheFile.h"

#include "platform/files/Files.h"

namespace platform {

std::string CacheDirectory() {
    return XdgFolder("XDG_CACHE_HOME", ".cache") + "/velmar";
}

ReadResult ReadCacheFile(const std::string& name, std::string& bytes) {
    const FolderFile file(CacheDirectory() + "/" + name);
    if (!file.Reachable())
        return ReadResult::Missing;
    return ReadFileBytes(file, bytes, nullptr, kCacheFileLimit);
}

bool WriteCacheFile(const std::string& name, std::string_view bytes, std::string& reason) {
    const std::string folder = CacheDirectory();
    if (!MakeFolders(folder, &reason))
        return false;
    const FolderFile file(folder + "/" + name);
    if (!file.Reachable()) {
        reason = file.Problem();
        return false;
    }
    if (ReplaceFile(file, bytes, 0644, nullptr, true, &reason))
        return true;
    reason = folder + "/" + reason;
    return false;
}

} // namespace platform
