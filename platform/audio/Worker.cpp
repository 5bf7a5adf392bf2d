// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/Worker.h"

namespace platform {

Worker::Worker() : thread_([this] { run(); }) {}

Worker::~Worker() {
    Stop();
}

void Worker::Post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        jobs_.push_back(std::move(job));
    }
    changed_.notify_all();
}

void Worker::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void Worker::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

} // namespace platform
