// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/ThreadPriority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform {

bool LowerThisThreadPriority() {
    // Linux keeps a nice value for each thread, so the thread's own id names it alone.
    const auto self = static_cast<id_t>(::gettid());
    errno = 0;
    const int now = ::getpriority(PRIO_PROCESS, self);
    if (now == -1 && errno != 0)
        return false;
    return ::setpriority(PRIO_PROCESS, self, std::min(19, now + BackgroundNiceSteps)) == 0;
}

} // namespace platform
