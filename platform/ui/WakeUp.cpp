// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/WakeUp.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace platform {

WakeUp::WakeUp(std::function<void()> onWake) : onWake_(std::move(onWake)) {
    fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd_ < 0)
        throw std::system_error(errno, std::generic_category(), "No wake-up for the worker");
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { woken(); });
}

WakeUp::~WakeUp() {
    notifier_.reset(); // stops watching before the descriptor goes
    ::close(fd_);
}

void WakeUp::Wake() {
    const std::uint64_t one = 1;
    // Only a counter at its maximum refuses a write, and that one still wakes the owner.
    while (::write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void WakeUp::woken() {
    std::uint64_t count = 0;
    // Reading resets the counter, so the wakes so far are answered by this one call.
    while (::read(fd_, &count, sizeof count) < 0 && errno == EINTR) {
    }
    if (count > 0 && onWake_)
        onWake_();
}

} // namespace platform
