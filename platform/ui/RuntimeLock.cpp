// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/RuntimeLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

RuntimeLock::RuntimeLock(std::string path) : path_(std::move(path)) {}

RuntimeLock::~RuntimeLock() {
    if (fd_ < 0)
        return;
    // Unlinked while still locked: a newcomer either waits on this file or finds a new one.
    ::unlink(path_.c_str());
    ::close(fd_);
}

RuntimeLock::State RuntimeLock::TryLock() {
    if (fd_ >= 0)
        return State::Held;
    // Two rounds at most: the holder may unlink the file between our open and our lock.
    for (int round = 0; round < 2; ++round) {
        const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            problem_ = "cannot open " + path_ + ": " + std::strerror(errno);
            return State::Failed;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return State::Busy;
            problem_ = "cannot lock " + path_ + ": " + std::strerror(error);
            return State::Failed;
        }
        struct stat locked {};
        struct stat named {};
        if (::fstat(fd, &locked) == 0 && ::stat(path_.c_str(), &named) == 0 &&
            locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
            fd_ = fd;
            return State::Held;
        }
        ::close(fd);
    }
    return State::Busy;
}

} // namespace platform
