// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace platform {

// An exclusive lock on a file: held while this object lives, released by the kernel when the
// process dies, so a crashed holder never blocks the next one. The holder removes the file
// when it lets go; a newcomer that locked a file already unlinked tries again on the new one.
class RuntimeLock {
public:
    enum class State { Held, Busy, Failed };

    explicit RuntimeLock(std::string path);
    ~RuntimeLock();
    RuntimeLock(const RuntimeLock&) = delete;
    RuntimeLock& operator=(const RuntimeLock&) = delete;

    // Takes the lock without waiting. Failed carries the reason in Problem().
    State TryLock();
    bool Held() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    const std::string& Problem() const { return problem_; }

private:
    std::string path_;
    std::string problem_;
    int fd_ = -1;
};

} // namespace platform
