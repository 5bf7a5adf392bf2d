// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FolderFile.h"

#include "platform/files/TempPath.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.Release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    if (fd_ >= 0)
        ::close(fd_);
}

int UniqueFd::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

namespace {

// "a//b" names the same file as "a/b"; the game's paths are formed by plain concatenation.
std::string withSingleSlashes(const std::string& path) {
    std::string result;
    result.reserve(path.size());
    for (char c : path)
        if (c != '/' || result.empty() || result.back() != '/')
            result.push_back(c);
    return result;
}

} // namespace

FolderFile::FolderFile(const std::string& path) {
    const std::string clean = withSingleSlashes(path);
    const std::string temp = withSingleSlashes(GetTempPath());
    if (clean.size() > temp.size() && clean.compare(0, temp.size(), temp) == 0)
        openPrivate(clean.substr(temp.size()));
    else
        openPlain(clean);
}

void FolderFile::openPrivate(const std::string& rest) {
    private_ = true;
    folder_ = OpenPrivateFolder(&problem_);
    if (!folder_.Valid()) {
        errno_ = EACCES;
        return;
    }
    // Sub-folders are walked one at a time, never through a symlink and never back out.
    std::size_t start = 0;
    for (std::size_t slash = rest.find('/'); slash != std::string::npos;
         slash = rest.find('/', start)) {
        const std::string part = rest.substr(start, slash - start);
        start = slash + 1;
        int next = -1;
        if (part == "." || part == "..")
            errno = EACCES;
        else
            next = ::openat(folder_.Get(), part.c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            errno_ = errno;
            problem_ = std::strerror(errno_);
            folder_ = UniqueFd();
            return;
        }
        folder_ = UniqueFd(next);
    }
    name_ = rest.substr(start);
}

void FolderFile::openPlain(const std::string& path) {
    if (path.empty()) {
        errno_ = ENOENT;
        problem_ = std::strerror(errno_);
        return;
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    name_ = slash == std::string::npos ? path : path.substr(slash + 1);
    folder_ = UniqueFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder we may search but not list still reaches its files, as a path would.
    if (!folder_.Valid() && errno == EACCES)
        folder_ = UniqueFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder_.Valid()) {
        errno_ = errno;
        problem_ = std::strerror(errno_);
    }
}

int FolderFile::Open(int flags, mode_t mode) const {
    return OpenSibling(name_, flags, mode);
}

int FolderFile::OpenSibling(const std::string& name, int flags, mode_t mode) const {
    if (!Reachable()) {
        errno = errno_ ? errno_ : ENOENT;
        return -1;
    }
    if (name.empty()) {
        errno = EISDIR;
        return -1;
    }
    return ::openat(folder_.Get(), name.c_str(), flags | O_CLOEXEC | (private_ ? O_NOFOLLOW : 0),
                    mode);
}

bool FolderFile::Stat(struct stat& info) const {
    return Reachable() && !name_.empty() &&
           ::fstatat(folder_.Get(), name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool FolderFile::Remove() const {
    return Reachable() && !name_.empty() && ::unlinkat(folder_.Get(), name_.c_str(), 0) == 0;
}

bool FolderFile::Writable() const {
    return Reachable() && ::faccessat(folder_.Get(), name_.c_str(), W_OK, 0) == 0;
}

bool FolderFile::ReplaceWithSibling(const std::string& sibling) const {
    return Reachable() &&
           ::renameat(folder_.Get(), sibling.c_str(), folder_.Get(), name_.c_str()) == 0;
}

void FolderFile::RemoveSibling(const std::string& sibling) const {
    if (Reachable())
        ::unlinkat(folder_.Get(), sibling.c_str(), 0);
}

std::vector<std::string> FolderFile::SiblingsStartingWith(const std::string& prefix) const {
    std::vector<std::string> names;
    if (!Reachable())
        return names;
    // A descriptor of its own: closedir() closes the one it lists.
    const int listing = ::openat(folder_.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

void FolderFile::SyncFolder() const {
    if (Reachable())
        ::fsync(folder_.Get()); // makes a rename itself durable
}

} // namespace platform
