// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace platform {

// Lets a worker wake the thread that owns this object without handing anything through Qt's
// event queue: an event the worker posted lives in memory the worker wrote, ordered with the
// owner only by Qt's own locks, which a ThreadSanitizer build cannot see. Here the worker
// writes an eventfd the owner's event loop watches; whatever the woken code needs, it reads
// under the lock the worker wrote it under.
//
// Threads: Wake from any thread while the object lives; the callback runs on the thread that
// made the object, once for any number of wakes since it last ran. Lock order: no lock.
class WakeUp {
public:
    // Throws std::system_error when the system has no eventfd to give.
    explicit WakeUp(std::function<void()> onWake);
    ~WakeUp();
    WakeUp(const WakeUp&) = delete;
    WakeUp& operator=(const WakeUp&) = delete;

    void Wake();

private:
    void woken();

    std::function<void()> onWake_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace platform
