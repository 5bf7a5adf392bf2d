// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

// One background thread running posted jobs in order. Stop (or destruction) lets the job
// under way finish, drops the rest and joins. While held, posted jobs wait in their order.
// Its queue lock is the last in any order: no job runs and nothing else is locked while it is
// held.
class Worker {
public:
    // Held from the start until `heldUntil` (none when it has passed), so not even the first
    // job posted runs before Release.
    explicit Worker(std::chrono::steady_clock::time_point heldUntil = {});
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void Post(std::function<void()> job);
    void Stop();
    void Release(); // ends the hold

private:
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    bool held_;
    std::chrono::steady_clock::time_point holdEnds_;
    std::thread thread_;
};

} // namespace platform
