// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct stat;

namespace platform {

// An owned file descriptor, closed when it goes.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release();

private:
    int fd_ = -1;
};

// A file reached through its folder, which is opened once; every operation then acts relative
// to that descriptor. A path inside the private temporary folder opens that folder only while
// it is ours, and nothing below it is followed through a symlink, so the folder can be neither
// swapped nor redirected between the check and the use.
class FolderFile {
public:
    explicit FolderFile(const std::string& path);

    bool Reachable() const { return folder_.Valid(); }
    // Why the folder could not be opened, in the system's words or the refusal's.
    const std::string& Problem() const { return problem_; }
    int FolderErrno() const { return errno_; }
    bool InPrivateFolder() const { return private_; }
    const std::string& Name() const { return name_; }
    int Folder() const { return folder_.Get(); }

    // openat() with O_CLOEXEC, and O_NOFOLLOW inside the private folder; -1 and errno set.
    int Open(int flags, mode_t mode = 0) const;
    // A sibling in the same folder, by its bare name.
    int OpenSibling(const std::string& name, int flags, mode_t mode) const;
    bool Stat(struct stat& info) const; // the entry itself, never what a symlink names
    bool Remove() const;
    bool Writable() const;
    bool ReplaceWithSibling(const std::string& sibling) const; // atomic rename in the folder
    void RemoveSibling(const std::string& sibling) const;
    // The names in the folder that start with `prefix`; none when it cannot be listed.
    std::vector<std::string> SiblingsStartingWith(const std::string& prefix) const;
    void SyncFolder() const;

private:
    void openPrivate(const std::string& rest);
    void openPlain(const std::string& path);

    UniqueFd folder_;
    std::string name_;
    std::string problem_;
    int errno_ = 0;
    bool private_ = false;
};

} // namespace platform
