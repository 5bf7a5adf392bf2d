// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/TempPath.h"

#include "platform/files/Files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string baseDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    return WithoutTrailingSlashes((tmp && *tmp) ? tmp : "/tmp");
}

const char* refusal(const struct stat& info) {
    if (!S_ISDIR(info.st_mode))
        return "The temporary folder is not a directory";
    if (info.st_uid != getuid())
        return "The temporary folder belongs to another user";
    if ((info.st_mode & 077) != 0)
        return "The temporary folder is open to other users";
    return nullptr;
}

} // namespace

std::string GetTempPath() {
    return baseDirectory() + "/velmar-" + std::to_string(getuid()) + "/";
}

UniqueFd OpenPrivateFolder(std::string* problem) {
    auto fail = [problem](const std::string& why) {
        if (problem)
            *problem = why;
        return UniqueFd();
    };
    const std::string path = WithoutTrailingSlashes(GetTempPath());
    // O_NOFOLLOW: a symlink planted under our name is refused, never followed. O_NONBLOCK:
    // a FIFO planted there cannot hang the open.
    UniqueFd folder(
        ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!folder.Valid()) {
        if (errno == ELOOP)
            return fail("The temporary folder is a symbolic link");
        if (errno == ENOTDIR)
            return fail("The temporary folder is not a directory");
        return fail(std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(folder.Get(), &info) != 0)
        return fail(std::strerror(errno));
    if (const char* why = refusal(info))
        return fail(why);
    return folder;
}

TempFolder PrepareTempFolder() {
    TempFolder result;
    result.Path = GetTempPath();
    const std::string path = WithoutTrailingSlashes(result.Path);
    const bool created = ::mkdir(path.c_str(), 0700) == 0;
    if (!created && errno != EEXIST) {
        result.Problem = std::strerror(errno);
        return result;
    }
    UniqueFd folder = OpenPrivateFolder(&result.Problem);
    result.Usable = folder.Valid();
    if (created && result.Usable)
        ::fchmod(folder.Get(), 0700); // whatever the umask left
    return result;
}

} // namespace platform
