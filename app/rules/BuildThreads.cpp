// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/BuildThreads.h"

#include <algorithm>
#include <barrier>
#include <system_error>
#include <thread>
#include <vector>

namespace rules {

void BuildStop::Fail(std::exception_ptr error) {
    {
        const std::lock_guard lock(mutex_);
        if (!error_)
            error_ = std::move(error);
    }
    Cancel();
}

void BuildStop::RethrowFailure() {
    const std::lock_guard lock(mutex_);
    if (error_)
        std::rethrow_exception(error_);
}

namespace {

// The barrier's completion: must not throw, and endLayer does not.
struct LayerEnd {
    const std::function<bool()>* End;
    bool* Finished;
    void operator()() const noexcept { *Finished = (*End)(); }
};

} // namespace

bool RunLayers(const BuildThreads& threads, BuildStop& stop,
               const std::function<void(std::size_t)>& expand,
               const std::function<bool()>& endLayer) {
    const auto helpers = static_cast<std::size_t>(std::max(0, threads.Helpers));
    bool finished = false; // written by the completion only
    std::barrier sync(static_cast<std::ptrdiff_t>(1 + helpers), LayerEnd{&endLayer, &finished});
    const auto take = [&](std::size_t id) {
        for (;;) {
            try {
                expand(id);
            } catch (...) {
                stop.Fail(std::current_exception());
            }
            sync.arrive_and_wait();
            if (finished)
                return;
        }
    };
    std::vector<std::jthread> started;
    started.reserve(helpers);
    for (std::size_t i = 1; i <= helpers; ++i) {
        try {
            started.emplace_back([i, &threads, &take, &stop] {
                try {
                    if (threads.OnHelperStart)
                        threads.OnHelperStart();
                } catch (...) {
                    stop.Fail(std::current_exception());
                }
                take(i);
            });
        } catch (const std::system_error&) {
            // No thread: the others go on without its share.
            sync.arrive_and_drop();
        }
    }
    take(0);
    started.clear(); // every helper has ended
    stop.RethrowFailure();
    return !stop.Stopped();
}

} // namespace rules
