// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/Files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool CreateFileWithBytes(const std::string& path, std::string_view bytes, std::string& reason) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            reason = std::strerror(n < 0 ? errno : ENOSPC);
            ::close(fd);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    if (::close(fd) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    return true;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool DeleteFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

} // namespace platform
