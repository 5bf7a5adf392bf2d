// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace platform {

// SIGTERM, SIGINT and SIGHUP (a log-out, a shut-down, kill, Ctrl+C in the terminal) become a
// queued call of `onEnd` on the UI thread, made from the message loop. The handler itself only
// writes the signal's number into a pipe. A signal the process was started ignoring (nohup)
// stays ignored. Install before anything else sets handlers: SDL, for one, keeps its hands
// off a signal that already has a handler.
void OnEndSignals(std::function<void(int signal)> onEnd);

} // namespace platform
