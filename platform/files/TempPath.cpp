// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/TempPath.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string baseDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = (tmp && *tmp) ? tmp : "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base;
}

std::string withoutSlash(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::string GetTempPath() {
    return baseDirectory() + "/velmar-" + std::to_string(getuid()) + "/";
}

bool IsPrivateFolder(const std::string& folder, std::string* problem) {
    auto fail = [problem](const std::string& why) {
        if (problem)
            *problem = why;
        return false;
    };
    struct stat info {};
    // lstat: a symlink planted under our name must never be followed.
    if (lstat(withoutSlash(folder).c_str(), &info) != 0)
        return fail(std::strerror(errno));
    if (S_ISLNK(info.st_mode))
        return fail("The temporary folder is a symbolic link");
    if (!S_ISDIR(info.st_mode))
        return fail("The temporary folder is not a directory");
    if (info.st_uid != getuid())
        return fail("The temporary folder belongs to another user");
    if ((info.st_mode & 077) != 0)
        return fail("The temporary folder is open to other users");
    return true;
}

TempFolder PrepareTempFolder() {
    TempFolder result;
    result.Path = GetTempPath();
    const std::string path = withoutSlash(result.Path);
    if (mkdir(path.c_str(), 0700) == 0)
        chmod(path.c_str(), 0700); // whatever the umask left
    else if (errno != EEXIST) {
        result.Problem = std::strerror(errno);
        return result;
    }
    result.Usable = IsPrivateFolder(result.Path, &result.Problem);
    return result;
}

} // namespace platform
