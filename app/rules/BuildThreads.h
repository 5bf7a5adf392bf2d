// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>

namespace rules {

// How many threads a table build or a search may use besides the caller's. Each of them calls
// `OnHelperStart` before any work (the game lowers their priority there, so the window keeps
// the other core when it needs it). An exception thrown there ends a build with it; a search
// goes on without that helper.
struct BuildThreads {
    int Helpers = 0;
    std::function<void()> OnHelperStart;
};

// What ends a layered build early, shared by all its threads: a cancel or a thread's failure
// raises the flag, which every thread reads between chunks, and the first failure's exception is
// kept for the caller. The flag is a relaxed atomic; the lock is held just to keep the first
// exception, and nothing waits while holding it.
class BuildStop {
public:
    bool Stopped() const { return stop_.load(std::memory_order_relaxed); }
    void Cancel() { stop_.store(true, std::memory_order_relaxed); }
    // Keeps `error` unless an earlier failure's is kept, and raises the flag.
    void Fail(std::exception_ptr error);
    // Rethrows the first failure's exception, if any; only once every other thread has ended.
    void RethrowFailure();

private:
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::exception_ptr error_; // guarded by mutex_
};

// Runs a build one layer at a time on the caller's thread and threads.Helpers more. In each
// layer every thread calls expand(id) (the caller's id is 0, the helpers' 1 to Helpers); once all
// have, endLayer() runs on one of them while the others wait, so what it changes is ordered for
// all, and says whether the build is finished. A helper first calls OnHelperStart; what that or
// expand throws fails `stop`, and the thread still meets the others at every layer's end. A
// helper the system cannot start is left out. Once every helper has ended, rethrows the first
// failure, or returns false when the build was cancelled.
bool RunLayers(const BuildThreads& threads, BuildStop& stop,
               const std::function<void(std::size_t)>& expand,
               const std::function<bool()>& endLayer);

} // namespace rules
