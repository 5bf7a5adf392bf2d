// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helper threads that misbehave the ways a build or a search must live with: one that raises
// the cancel flag as it starts, one that fails to start.

#include "app/rules/BuildThreads.h"

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

namespace threadcases {

// What a failing helper throws.
inline const std::string HelperError = "no helper today";

// One helper, which throws HelperError as it starts.
inline rules::BuildThreads FailingHelper() {
    return {1, [] { throw std::runtime_error(HelperError); }};
}

// One helper, which notes its thread in `helper` and raises `cancel` as it starts: before its
// first chunk, and no layer ends before every thread has taken its part, so a build cannot have
// finished by then.
inline rules::BuildThreads CancellingHelper(std::atomic<bool>& cancel, std::thread::id& helper) {
    return {1, [&cancel, &helper] {
                helper = std::this_thread::get_id();
                cancel = true;
            }};
}

// The message of the std::runtime_error `run` throws, or empty when it throws none.
template <class Run> std::string RuntimeErrorOf(const Run& run) {
    try {
        run();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return {};
}

} // namespace threadcases
