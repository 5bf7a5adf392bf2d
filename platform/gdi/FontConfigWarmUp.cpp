// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/FontConfigWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace platform {

FontConfigWarmUp::FontConfigWarmUp() {
    try {
        // A configuration that fails to load is the toolkit's to meet at its first font, as it
        // always was: it loads it again there and reports what it finds.
        thread_ = std::jthread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread: the toolkit loads the configuration itself, only later.
    }
}

void FontConfigWarmUp::Wait() {
    if (thread_.joinable())
        thread_.join();
}

} // namespace platform
