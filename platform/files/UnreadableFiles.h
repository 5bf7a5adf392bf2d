// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

// A file from outside that stands there but is refused (too large, not a regular file, not
// readable) is reported once per path and run: the settings file is read many times, and a
// damaged one should say so once, not at every read.
namespace platform {

using UnreadableFileObserver = std::function<void(const std::string& path, const std::string& why)>;

// `error` is the errno of the refusal. The first report of a path goes to the observer, else to
// standard error as one line.
void ReportUnreadableFile(const std::string& path, int error);

// Replaces where reports go and forgets the paths reported so far; an empty one restores
// standard error.
void SetUnreadableFileObserver(UnreadableFileObserver observer);

} // namespace platform
