// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/EndSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::array<int, 3> kEndSignals = {SIGTERM, SIGINT, SIGHUP};

// Written by the handler, read by the UI thread; created once and kept for the process's life.
int signalPipe[2] = {-1, -1};

std::function<void(int)>& callback() {
    static std::function<void(int)> onEnd;
    return onEnd;
}

extern "C" void onSignal(int signal) {
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    // write() is async-signal-safe; a full pipe already holds an end request.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

void drainPipe() {
    char bytes[16];
    for (;;) {
        const ssize_t n = ::read(signalPipe[0], bytes, sizeof bytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        for (ssize_t i = 0; i < n; ++i)
            if (callback())
                callback()(static_cast<unsigned char>(bytes[i]));
    }
}

bool startedIgnoring(int signal) {
    struct sigaction current {};
    return ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

} // namespace

void OnEndSignals(std::function<void(int signal)> onEnd) {
    callback() = std::move(onEnd);
    if (signalPipe[0] >= 0)
        return;
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
        return; // the default actions stay: the program still ends, only without its close
    }
    auto* notifier =
        new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { drainPipe(); });
    for (int signal : kEndSignals) {
        if (startedIgnoring(signal))
            continue;
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace platform
