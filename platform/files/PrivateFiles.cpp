// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/PrivateFiles.h"

#include <unistd.h>

namespace platform {

namespace {

std::string executableFolder() {
    std::vector<char> path(4096);
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0)
        return {};
    std::string exe(path.data(), std::size_t(n));
    return exe.substr(0, exe.rfind('/') + 1);
}

} // namespace

std::vector<std::string> PrivateFileCandidates(const std::string& name) {
    const std::string folder = executableFolder();
    std::vector<std::string> paths{folder + name};
#ifdef VELMAR_PRIVATE_FROM_BIN
    if (!folder.empty())
        paths.push_back(folder + VELMAR_PRIVATE_FROM_BIN + name);
#endif
    return paths;
}

} // namespace platform
