// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/Worker.h"

namespace platform {

Worker::Worker(std::chrono::steady_clock::time_point heldUntil)
    : held_(heldUntil > std::chrono::steady_clock::now()), holdEnds_(heldUntil),
      thread_([this] { run(); }) {}

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

void Worker::Release() {
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    changed_.notify_all();
}

void Worker::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            while (!stopping_) {
                if (held_ && std::chrono::steady_clock::now() >= holdEnds_)
                    held_ = false;
                if (!held_ && !jobs_.empty())
                    break;
                if (held_)
                    changed_.wait_until(lock, holdEnds_);
                else
                    changed_.wait(lock);
            }
            if (stopping_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

} // namespace platform
