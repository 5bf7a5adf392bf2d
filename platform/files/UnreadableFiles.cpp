// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/UnreadableFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

namespace platform {
namespace {

struct Reports {
    UnreadableFileObserver observer;
    std::set<std::string> reported;
};

Reports& reports() {
    static Reports current;
    return current;
}

std::string reasonOf(int error) {
    switch (error) {
    case EFBIG:
        return "larger than 1 MiB";
    case EINVAL:
        return "not a regular file";
    default:
        return std::strerror(error);
    }
}

} // namespace

void ReportUnreadableFile(const std::string& path, int error) {
    Reports& r = reports();
    if (!r.reported.insert(path).second)
        return;
    const std::string why = reasonOf(error);
    if (r.observer)
        r.observer(path, why);
    else
        std::fprintf(stderr, "velmar: %s: %s; not read\n", path.c_str(), why.c_str());
}

void SetUnreadableFileObserver(UnreadableFileObserver observer) {
    reports() = {std::move(observer), {}};
}

} // namespace platform
