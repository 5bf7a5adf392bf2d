// SPDX-License-Identifier: GPL-3.0-or-later
// A writer killed at each of its steps in turn: a child runs the write traced, and is killed on
// entering its n-th system call. Every state the write's steps can leave on the disk is reached
// for n = 0, 1, ... until the write ends by itself, whatever the machine's speed or load.
#pragma once

#include <csignal>
#include <functional>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

namespace steps {

// Exit codes of the traced child.
constexpr int kWrote = 0;
constexpr int kWriteRefused = 1;
constexpr int kCannotTrace = 77;

struct Run {
    bool killed = false; // else it ended by itself with `status`
    int status = 0;
    bool Wrote() const { return !killed && WIFEXITED(status) && WEXITSTATUS(status) == kWrote; }
    bool Untraceable() const {
        return !killed && WIFEXITED(status) && WEXITSTATUS(status) == kCannotTrace;
    }
};

// A child that stops before it calls `write`, for its parent to trace.
inline pid_t StartTraced(const std::function<bool()>& write) {
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
        ::_exit(kCannotTrace);
    ::raise(SIGSTOP);
    ::_exit(write() ? kWrote : kWriteRefused);
}

// Lets the stopped child run up to its system call number `step` and kills it on the way in.
inline Run KillAtSystemCall(pid_t child, int step) {
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFSTOPPED(status))
        return {false, status};
    ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int passOn = 0;
    for (int entered = 0;;) {
        if (::ptrace(PTRACE_SYSCALL, child, nullptr, passOn) != 0 ||
            ::waitpid(child, &status, 0) != child || !WIFSTOPPED(status))
            return {false, status};
        passOn = 0;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            passOn = WSTOPSIG(status); // a signal of its own
            continue;
        }
        __ptrace_syscall_info info{};
        ::ptrace(PTRACE_GET_SYSCALL_INFO, child, sizeof info, &info);
        if (info.op == PTRACE_SYSCALL_INFO_ENTRY && entered++ == step) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return {true, status};
        }
    }
}

// `write` in a child killed on entering its system call number `step`.
inline Run KillWriteAt(const std::function<bool()>& write, int step) {
    const pid_t child = StartTraced(write);
    if (child < 0)
        return {false, -1};
    return KillAtSystemCall(child, step);
}

// A write takes a few dozen system calls; beyond this many steps it is a runaway.
constexpr int kMostSteps = 5000;

} // namespace steps
